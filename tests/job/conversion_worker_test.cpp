// Batches of real files converted in place: cancel, failures, backups, times,
// permissions, links, files changed since registration, and faults provoked
// on purpose.
#include "job/job_runner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <tuple>

#include "job/in_place_converter.h"
#include "job/registration.h"
#include "support/data_rows.h"
#include "support/temp_dir.h"

namespace ruv::test {
namespace {

namespace fs = std::filesystem;

const std::string kSjis = "\x93\xFA\x96\x7B\x8C\xEA\r\n";  // 日本語, as long in EUC-JP
const std::string kUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n";

std::string Repeat(const std::string& unit, std::size_t times) {
    std::string text;
    while (times-- > 0) text += unit;
    return text;
}

class ConversionWorker : public ::testing::Test {
protected:
    ConversionWorker() { settings.conversion.target = CODE_UTF8; }

    // Starts a run of the files of the folder, each with the code registered for it.
    bool Start(const std::vector<std::pair<std::string, KanjiCode>>& files, fs::path folder = {}) {
        if (folder.empty()) folder = dir.Path();
        std::vector<JobFile> list;
        for (const auto& [name, code] : files) list.push_back({name, folder / name, code});
        return runner.Start(std::move(list), settings);
    }

    // Runs them to the end.
    JobOutcome Run(const std::vector<std::pair<std::string, KanjiCode>>& files,
                   fs::path folder = {}) {
        EXPECT_TRUE(Start(files, folder));
        runner.Wait();
        EXPECT_FALSE(runner.IsBusy());
        return runner.Outcome();
    }

    // Every test leaves no name in its folder or below that ends in ruv's temporary suffix.
    void TearDown() override {
        for (const auto& entry : fs::recursive_directory_iterator(dir.Path()))
            EXPECT_EQ(entry.path().string().find(TEMP_SUFFIX), std::string::npos) << entry.path();
    }

    // A new folder for one row of a table (WriteFile makes it).
    fs::path NewFolder() { return dir / std::to_string(++folders); }

    // Runs the shell command in the folder, $F its path; its exit status.
    static int Shell(const fs::path& folder, const std::string& command) {
        return std::system(
            ("cd '" + folder.string() + "' && F='" + folder.string() + "' && " + command).c_str());
    }

    TempDir dir;
    int folders = 0;
    JobSettings settings;
    JobRunner runner;
};

TEST_F(ConversionWorker, ConvertsEachFileInPlaceKeepingItsTimesPermissionsOwnerAndLinks) {
    WriteFile(dir / "a.txt", kSjis);
    WriteFile(dir / "b.txt", "\xC6\xFC\xCB\xDC\xB8\xEC\r\n");  // EUC-JP
    WriteFile(dir / "bin", std::string("a\0b\0", 4));
    WriteFile(dir / "target.txt", kSjis);
    fs::create_symlink("target.txt", dir / "link.txt");
    fs::create_hard_link(dir / "a.txt", dir / "hard.txt");  // converted twice, from its own code
    ASSERT_EQ(::chmod((dir / "b.txt").c_str(), 0640), 0);
    const struct timespec times[2] = {{1000000000, 123456789}, {1100000000, 987654321}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "b.txt").c_str(), times, 0), 0);
    const bool privileged = ::geteuid() == 0;
    ASSERT_TRUE(!privileged || ::chown((dir / "b.txt").c_str(), 4321, 4321) == 0);
    std::vector<std::pair<std::string, KanjiCode>> files{
        {"a.txt", CODE_SJIS}, {"bin", CODE_BINARY},    {"gone", CODE_ERROR},
        {"b.txt", CODE_EUC},  {"link.txt", CODE_SJIS}, {"hard.txt", CODE_SJIS}};
    for (int i = 0; i < 150; ++i) {  // several groups of files
        WriteFile(dir / std::to_string(i), kSjis);
        files.emplace_back(std::to_string(i), CODE_SJIS);
    }

