// DetectFileCode and DetectFileLabel on real files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>
#include <string_view>

#include "detect/code_detector.h"
#include "detect/code_labels.h"
#include "support/data_rows.h"
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

// Rows of tests/data/seven_bit_heads.tsv.
TEST_F(DetectFile, ASevenBitHeadIsReadOnToTheFirstEightBitByte) {
    for (const test::DataRow& row : test::DataRows("seven_bit_heads.tsv")) {
        const std::size_t at = row.at(0) == "head"      ? HEAD_READ_BYTES
                               : row.at(0) == "block-2" ? HEAD_READ_BYTES + 64 * 1024 - 2
                                                        : std::stoul(row.at(0));
        std::string bytes = "+ZeVnLA- ";
        while (bytes.size() < at) {
            bytes += row.at(1) == "colours"
                         ? "\x1B[31mred\x1B[0m and plain text, 7-bit only.....\n"
                         : "plain text, 7-bit only, forty-nine bytes long.....\n";
        }
        bytes.resize(at);
        EXPECT_EQ(Label(bytes + test::Unescape(row.at(2))), row.at(3)) << row.at(4);
    }
}

TEST_F(DetectFile, AnOldHeadLeavesNoTraceAndUnreadablePathsAreErrors) {
    CodeConverter converter;
    test::WriteFile(dir_ / "long.txt", std::string(3000, 'a'));
    test::WriteFile(dir_ / "short.txt", "ab");
    EXPECT_EQ(DetectFileCode(converter, dir_ / "long.txt"), CODE_ASCII);
    EXPECT_EQ(converter.headLength, HEAD_READ_BYTES) << "the head buffer keeps the head";
    // The short head that follows sees zero bytes, not the old head, after it.
    EXPECT_EQ(DetectFileCode(converter, dir_ / "short.txt"), CODE_ASCII);
    EXPECT_EQ(converter.headLength, 2u);
    for (std::size_t i = 2; i < HEAD_BUFFER_BYTES; ++i) ASSERT_EQ(converter.headBuffer[i], 0) << i;
    for (const auto& path : {dir_ / "missing.txt", dir_.Path()}) {  // and a directory
        EXPECT_EQ(DetectFileCode(converter, path), CODE_ERROR) << path;
        EXPECT_EQ(converter.headLength, 0u);
        EXPECT_EQ(converter.headBuffer[0], 0);
    }
}

}  // namespace
}  // namespace ruv
