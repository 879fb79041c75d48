// Registration of files by drop, chooser and command line; the pruning
// commands; and the order of the list.
#include <QComboBox>

#include "qt_test_app.h"

namespace ruv::test {
namespace {

// Which files a path registers is tested in tests/job; here, that the window
// lists what the policy yields, once.
TEST_F(DialogTest, DropListsWhatThePolicyAllowsAndTheSortedFilterKeepsItsExtensionsInAnyCase) {
    for (const char* name : {"a.EXE", "b.bak", "d.tXt.)ruv(", "readme", "n.exe.txt", "INDEX.HTML",
                             "a.htm", "a.shtml"}) {
        WriteFile(dir / name, kSjis);
    }
    Show();
    DropFiles(&dialog, {dir.Path(), dir / "b.bak", dir / "a.htm"});
    EXPECT_EQ(Names(), (Strings{"readme", "n.exe.txt", "a.shtml", "a.htm", "INDEX.HTML"}));
    auto* box = Find<QComboBox>("filterBox");
    Strings items;
    for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdString());
    EXPECT_EQ(items, (Strings{"*.*", "*.cgi;*.pl", "*.htm;*.html", "*.txt"}));
    for (int item : {0, 2}) {  // the first item, "*.*", keeps every file
        box->setCurrentIndex(item);
        emit box->activated(item);
    }
    EXPECT_EQ(Names(), (Strings{"a.htm", "INDEX.HTML"}));
}

TEST_F(DialogTest, EveryWayOfAddingListsNamesDescendingAndRemovedFilesComeBackButtonsOrKeys) {
    for (const char* name : {"b.txt", "a.txt", "d d.txt", "c.txt"}) WriteFile(dir / name, kSjis);
    dialog.commandLine = {(dir / "b.txt").string(), "", (dir / "missing").string(),
                          (dir / "a.txt").string()};
    Show();
    Click("chooseButton");  // cancelled
    chosen = {QString::fromStdString((dir / "d d.txt").string()),
              QString::fromStdString((dir / "c.txt").string())};
    QTest::keyClick(&dialog, Qt::Key_O, Qt::ControlModifier);
    // Opened where the command line's last file was, then where the chooser left off.
    EXPECT_EQ(folders, Strings(2, std::filesystem::canonical(dir.Path()).string()));
    EXPECT_EQ(filters.at(1),
              "テキスト文書 (*.txt);;HTML文書 (*.htm *.html *.shtml);;cgi用ﾌｧｲﾙ (*.cgi *.pl);;All "
              "Files (*)");
    DropFiles(&dialog, {dir.Path()});
    EXPECT_EQ(Names(), (Strings{"d d.txt", "c.txt", "b.txt", "a.txt"}));
    EXPECT_EQ(Labels(), Strings(4, "Shift-JIS"));
    EXPECT_TRUE(messages.empty());
    for (int item : {1, 3}) List()->topLevelItem(item)->setSelected(true);
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(Names(), (Strings{"d d.txt", "b.txt"}));
    DropFiles(&dialog, {dir / "c.txt"});
    EXPECT_EQ(Names(), (Strings{"d d.txt", "c.txt", "b.txt"}));
    QTest::keyClick(List(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(List()->selectedItems().size(), 3);
    Click("clearButton");
    EXPECT_TRUE(Names().empty());
    DropFiles(&dialog, {dir / "a.txt"});
    EXPECT_EQ(Names(), Strings{"a.txt"});
}

}  // namespace
}  // namespace ruv::test
