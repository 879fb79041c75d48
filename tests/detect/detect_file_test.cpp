// DetectFileCode and DetectFileLabel on real files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>
#include <string_view>

#include "detect/code_detector.h"
#include "detect/code_labels.h"
#include "support/temp_dir.h"

namespace ruv {
namespace {

// The label of a file holding bytes, in a fresh folder.
class DetectFile : public ::testing::Test {
  protected:
    std::string Label(std::string_view bytes) {
        test::WriteFile(dir_ / "file.txt", bytes);
        std::string label = "stale";
        DetectFileLabel(dir_ / "file.txt", label);
        return label;
    }
    test::TempDir dir_;
};

TEST_F(DetectFile, UnreadableFilesAreErrorsAndTinyOnesUndetermined) {
    std::string label = "stale";
    EXPECT_EQ(DetectFileLabel(dir_ / "missing.txt", label), CODE_ERROR);
    EXPECT_EQ(label, "error");
    label = "stale";
    EXPECT_EQ(DetectFileLabel(dir_.Path(), label), CODE_ERROR) << "a directory";
    EXPECT_EQ(label, "error");
    EXPECT_EQ(Label(""), "不明");
    EXPECT_EQ(Label("A"), "不明");
}

// flock locks belong to an open file description, so a second open in this
// process meets the lock just as another process would.
TEST_F(DetectFile, AFileLockedElsewhereIsAnErrorAndDetectionLeavesNoLock) {
    EXPECT_EQ(Label("hello\r\n"), "ASCII");
    const int holder = ::open((dir_ / "file.txt").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(Label("hello\r\n"), "error");
    ::close(holder);
    EXPECT_EQ(Label("hello\r\n"), "ASCII");
    const int after = ::open((dir_ / "file.txt").c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(::flock(after, LOCK_EX | LOCK_NB), 0) << "detection kept the file locked";
    ::close(after);
}

// A 7-bit head promises nothing: the file is read on to the first byte that
// 7-bit text does not explain. Each row: lines of 50 bytes up to `at` bytes
// (with terminal colours when `colours`), the first holding a UTF-7 run so that
// the head alone reads as UTF-7, then the tail.
TEST_F(DetectFile, ASevenBitHeadIsReadOnToTheFirstEightBitByte) {
    constexpr std::size_t BLOCK_END = HEAD_READ_BYTES + 64 * 1024;  // the first read-on block
    const struct {
        std::size_t at;
        bool colours;
        std::string_view tail;
        const char* label;
    } rows[] = {
        {HEAD_READ_BYTES, false, {"\0\0\0\0", 4}, "binary"},   // zero bytes after the head
        {3000, false, "\xE6\x97\xA5\xE6\x9C\xAC\n", "UTF-8"},  // UTF-8 after the head
        {5000, true, "\xA4\xA2\xA4\xA4\xA4\xA6\n", "EUC"},     // EUC-JP after colours
        {2500, false, "ab\x1B(I12\x1B(B\n", "JIS"},            // kana alone in JIS
        {BLOCK_END - 2, false, "\x1B$B0!\x1B(B\n", "JIS"},     // an escape across blocks
        {2100, false,
         "a\x80"
         "b\n",
         "不明"},                                 // 8-bit bytes forming no pair
        {4000, true, "", "ASCII"},                // colours stay ASCII
        {2000, false, "I like C++\n", "ASCII"},   // a plus sign after the head
        {2100, false, "+ZeVnLA-\n", "UTF-7"},     // UTF-7 that stays UTF-7
        {2100, false, "+ZeVnLA-\nx+y", "ASCII"},  // then a malformed run
    };
    for (const auto& row : rows) {
        std::string bytes = "+ZeVnLA- ";
        while (bytes.size() < row.at) {
            bytes += row.colours ? "\x1B[31mred\x1B[0m and plain text, 7-bit only.....\n"
                                 : "plain text, 7-bit only, forty-nine bytes long.....\n";
        }
        bytes.resize(row.at);
        EXPECT_EQ(Label(bytes + std::string(row.tail)), row.label) << row.at << " " << row.tail;
    }
}

TEST_F(DetectFile, AnOldHeadLeavesNoTrace) {
    CodeConverter converter;
    test::WriteFile(dir_ / "long.txt", std::string(3000, 'a'));
    test::WriteFile(dir_ / "short.txt", "ab");
    EXPECT_EQ(DetectFileCode(converter, dir_ / "long.txt"), CODE_ASCII);
    EXPECT_EQ(converter.headLength, HEAD_READ_BYTES) << "the head buffer keeps the head";
    // The short head that follows sees zero bytes, not the old head, after it.
    EXPECT_EQ(DetectFileCode(converter, dir_ / "short.txt"), CODE_ASCII);
    EXPECT_EQ(converter.headLength, 2u);
    for (std::size_t i = 2; i < HEAD_BUFFER_BYTES; ++i) ASSERT_EQ(converter.headBuffer[i], 0) << i;
    EXPECT_EQ(DetectFileCode(converter, dir_ / "missing.txt"), CODE_ERROR);
    EXPECT_EQ(converter.headLength, 0u);
    EXPECT_EQ(converter.headBuffer[0], 0);
}

}  // namespace
}  // namespace ruv
