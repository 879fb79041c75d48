// DetectFileCode and DetectFileLabel on real files.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "detect/code_detector.h"
#include "detect/code_labels.h"
#include "support/temp_dir.h"

namespace ruv {
namespace {

namespace fs = std::filesystem;

// Each test works in a fresh folder, removed with everything in it at the end.
class DetectFile : public ::testing::Test {
protected:
    fs::path Write(const char* name, std::string_view bytes) {
        const fs::path path = folder_ / name;
        test::WriteFile(path, bytes);
        return path;
    }

    static std::string Label(const fs::path& path) {
        std::string label;
        DetectFileLabel(path, label);
        return label;
    }

    test::TempDir dir_;
    const fs::path& folder_ = dir_.Path();
};

TEST_F(DetectFile, UnreadablePathsAreErrors) {
    std::string label = "stale";
    EXPECT_EQ(DetectFileLabel(folder_ / "missing.txt", label), CODE_ERROR);
    EXPECT_EQ(label, "error");
    EXPECT_EQ(DetectFileLabel(folder_, label), CODE_ERROR) << "a directory";
    EXPECT_EQ(label, "error");
}

TEST_F(DetectFile, EmptyAndOneByteFilesAreUndetermined) {
    EXPECT_EQ(Label(Write("empty.txt", "")), "不明");
    EXPECT_EQ(Label(Write("one.txt", "A")), "不明");
}

// flock locks belong to an open file description, so a second open in this
// process meets the lock just as another process would.
TEST_F(DetectFile, AFileLockedElsewhereIsAnErrorAndDetectionLeavesNoLock) {
    const fs::path path = Write("locked.txt", "hello\r\n");
    const int holder = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(Label(path), "error");
    ::close(holder);

    EXPECT_EQ(Label(path), "ASCII");
    const int after = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(after, 0);
    EXPECT_EQ(::flock(after, LOCK_EX | LOCK_NB), 0) << "detection kept the file locked";
    ::close(after);
}

// A 7-bit head promises nothing: the file is read on to the first byte that
// 7-bit text does not explain.  Each row: plain lines up to `at` bytes (with
// terminal colours when `colours`), then the tail.
TEST_F(DetectFile, ASevenBitHeadIsReadOnToTheFirstEightBitByte) {
    constexpr std::size_t BLOCK_END = HEAD_READ_BYTES + 64 * 1024;  // the first read-on block
    const struct {
        const char* what;
        std::size_t at;
        bool colours;
        std::string_view tail;
        KanjiCode expected;
    } rows[] = {
        {"a zero byte after the head", HEAD_READ_BYTES, false, {"\0\0\0\0", 4}, CODE_BINARY},
        {"UTF-8 after the head", 3000, false, "\xE6\x97\xA5\xE6\x9C\xAC\n", CODE_UTF8},
        {"EUC-JP after colours", 5000, true, "\xA4\xA2\xA4\xA4\xA4\xA6\n", CODE_EUC},
        {"kana alone in JIS", 2500, false, "ab\x1B(I12\x1B(B\n", CODE_JIS},
        {"an escape across blocks", BLOCK_END - 2, false, "\x1B$B0!\x1B(B\n", CODE_JIS},
        {"8-bit bytes that form no pair", 2100, false, "a\x80" "b\n", CODE_UNKNOWN},
        {"colours stay ASCII", 4000, true, "", CODE_ASCII},
        {"a plus sign after the head", 2000, false, "I like C++\n", CODE_ASCII},
        {"UTF-7 that stays UTF-7", 2100, false, "+ZeVnLA-\n", CODE_UTF7},
        {"UTF-7 runs, then a malformed one", 2100, false, "+ZeVnLA-\nx+y", CODE_ASCII},
    };
    for (const auto& row : rows) {
        // Lines of 50 bytes; the first holds a UTF-7 run, so that the head
        // alone reads as UTF-7.
        std::string bytes = "+ZeVnLA- ";
        while (bytes.size() < row.at) {
            bytes += row.colours ? "\x1B[31mred\x1B[0m and plain text, 7-bit only.....\n"
                                 : "plain text, 7-bit only, forty-nine bytes long.....\n";
        }
        bytes.resize(row.at);
        bytes += row.tail;
        CodeConverter converter;
        EXPECT_STREQ(CodeLabel(DetectFileCode(converter, Write("long.txt", bytes))),
                     CodeLabel(row.expected))
            << row.what;
        EXPECT_EQ(converter.headLength, HEAD_READ_BYTES) << "the head buffer keeps the head";
    }
}

TEST_F(DetectFile, AnOldHeadLeavesNoTrace) {
    CodeConverter converter;
    EXPECT_EQ(DetectFileCode(converter, Write("long.txt", std::string(3000, 'a'))), CODE_ASCII);
    // The short head that follows sees zero bytes, not the old head, after it.
    EXPECT_EQ(DetectFileCode(converter, Write("short.txt", "ab")), CODE_ASCII);
    EXPECT_EQ(converter.headLength, 2u);
    for (std::size_t i = 2; i < HEAD_BUFFER_BYTES; ++i) {
        ASSERT_EQ(converter.headBuffer[i], 0) << "offset " << i;
    }

    EXPECT_EQ(DetectFileCode(converter, folder_ / "missing.txt"), CODE_ERROR);
    EXPECT_EQ(converter.headLength, 0u);
    EXPECT_EQ(converter.headBuffer[0], 0);
}

}  // namespace
}  // namespace ruv
