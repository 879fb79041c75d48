// Batches of real files converted in place: cancel, failures, backups, times,
// permissions, links, and faults provoked on purpose.
#include "job/job_runner.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "job/in_place_converter.h"
#include "support/temp_dir.h"

namespace ruv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::string kSjis = "\x93\xFA\x96\x7B\x8C\xEA\r\n";  // 日本語
const std::string kUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n";
const std::string kEuc = "\xC6\xFC\xCB\xDC\xB8\xEC\r\n";

JobSettings ToUtf8() {
    JobSettings settings;
    settings.targetCode = CODE_UTF8;
    settings.autoDetect = true;
    return settings;
}

// Runs one batch to its end.
JobOutcome RunToEnd(JobRunner& runner, std::vector<JobFile> files, const JobSettings& settings) {
    EXPECT_TRUE(runner.Start(std::move(files), settings));
    runner.Wait();
    EXPECT_FALSE(runner.IsBusy());
    return runner.Outcome();
}

// Files of the folder whose names end in ruv's temporary suffix.
std::vector<fs::path> TemporaryFiles(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(TEMP_SUFFIX) != std::string::npos) found.push_back(entry.path());
    }
    return found;
}

TEST(ConversionWorker, ConvertsEachFileFromItsOwnDetectedCode) {
    TempDir dir;
    WriteFile(dir / "a.txt", kSjis);
    WriteFile(dir / "b.txt", kEuc);
    JobRunner runner;
    EXPECT_EQ(RunToEnd(runner, {{"a.txt", dir / "a.txt", CODE_SJIS}, {"b.txt", dir / "b.txt", CODE_EUC}},
                  ToUtf8()),
              JobOutcome::Done);
    EXPECT_EQ(ReadFile(dir / "a.txt"), kUtf8);
    EXPECT_EQ(ReadFile(dir / "b.txt"), kUtf8);
    EXPECT_EQ(runner.Report().converted, 2u);
    EXPECT_FALSE(fs::exists(dir / "a.txt.bak")) << "no backup unless asked for";
}

TEST(ConversionWorker, WithoutAutoDetectTheChosenCodeIsUsed) {
    TempDir dir;
    WriteFile(dir / "a.txt", kEuc);
    JobSettings settings = ToUtf8();
    settings.autoDetect = false;
    settings.sourceCode = CODE_EUC;
    JobRunner runner;
    // Stored as Shift_JIS, but the run's source code decides.
    EXPECT_EQ(RunToEnd(runner, {{"a.txt", dir / "a.txt", CODE_SJIS}}, settings), JobOutcome::Done);
    EXPECT_EQ(ReadFile(dir / "a.txt"), kUtf8);
}

