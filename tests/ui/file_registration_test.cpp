// Registration of files by drop, chooser and command line; the pruning
// commands; and the order of the list.
#include <QComboBox>

#include "dialog_fixture.h"

namespace ruv::test {
namespace {

namespace fs = std::filesystem;

const std::string kText = "\x93\xFA\x96\x7B\x8C\xEA\x82\xC5\x82\xB7\x81\x42\r\n";  // 日本語です。 in Shift_JIS

TEST_F(DialogTest, DroppedFolderRegistersItsOwnFilesButNotItsSubFoldersNorLinksInIt) {
    fs::create_directories(dir / "top" / "sub");
    WriteFile(dir / "top" / "a.txt", kText);
    WriteFile(dir / "top" / "sub" / "b.txt", kText);
    WriteFile(dir / "outside.txt", kText);
    fs::create_symlink(dir / "outside.txt", dir / "top" / "link.txt");
    Show();
    DropFiles(&dialog, {dir / "top"});
    EXPECT_EQ(Names(), Strings{"a.txt"});
    EXPECT_EQ(Column(2), Strings{fs::canonical(dir / "top" / "a.txt").string()});
}

TEST_F(DialogTest, ExcludedExtensionsAreRefusedInAnyCase) {
    for (const char* name : {"a.EXE", "b.Jpg", "c.lnk", "d.tXt.)ruv(", "readme", "m.TXT", "n.exe.txt"}) {
        WriteFile(dir / name, kText);
    }
    Show();
    DropFiles(&dialog, {dir.Path()});
    EXPECT_EQ(Names(), (Strings{"readme", "n.exe.txt", "m.TXT"}));
}

TEST_F(DialogTest, OneFileReachedThroughSeveralSpellingsRegistersOnce) {
    fs::create_directories(dir / "sub");
    WriteFile(dir / "a.txt", kText);
    fs::create_directory_symlink(dir.Path(), dir / "alias");
    Show();
    DropFiles(&dialog, {dir / "a.txt", dir / "a.txt"});
    dialog.AddPath(dir / "sub" / ".." / "a.txt");
    dialog.AddPath(dir / "alias" / "a.txt");
    dialog.AddPath(dir.Path().string() + "//a.txt");
    EXPECT_EQ(Names(), Strings{"a.txt"});
}

TEST_F(DialogTest, SymbolicLinkRegistersItsTargetAndALinkToAFolderItsFiles) {
    fs::create_directories(dir / "docs");
    WriteFile(dir / "docs" / "target.txt", kText);
    WriteFile(dir / "docs" / "other.txt", kText);
    fs::create_symlink(dir / "docs" / "target.txt", dir / "link.txt");
    fs::create_directory_symlink(dir / "docs", dir / "folder-link");
    fs::create_symlink(dir / "missing.txt", dir / "dangling.txt");
    Show();
    DropFiles(&dialog, {dir / "link.txt", dir / "dangling.txt"});
    EXPECT_EQ(Column(2), Strings{fs::canonical(dir / "docs" / "target.txt").string()});
    DropFiles(&dialog, {dir / "folder-link"});
    EXPECT_EQ(Names(), (Strings{"target.txt", "other.txt"}));
}

TEST_F(DialogTest, ListKeepsNamesInDescendingOrderAndTheCommandLineSkipsWhatIsNotThere) {
    for (const char* name : {"b.txt", "a.txt", "d d.txt", "c.txt"}) WriteFile(dir / name, kText);
    dialog.commandLine = {(dir / "b.txt").string(), "", (dir / "missing").string(), (dir / "a.txt").string()};
    Show();
    dialog.AddPath(dir / "d d.txt");
    DropFiles(&dialog, {dir.Path()});
    EXPECT_EQ(Names(), (Strings{"d d.txt", "c.txt", "b.txt", "a.txt"}));
    EXPECT_EQ(Labels(), Strings(4, "Shift-JIS"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(DialogTest, RemovedAndClearedFilesCanBeRegisteredAgain) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteFile(dir / name, kText);
    Show();
    DropFiles(&dialog, {dir.Path()});
    List()->topLevelItem(0)->setSelected(true);  // c.txt
    List()->topLevelItem(2)->setSelected(true);  // a.txt
    Click("removeButton");
    EXPECT_EQ(Names(), Strings{"b.txt"});
    DropFiles(&dialog, {dir / "c.txt"});
    EXPECT_EQ(Names(), (Strings{"c.txt", "b.txt"}));
    Click("clearButton");
    EXPECT_TRUE(Names().empty());
    DropFiles(&dialog, {dir / "a.txt"});
    EXPECT_EQ(Names(), Strings{"a.txt"});
}

TEST_F(DialogTest, ExtensionFilterKeepsTheFilesWhoseLastExtensionItsPatternNamesInAnyCase) {
    for (const char* name : {"INDEX.HTML", "a.htm", "a.shtml", "a.htm.txt", "readme"}) WriteFile(dir / name, kText);
    Show();
    DropFiles(&dialog, {dir.Path()});
    auto* box = Find<QComboBox>("filterBox");
    for (int item : {0, 2}) {  // the first item, "*.*", keeps every file
        box->setCurrentIndex(item);
        emit box->activated(item);
    }
    EXPECT_EQ(Names(), (Strings{"a.htm", "INDEX.HTML"}));
}

TEST_F(DialogTest, ChooserGetsTheFilterInQtsFormAndItsFileIsRegistered) {
    WriteFile(dir / "a.txt", kText);
    Show();
    Click("chooseButton");  // cancelled
    EXPECT_TRUE(Names().empty());
    chosen = QString::fromStdString((dir / "a.txt").string());
    Click("chooseButton");
    EXPECT_EQ(Names(), Strings{"a.txt"});
    EXPECT_EQ(filters.at(0),
              "テキスト文書 (*.txt);;HTML文書 (*.htm *.html *.shtml);;cgi用ﾌｧｲﾙ (*.cgi *.pl);;All Files (*)");
}

}  // namespace
}  // namespace ruv::test
