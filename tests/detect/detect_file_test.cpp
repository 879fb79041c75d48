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

    EXPECT_EQ(Label(path), "UTF-7");
    const int after = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(after, 0);
    EXPECT_EQ(::flock(after, LOCK_EX | LOCK_NB), 0) << "detection kept the file locked";
    ::close(after);
}

TEST_F(DetectFile, OnlyTheFirst2000BytesAreReadAndAnOldHeadLeavesNoTrace) {
    // 2000 ASCII bytes, then a zero unit that would make the file binary.
    std::string bytes(HEAD_READ_BYTES, 'a');
    bytes.append(4, '\0');
    CodeConverter converter;
    EXPECT_EQ(DetectFileCode(converter, Write("long.txt", bytes)), CODE_UTF7);
    EXPECT_EQ(converter.headLength, HEAD_READ_BYTES);

    // The short head that follows sees zero bytes, not the old head, after it.
    EXPECT_EQ(DetectFileCode(converter, Write("short.txt", "ab")), CODE_UTF7);
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