    EXPECT_EQ(Run(files), JobOutcome::Done) << runner.Report().failure;
    EXPECT_EQ(runner.Report().converted, 154u);
    struct stat info {};
    ASSERT_EQ(::stat((dir / "b.txt").c_str(), &info), 0);
    EXPECT_EQ(std::tuple(info.st_mode & 07777, info.st_atim.tv_sec, info.st_mtim.tv_sec,
                         info.st_mtim.tv_nsec),
              std::tuple(0640u, 1000000000, 1100000000, 987654321));
    EXPECT_TRUE(!privileged || info.st_uid == 4321u) << "the owner is kept";
    EXPECT_EQ(runner.Report().skipped, (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(ReadFile(dir / "bin"), std::string("a\0b\0", 4));
    for (const auto& [name, code] : files)
        EXPECT_TRUE(code == CODE_BINARY || code == CODE_ERROR || ReadFile(dir / name) == kUtf8)
            << name;
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_FALSE(fs::exists(dir / "a.txt.bak")) << "no backup unless asked for";
}

TEST_F(ConversionWorker, AFailedFileStopsTheRunLeavingItAndLaterFilesUntouched) {
    settings.backup = true;  // and the first file's backup replaces an older one
    for (const DataRow& row : DataRows("failed_files.tsv"))
        for (unsigned jobs : {1u, 4u}) {
            SCOPED_TRACE(row.at(0) + ", jobs " + std::to_string(jobs));
            settings.jobs = jobs;  // with 4 the third file is under way too, and is dropped
            const fs::path f = NewFolder();
            for (const char* name : {"1.txt", "2.txt", "3.txt"}) WriteFile(f / name, kSjis);
            WriteFile(f / "1.txt.bak", "an older backup");
            std::vector<JobFile> files{
                {"1.txt", f / "1.txt", CODE_SJIS},
                row.at(2) == "registered"
                    ? RegisterFile("2.txt", fs::canonical(f / "2.txt"))
                    : JobFile{"2.txt", f / "2.txt", std::stoi(row[2], nullptr, 0)},
                {"3.txt", f / "3.txt", CODE_SJIS}};
            const int held = row.at(1) == "hold" ? ::open((f / "2.txt").c_str(), O_RDONLY) : -1;
            ASSERT_EQ(held >= 0 ? ::flock(held, LOCK_EX) : Shell(f, row[1]), 0);
            const std::string second = ReadFile(f / "2.txt");
            ASSERT_TRUE(runner.Start(files, settings));
            runner.Wait();
            EXPECT_EQ(runner.Outcome(), JobOutcome::Failed);
            EXPECT_EQ(runner.Report().failedIndex, 1);
            EXPECT_EQ(runner.Report().failure.rfind(row.at(3), 0), 0u) << runner.Report().failure;
            EXPECT_EQ(ReadFile(f / "1.txt") + ReadFile(f / "1.txt.bak"), kUtf8 + kSjis);
            EXPECT_EQ(ReadFile(f / "2.txt"), second);
            EXPECT_EQ(ReadFile(f / "3.txt"), kSjis);
            EXPECT_FALSE(fs::exists(f / "3.txt.bak"));
            if (held >= 0) ::close(held);
        }
}

// A run of many files at once ends, reports and leaves the files exactly as
// one file at a time does: rows of a tree of 40 files, where a hard link pair
// is converted at once (one holds the other's lock) and file 20 may fail.
TEST_F(ConversionWorker, ManyFilesAtOnceEndAsOneAtATime) {
    const auto run = [&](const std::string& failing, bool keepGoing, unsigned jobs) {
        const fs::path f = NewFolder();
        std::vector<std::pair<std::string, KanjiCode>> files;
        for (int i = 0; i < 40; ++i) {
            const std::string name = std::to_string(i);
            const bool binary = i == 7, right = i % 9 == 4;  // right: already what it becomes
            WriteFile(f / name, binary  ? std::string("a\0", 2)
                                : right ? "ascii\n"
                                        : kSjis + (i == 14 ? "\x85\x40\n" : ""));  // broken
            files.emplace_back(name, binary ? CODE_BINARY : CODE_SJIS);
        }
        fs::remove(f / "3");
        fs::create_hard_link(f / "1", f / "3");
        EXPECT_EQ(Shell(f, failing), 0);
        settings.keepGoing = keepGoing;
        settings.jobs = jobs;
        Run(files, f);
        const JobReport& r = runner.Report();
        std::string seen = std::to_string(r.converted) + " " + std::to_string(r.failedIndex) +
                           r.failure + (r.cancelled ? " cancelled" : "");
        for (std::size_t i : r.unchanged) seen += " =" + std::to_string(i);
        for (std::size_t i : r.skipped) seen += " -" + std::to_string(i);
        for (const JobFailure& failure : r.failures) seen += " !" + std::to_string(failure.index);
        for (const LostCharacters& lost : r.lost) seen += " ?" + std::to_string(lost.index);
        for (const auto& file : files) seen += "\n" + file.first + ":" + ReadFile(f / file.first);
        return seen;
    };
    settings.autoDetect = false;  // file 14's broken character is replaced
    for (const auto& [failing, keepGoing] :
         {std::pair(":", false), {"chmod 444 20", false}, {"chmod 444 20 21", true}}) {
        SCOPED_TRACE(failing);
        EXPECT_EQ(run(failing, keepGoing, 4), run(failing, keepGoing, 1));
    }
}

// A cancel, one file at a time or three at once, leaves each file old or new,
// the new ones first with no gap; the ones met before it are new.
TEST_F(ConversionWorker, ACancelLeavesEachFileOldOrNewAndTheNewOnesFirst) {
    const std::string old = Repeat(kSjis, 1 << 18), converted = Repeat(kUtf8, 1 << 18);
    for (unsigned jobs : {1u, 3u}) {
        settings.jobs = jobs;
        const fs::path f = NewFolder();
        std::vector<std::pair<std::string, KanjiCode>> files;
        for (int i = 0; i < 24; ++i) {
            WriteFile(f / std::to_string(i), old);
            files.emplace_back(std::to_string(i), CODE_SJIS);
        }
        ASSERT_TRUE(Start(files, f));
        while (runner.IsBusy() && runner.CurrentFile() < 6) std::this_thread::yield();
        runner.RequestCancel();
        runner.Wait();
        EXPECT_EQ(runner.Outcome(), JobOutcome::Cancelled);
        std::size_t count = 0;
        for (const auto& file : files) {
            const std::string text = ReadFile(f / file.first);
            EXPECT_TRUE(text == old || (text == converted && count++ == std::stoul(file.first)))
                << jobs << " jobs: " << file.first;
        }
        EXPECT_EQ(runner.Report().converted, count);
        EXPECT_GE(count, jobs == 1 ? 6u : 1u) << "the file prepared first is committed";
    }
}

TEST_F(ConversionWorker, AFileAlreadyRightIsLeftAsItWasItsBackupToo) {
    settings.backup = true;
    WriteFile(dir / "wrong.txt", kSjis);
    WriteFile(dir / "right.txt", kUtf8);
    WriteFile(dir / "right.txt.bak", "the true original");
    WriteFile(dir / "lf.txt", "a\n" + kUtf8);  // in the target's code, but not its line ends
    struct stat before = {}, after = {};
    ASSERT_EQ(::stat((dir / "right.txt").c_str(), &before), 0);
    EXPECT_EQ(Run({{"wrong.txt", CODE_SJIS}, {"right.txt", CODE_UTF8}, {"lf.txt", CODE_UTF8}}),
              JobOutcome::Done);
    EXPECT_EQ(ReadFile(dir / "lf.txt"), "a\r\n" + kUtf8);
    ASSERT_EQ(::stat((dir / "right.txt").c_str(), &after), 0);
    EXPECT_EQ(std::tuple(after.st_ino, after.st_ctim.tv_sec, after.st_ctim.tv_nsec),
              std::tuple(before.st_ino, before.st_ctim.tv_sec, before.st_ctim.tv_nsec));
    EXPECT_EQ(ReadFile(dir / "right.txt") + ReadFile(dir / "right.txt.bak"),
              kUtf8 + "the true original");
    EXPECT_EQ(ReadFile(dir / "wrong.txt") + ReadFile(dir / "wrong.txt.bak"), kUtf8 + kSjis);
    EXPECT_EQ(runner.Report().converted, 2u);
    EXPECT_EQ(runner.Report().unchanged, std::vector<std::size_t>{1});
    // A second run starts its report and progress from nothing; without
    // auto-detection it reads the chosen code, not the one registered.
    EXPECT_FALSE(runner.Start({}, settings)) << "an empty list starts nothing";
    settings.autoDetect = false;
    settings.conversion.source = CODE_UTF8;
    Run({{"wrong.txt", CODE_SJIS}});
    EXPECT_EQ(std::tuple(runner.Report().converted, runner.Report().unchanged.size()),
              std::tuple(0u, 1u));
    EXPECT_EQ(runner.ProgressMaximum(), kUtf8.size());
    EXPECT_EQ(runner.ProgressPosition(), kUtf8.size());
}

// ConvertInPlace in a child process, whose file size is limited to 64 KB (a
// full disk) or which is killed part-way: the file holds the old or the
// whole new content, and no temporary file is left.
TEST_F(ConversionWorker, AFullDiskOrAKilledProcessLeavesTheOldOrTheNewContentNeverAPart) {
    for (const bool kill : {false, true}) {
        const std::string text = Repeat(kSjis, kill ? 30 << 17 : 1 << 17);
        WriteFile(dir / "a.txt", text);
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit small{64 * 1024, 64 * 1024};
            if (!kill &&
                (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &small) != 0))
                _exit(2);
            ConvertJob job;
            job.settings.autoDetect = false;
            job.settings.conversion = {CODE_SJIS, CODE_UNICODE};
            ProgressCounter progress;
            std::string reason;
            _exit(ConvertInPlace(dir / "a.txt", job, progress, reason) == FileOutcome::Converted
                      ? 0
                      : 1);
        }
        if (kill) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string after = ReadFile(dir / "a.txt");
        EXPECT_TRUE(kill || (WIFEXITED(status) && WEXITSTATUS(status) == 1))
            << "a failed write is a failure";
        EXPECT_TRUE(after == text || (kill && after.size() == 2 + text.size() / 8 * 10))
            << "the path holds " << after.size() << " bytes";
    }
}

}  // namespace
}  // namespace ruv::test
