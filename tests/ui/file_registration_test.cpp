// Registration of files by drop, chooser and command line; the pruning
// commands; the order of the list; and everything refused during a run.
#include <QComboBox>
#include <QPushButton>

#include "dialog_fixture.h"
#include "ui/file_registration.h"
#include "ui/ui_strings.h"

namespace ruv::test {
namespace {

namespace fs = std::filesystem;

const std::string kText = "\x93\xFA\x96\x7B\x8C\xEA\x82\xC5\x82\xB7\x81\x42\r\n";  // 日本語です。 in Shift_JIS

std::vector<std::string> Strings(std::initializer_list<const char*> texts) {
    return {texts.begin(), texts.end()};
}

TEST_F(DialogTest, DroppedFolderRegistersItsOwnFilesButNotItsSubFolders) {
    fs::create_directories(dir / "top" / "sub");
    WriteFile(dir / "top" / "a.txt", kText);
    WriteFile(dir / "top" / "sub" / "b.txt", kText);
    Show();
    DropFiles(&dialog, {dir / "top"});
    EXPECT_EQ(Names(), Strings({"a.txt"}));
    EXPECT_EQ(ColumnTexts(List(), 2), std::vector<std::string>{fs::canonical(dir / "top" / "a.txt").string()});
}

TEST_F(DialogTest, ExcludedExtensionsAreRefusedInAnyCase) {
    const char* names[] = {"a.EXE", "b.Jpg", "c.LNK", "d.bak", "e.Zip", "f.sys", "g.dll", "h.swp",
                           "i.lzh", "j.bmp", "k.GIF", "l.txt.)ruv(", "readme", "m.TXT", "n.exe.txt"};
    for (const char* name : names) WriteFile(dir / name, kText);
    Show();
    DropFiles(&dialog, {dir.Path()});
    EXPECT_EQ(Names(), Strings({"readme", "n.exe.txt", "m.TXT"}));
}

TEST_F(DialogTest, OneFileReachedThroughTwoSpellingsRegistersOnce) {
    fs::create_directories(dir / "sub");
    WriteFile(dir / "a.txt", kText);
    fs::create_directory_symlink(dir.Path(), dir / "alias");
    Show();
    DropFiles(&dialog, {dir / "a.txt", dir / "a.txt"});
    dialog.AddPath(dir / "sub" / ".." / "a.txt");
    dialog.AddPath(dir / "alias" / "a.txt");
    dialog.AddPath(dir.Path().string() + "//a.txt");
    EXPECT_EQ(Names(), Strings({"a.txt"}));
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
    EXPECT_EQ(Names(), Strings({"target.txt"}));
    EXPECT_EQ(ColumnTexts(List(), 2), std::vector<std::string>{fs::canonical(dir / "docs" / "target.txt").string()});

    DropFiles(&dialog, {dir / "folder-link"});
    EXPECT_EQ(Names(), Strings({"target.txt", "other.txt"}));
}

TEST_F(DialogTest, LinksInsideADroppedFolderAreNotFollowed) {
    fs::create_directories(dir / "top");
    WriteFile(dir / "outside.txt", kText);
    WriteFile(dir / "top" / "inside.txt", kText);
    fs::create_symlink(dir / "outside.txt", dir / "top" / "link.txt");
    Show();
    DropFiles(&dialog, {dir / "top"});
    EXPECT_EQ(Names(), Strings({"inside.txt"}));
}

TEST_F(DialogTest, ListKeepsNamesInDescendingOrderWhateverTheOrderOfRegistration) {
    for (const char* name : {"b.txt", "a.txt", "d.txt", "c.txt"}) WriteFile(dir / name, kText);
    Show();
    for (const char* name : {"b.txt", "a.txt", "d.txt", "c.txt"}) dialog.AddPath(dir / name);
    EXPECT_EQ(Names(), Strings({"d.txt", "c.txt", "b.txt", "a.txt"}));
    DropFiles(&dialog, {dir.Path()});
    EXPECT_EQ(Names(), Strings({"d.txt", "c.txt", "b.txt", "a.txt"}));
}

TEST_F(DialogTest, EmptyOrMissingPathsRegisterNothingSilently) {
    Show();
    dialog.AddPath("");
    dialog.AddPath(dir / "missing.txt");
    dialog.AddPath(dir / "empty-folder-that-is-not-there");
    EXPECT_TRUE(Names().empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(DialogTest, CommandLinePathsRegisterInTheOrderGiven) {
    WriteFile(dir / "with blank.txt", kText);
    WriteFile(dir / "b.txt", kText);
    dialog.commandLine = {(dir / "with blank.txt").string(), "", (dir / "missing").string(),
                          (dir / "b.txt").string()};
    Show();
    EXPECT_EQ(Names(), Strings({"with blank.txt", "b.txt"}));
    EXPECT_EQ(Labels(), Strings({"Shift-JIS", "Shift-JIS"}));
}

TEST_F(DialogTest, RemoveTakesEverySelectedFileAndClearTakesAll) {
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) WriteFile(dir / name, kText);
    Show();
    DropFiles(&dialog, {dir.Path()});
    List()->topLevelItem(0)->setSelected(true);  // d.txt
    List()->topLevelItem(2)->setSelected(true);  // b.txt
    QTest::mouseClick(Find<QPushButton>("removeButton"), Qt::LeftButton);
    EXPECT_EQ(Names(), Strings({"c.txt", "a.txt"}));

    DropFiles(&dialog, {dir / "d.txt"});  // removed files can come back
    EXPECT_EQ(Names(), Strings({"d.txt", "c.txt", "a.txt"}));
    QTest::mouseClick(Find<QPushButton>("clearButton"), Qt::LeftButton);
    EXPECT_TRUE(Names().empty());
    DropFiles(&dialog, {dir / "a.txt"});
    EXPECT_EQ(Names(), Strings({"a.txt"}));
}

struct FilterRow {
    int item;
    std::vector<std::string> kept;
};

class ExtensionFilter : public DialogTest, public ::testing::WithParamInterface<FilterRow> {};

TEST_P(ExtensionFilter, KeepsOnlyFilesWithAnExtensionOfThePattern) {
    for (const char* name : {"INDEX.HTML", "a.htm", "a.shtml", "a.txt", "b.TXT", "run.cgi", "x.pl", "readme"}) {
        WriteFile(dir / name, kText);
    }
    Show();
    DropFiles(&dialog, {dir.Path()});
    auto* box = Find<QComboBox>("filterBox");
    box->setCurrentIndex(GetParam().item);
    emit box->activated(GetParam().item);
    EXPECT_EQ(Names(), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, ExtensionFilter,
    ::testing::Values(
        FilterRow{0, {"x.pl", "run.cgi", "readme", "b.TXT", "a.txt", "a.shtml", "a.htm", "INDEX.HTML"}},
        FilterRow{1, {"b.TXT", "a.txt"}},
        FilterRow{2, {"a.htm", "INDEX.HTML"}},
        FilterRow{3, {"x.pl", "run.cgi"}}));

TEST_F(DialogTest, FilterRemovalsStayWhenTheFilterIsSetBackToAll) {
    for (const char* name : {"a.txt", "b.htm"}) WriteFile(dir / name, kText);
    Show();
    DropFiles(&dialog, {dir.Path()});
    auto* box = Find<QComboBox>("filterBox");
    box->setCurrentIndex(1);
    emit box->activated(1);
    box->setCurrentIndex(0);
    emit box->activated(0);
    EXPECT_EQ(Names(), Strings({"a.txt"}));
}

TEST(ExtensionPattern, MatchesAnyExtensionOfTheListWithoutRegardToCase) {
    struct Row {
        const char* name;
        const char* pattern;
        bool matches;
    } rows[] = {
        {"INDEX.HTML", "*.htm;*.html", true}, {"a.htm", "*.htm;*.html", true},
        {"a.shtml", "*.htm;*.html", false},   {"readme", "*.txt", false},
        {"a.txt", "", false},                 {"a.pl", "*.cgi;*.pl", true},
        {"a.cgi", "*.cgi;*.pl", true},        {"a.txt.bak", "*.txt", false},
        {"dir.d/a", "*.d", false},            {"a.tar.gz", "*.gz", true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ui::MatchesExtensionPattern(row.name, row.pattern), row.matches) << row.name << " " << row.pattern;
    }
}

TEST(OpenFileFilter, BecomesQtsFormWithBlankSeparatedPatterns) {
    EXPECT_EQ(ui::OpenFileFilter(ui::UiString(ui::IDS_OPEN_FILTER)).toStdString(),
              "テキスト文書 (*.txt);;HTML文書 (*.htm *.html *.shtml);;cgi用ﾌｧｲﾙ (*.cgi *.pl);;All Files (*)");
}

TEST_F(DialogTest, ChosenFileIsRegisteredAndCancellingTheChooserRegistersNothing) {
    WriteFile(dir / "a.txt", kText);
    Show();
    QTest::mouseClick(Find<QPushButton>("chooseButton"), Qt::LeftButton);
    EXPECT_TRUE(Names().empty());
    chosen = QString::fromStdString((dir / "a.txt").string());
    QTest::mouseClick(Find<QPushButton>("chooseButton"), Qt::LeftButton);
    EXPECT_EQ(Names(), Strings({"a.txt"}));
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].rfind("テキスト文書 (*.txt);;", 0), 0u);
}

TEST_F(DialogTest, EveryFileCommandDoesNothingDuringARun) {
    const std::string big = LargeSjisText();
    WriteFile(dir / "big.txt", big);
    WriteFile(dir / "a.txt", kText);
    WriteFile(dir / "b.htm", kText);
    dialog.targetIndex = 2;
    Show();
    dialog.AddPath(dir / "big.txt");
    dialog.AddPath(dir / "b.htm");
    List()->topLevelItem(0)->setSelected(true);
    dialog.StartOrCancelJob();
    ASSERT_TRUE(dialog.IsBusy());

    chosen = QString::fromStdString((dir / "a.txt").string());
    DropFiles(&dialog, {dir / "a.txt"});
    QTest::mouseClick(Find<QPushButton>("chooseButton"), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>("removeButton"), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>("clearButton"), Qt::LeftButton);
    auto* box = Find<QComboBox>("filterBox");
    box->setCurrentIndex(1);
    emit box->activated(1);
    EXPECT_EQ(Names(), Strings({"big.txt", "b.htm"}));
    EXPECT_TRUE(filters.empty());

    dialog.StartOrCancelJob();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(ReadFile(dir / "big.txt"), big);
}

}  // namespace
}  // namespace ruv::test
