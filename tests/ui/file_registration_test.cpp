// Registration of files by drop, chooser and command line; the pruning
// commands; and the order of the list.
#include <QComboBox>

#include "dialog_fixture.h"

namespace ruv::test {
namespace {

namespace fs = std::filesystem;

TEST_F(DialogTest, DroppedFolderRegistersItsOwnFilesAndALinkNamedByTheUserItsTarget) {
    fs::create_directories(dir / "top" / "sub");
    fs::create_directories(dir / "docs");
    for (const char* name : {"top/a.txt", "top/sub/b.txt", "outside.txt", "docs/target.txt", "docs/other.txt"}) {
        WriteFile(dir / name, kSjis);
    }
    fs::create_symlink(dir / "outside.txt", dir / "top" / "link.txt");  // a link inside a folder is skipped
    fs::create_symlink(dir / "docs" / "target.txt", dir / "link.txt");
    fs::create_directory_symlink(dir / "docs", dir / "folder-link");
    fs::create_symlink(dir / "missing.txt", dir / "dangling.txt");
    Show();
    DropFiles(&dialog, {dir / "top"});
    EXPECT_EQ(Names(), Strings{"a.txt"});
    EXPECT_EQ(Column(2), Strings{fs::canonical(dir / "top" / "a.txt").string()});
    Click("clearButton");
    DropFiles(&dialog, {dir / "link.txt", dir / "dangling.txt"});
    EXPECT_EQ(Column(2), Strings{fs::canonical(dir / "docs" / "target.txt").string()});
    DropFiles(&dialog, {dir / "folder-link"});
    EXPECT_EQ(Names(), (Strings{"target.txt", "other.txt"}));
}

TEST_F(DialogTest, ExcludedExtensionsAreRefusedAndTheFilterKeepsItsLastExtensionsInAnyCase) {
    for (const char* name : {"a.EXE", "b.Jpg", "c.lnk", "d.tXt.)ruv(", "readme", "m.TXT", "n.exe.txt",
                             "INDEX.HTML", "a.htm", "a.shtml", "a.htm.txt"}) {
        WriteFile(dir / name, kSjis);
    }
    Show();
    DropFiles(&dialog, {dir.Path()});
    EXPECT_EQ(Names(), (Strings{"readme", "n.exe.txt", "m.TXT", "a.shtml", "a.htm.txt", "a.htm", "INDEX.HTML"}));
    auto* box = Find<QComboBox>("filterBox");
    for (int item : {0, 2}) {  // the first item, "*.*", keeps every file
        box->setCurrentIndex(item);
        emit box->activated(item);
    }
    EXPECT_EQ(Names(), (Strings{"a.htm", "INDEX.HTML"}));
}

TEST_F(DialogTest, ChoosersFileRegistersOnceHoweverItIsSpelled) {
    fs::create_directories(dir / "sub");
    WriteFile(dir / "a.txt", kSjis);
    fs::create_directory_symlink(dir.Path(), dir / "alias");
    Show();
    Click("chooseButton");  // cancelled
    EXPECT_TRUE(Names().empty());
    chosen = QString::fromStdString((dir / "a.txt").string());
    Click("chooseButton");
    EXPECT_EQ(filters.at(0),
              "テキスト文書 (*.txt);;HTML文書 (*.htm *.html *.shtml);;cgi用ﾌｧｲﾙ (*.cgi *.pl);;All Files (*)");
    DropFiles(&dialog, {dir / "a.txt", dir / "a.txt"});
    dialog.AddPath(dir / "sub" / ".." / "a.txt");
    dialog.AddPath(dir / "alias" / "a.txt");
    dialog.AddPath(dir.Path().string() + "//a.txt");
    EXPECT_EQ(Names(), Strings{"a.txt"});
}

TEST_F(DialogTest, ListKeepsNamesDescendingAndRemovedOrClearedFilesComeBack) {
    for (const char* name : {"b.txt", "a.txt", "d d.txt", "c.txt"}) WriteFile(dir / name, kSjis);
    dialog.commandLine = {(dir / "b.txt").string(), "", (dir / "missing").string(), (dir / "a.txt").string()};
    Show();
    dialog.AddPath(dir / "d d.txt");
    DropFiles(&dialog, {dir.Path()});
    EXPECT_EQ(Names(), (Strings{"d d.txt", "c.txt", "b.txt", "a.txt"}));
    EXPECT_EQ(Labels(), Strings(4, "Shift-JIS"));
    EXPECT_TRUE(messages.empty());
    for (int item : {1, 3}) List()->topLevelItem(item)->setSelected(true);
    Click("removeButton");
    EXPECT_EQ(Names(), (Strings{"d d.txt", "b.txt"}));
    DropFiles(&dialog, {dir / "c.txt"});
    EXPECT_EQ(Names(), (Strings{"d d.txt", "c.txt", "b.txt"}));
    Click("clearButton");
    EXPECT_TRUE(Names().empty());
    DropFiles(&dialog, {dir / "a.txt"});
    EXPECT_EQ(Names(), Strings{"a.txt"});
}

}  // namespace
}  // namespace ruv::test