TEST(ConversionWorker, BinaryAndUnreadableFilesAreSkipped) {
    TempDir dir;
    WriteFile(dir / "bin", std::string("a\0b\0", 4));
    WriteFile(dir / "a.txt", kSjis);
    JobRunner runner;
    EXPECT_EQ(RunToEnd(runner,
                  {{"bin", dir / "bin", CODE_BINARY},
                   {"gone", dir / "gone", CODE_ERROR},
                   {"a.txt", dir / "a.txt", CODE_SJIS}},
                  ToUtf8()),
              JobOutcome::Done);
    EXPECT_EQ(runner.Report().skipped, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(ReadFile(dir / "bin"), std::string("a\0b\0", 4));
    EXPECT_EQ(ReadFile(dir / "a.txt"), kUtf8);
}

TEST(ConversionWorker, BackupHoldsThePreviousContentReplacingAnOlderOne) {
    TempDir dir;
    WriteFile(dir / "a.txt", kSjis);
    WriteFile(dir / "a.txt.bak", "an older backup");
    JobSettings settings = ToUtf8();
    settings.backup = true;
    JobRunner runner;
    EXPECT_EQ(RunToEnd(runner, {{"a.txt", dir / "a.txt", CODE_SJIS}}, settings), JobOutcome::Done);
    EXPECT_EQ(ReadFile(dir / "a.txt"), kUtf8);
    EXPECT_EQ(ReadFile(dir / "a.txt.bak"), kSjis);
    EXPECT_TRUE(TemporaryFiles(dir.Path()).empty());
}

TEST(ConversionWorker, KeepsTimesPermissionsAndOwner) {
    TempDir dir;
    const fs::path path = dir / "a.txt";
    WriteFile(path, kSjis);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const struct timespec times[2] = {{1000000000, 123456789}, {1100000000, 987654321}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const bool privileged = ::geteuid() == 0;
    if (privileged) {
        ASSERT_EQ(::chown(path.c_str(), 4321, 4321), 0);
    }

    JobRunner runner;
    EXPECT_EQ(RunToEnd(runner, {{"a.txt", path, CODE_SJIS}}, ToUtf8()), JobOutcome::Done);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_atim.tv_sec, 1000000000);
    EXPECT_EQ(info.st_mtim.tv_sec, 1100000000);
    EXPECT_EQ(info.st_mtim.tv_nsec, 987654321);
    if (privileged) {
        EXPECT_EQ(info.st_uid, 4321u);
    }
    EXPECT_EQ(ReadFile(path), kUtf8);
}

TEST(ConversionWorker, ALinkStaysALinkAndItsTargetIsConverted) {
    TempDir dir;
    WriteFile(dir / "target.txt", kSjis);
    fs::create_symlink("target.txt", dir / "link.txt");
    JobRunner runner;
    EXPECT_EQ(RunToEnd(runner, {{"link.txt", dir / "link.txt", CODE_SJIS}}, ToUtf8()), JobOutcome::Done);
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(ReadFile(dir / "target.txt"), kUtf8);
}

TEST(ConversionWorker, TwoNamesOfOneFileAreBothConverted) {
    // Hard links: converting the first name gives it new content, the second
    // keeps the old content until its own turn.
    TempDir dir;
    WriteFile(dir / "a.txt", kSjis);
    fs::create_hard_link(dir / "a.txt", dir / "b.txt");
    JobRunner runner;
    EXPECT_EQ(RunToEnd(runner, {{"a.txt", dir / "a.txt", CODE_SJIS}, {"b.txt", dir / "b.txt", CODE_SJIS}},
                       ToUtf8()),
              JobOutcome::Done)
        << runner.Report().failure;
    EXPECT_EQ(ReadFile(dir / "a.txt"), kUtf8);
    EXPECT_EQ(ReadFile(dir / "b.txt"), kUtf8);
}

TEST(ConversionWorker, ManyFilesAreAllConvertedAcrossGroups) {
    TempDir dir;
    std::vector<JobFile> files;
    for (int i = 0; i < 150; ++i) {
        const std::string name = std::to_string(i) + ".txt";
        WriteFile(dir / name, kSjis);
        files.push_back({name, dir / name, CODE_SJIS});
    }
    JobRunner runner;
    EXPECT_EQ(RunToEnd(runner, files, ToUtf8()), JobOutcome::Done);
    EXPECT_EQ(runner.Report().converted, 150u);
    for (const JobFile& file : files) EXPECT_EQ(ReadFile(file.path), kUtf8) << file.name;
    EXPECT_TRUE(TemporaryFiles(dir.Path()).empty());
}

TEST(ConversionWorker, AFailedFileStopsTheRunAndLeavesLaterFilesUntouched) {
    // Each row makes the second of three files fail in another way.
    struct Row {
        const char* what;
        void (*arrange)(const fs::path& second);
        KanjiCode secondCode;
    };
    const Row rows[] = {
        {"held by another ruv process", nullptr, CODE_SJIS},
        {"read-only file", [](const fs::path& p) { ::chmod(p.c_str(), 0444); }, CODE_SJIS},
        {"text its code cannot hold", [](const fs::path& p) { WriteFile(p, "a~b\n"); }, CODE_UTF7},
        {"code left undecided", [](const fs::path& p) { WriteFile(p, "\x82\xA0\xA4\xA2\n"); },
         CODE_UNKNOWN},
    };
    for (const Row& row : rows) {
        TempDir dir;
        WriteFile(dir / "1.txt", kSjis);
        WriteFile(dir / "2.txt", kSjis);
        WriteFile(dir / "3.txt", kSjis);
        int held = -1;
        if (row.arrange != nullptr) {
            row.arrange(dir / "2.txt");
        } else {
            held = ::open((dir / "2.txt").c_str(), O_RDONLY);
            ASSERT_EQ(::flock(held, LOCK_EX), 0);
        }
        const std::string second = ReadFile(dir / "2.txt");
        JobRunner runner;
        EXPECT_EQ(RunToEnd(runner,
                      {{"1.txt", dir / "1.txt", CODE_SJIS},
                       {"2.txt", dir / "2.txt", row.secondCode},
                       {"3.txt", dir / "3.txt", CODE_SJIS}},
                      ToUtf8()),
                  JobOutcome::Failed)
            << row.what;
        EXPECT_EQ(runner.Report().failedIndex, 1) << row.what;
        EXPECT_FALSE(runner.Report().failure.empty()) << row.what;
        EXPECT_EQ(ReadFile(dir / "1.txt"), kUtf8) << row.what;
        EXPECT_EQ(ReadFile(dir / "2.txt"), second) << row.what;
        EXPECT_EQ(ReadFile(dir / "3.txt"), kSjis) << row.what;
        if (held >= 0) ::close(held);
        EXPECT_TRUE(TemporaryFiles(dir.Path()).empty()) << row.what;
    }
}

TEST(ConversionWorker, ABackupThatCannotBeReplacedFailsTheFile) {
    TempDir dir;
    WriteFile(dir / "a.txt", kSjis);
    fs::create_directories(dir / "a.txt.bak" / "inside");
    JobSettings settings = ToUtf8();
    settings.backup = true;
    JobRunner runner;
    EXPECT_EQ(RunToEnd(runner, {{"a.txt", dir / "a.txt", CODE_SJIS}}, settings), JobOutcome::Failed);
    EXPECT_EQ(ReadFile(dir / "a.txt"), kSjis);
    EXPECT_TRUE(TemporaryFiles(dir.Path()).empty());
}

TEST(ConversionWorker, CancelDuringTheSecondOfThreeFiles) {
    TempDir dir;
    std::string big;
    while (big.size() < 40 * 1024 * 1024) big += kSjis;
    WriteFile(dir / "1.txt", kSjis);
    WriteFile(dir / "2.txt", big);
    WriteFile(dir / "3.txt", kSjis);
    JobRunner runner;
    ASSERT_TRUE(runner.Start({{"1.txt", dir / "1.txt", CODE_SJIS},
                              {"2.txt", dir / "2.txt", CODE_SJIS},
                              {"3.txt", dir / "3.txt", CODE_SJIS}},
                             ToUtf8()));
    while (runner.IsBusy() && runner.CurrentFile() < 1) std::this_thread::yield();
    runner.RequestCancel();
    runner.Wait();
    EXPECT_EQ(runner.Outcome(), JobOutcome::Cancelled);
    EXPECT_EQ(ReadFile(dir / "1.txt"), kUtf8);
    EXPECT_TRUE(ReadFile(dir / "2.txt") == big) << "the file under way is left as it was";
    EXPECT_EQ(ReadFile(dir / "3.txt"), kSjis);
    EXPECT_TRUE(TemporaryFiles(dir.Path()).empty());
}

TEST(ConversionWorker, ASecondRunCountsItsProgressFromZero) {
    TempDir dir;
    WriteFile(dir / "a.txt", std::string(5000, 'a'));
    WriteFile(dir / "b.txt", std::string(700, 'b'));
    JobRunner runner;
    RunToEnd(runner, {{"a.txt", dir / "a.txt", CODE_ASCII}}, ToUtf8());
    EXPECT_EQ(runner.ProgressMaximum(), 5000u);
    EXPECT_FALSE(runner.Start({}, ToUtf8())) << "an empty list starts nothing";
    RunToEnd(runner, {{"b.txt", dir / "b.txt", CODE_ASCII}}, ToUtf8());
    EXPECT_EQ(runner.ProgressMaximum(), 700u);
    EXPECT_EQ(runner.ProgressPosition(), 700u);
}

// Runs ConvertInPlace in a child process that `limit` prepares; returns the
// child's wait status.
template <typename Limit>
int InChild(const fs::path& path, Limit limit, bool killHalfway) {
    const pid_t child = ::fork();
    if (child == 0) {
        limit();
        ConvertJob job;
        job.sourceCode = CODE_SJIS;
        job.targetCode = CODE_UNICODE;
        ProgressCounter progress;
        std::string reason;
        _exit(ConvertInPlace(path, job, progress, reason) == FileOutcome::Converted ? 0 : 1);
    }
    if (killHalfway) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST(ConversionWorker, AFullDiskLeavesTheSourceIntactAndNoTemporaryFile) {
    TempDir dir;
    std::string text;
    while (text.size() < 1024 * 1024) text += kSjis;
    WriteFile(dir / "a.txt", text);
    const int status = InChild(dir / "a.txt", [] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &small);
    }, false);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "a failed write is a failure";
    EXPECT_TRUE(ReadFile(dir / "a.txt") == text);
    EXPECT_TRUE(TemporaryFiles(dir.Path()).empty());
}

TEST(ConversionWorker, AKilledProcessLeavesTheOldOrTheNewContentNeverAPart) {
    TempDir dir;
    std::string text;
    while (text.size() < 30 * 1024 * 1024) text += kSjis;
    WriteFile(dir / "a.txt", text);
    const int status = InChild(dir / "a.txt", [] {}, true);
    const std::string after = ReadFile(dir / "a.txt");
    if (WIFSIGNALED(status)) {
        EXPECT_TRUE(after == text || after.size() == 2 + text.size() / 8 * 2 * 5)
            << "killed mid-file: the path holds " << after.size() << " bytes";
    }
    EXPECT_TRUE(after == text || after.substr(0, 2) == "\xFF\xFE");
    EXPECT_TRUE(TemporaryFiles(dir.Path()).empty()) << "the temporary had no name yet";
}

}  // namespace
}  // namespace ruv
