// A registered file that changes before the run opens it is refused and left
// as it is, whatever changed: each row changes it in another way.
#include "job/registration.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "job/in_place_converter.h"
#include "job/job_runner.h"
#include "support/temp_dir.h"

namespace ruv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::string kSjis = "\x93\xFA\x96\x7B\x8C\xEA\r\n";  // 日本語, the same length in both
const std::string kEuc = "\xC6\xFC\xCB\xDC\xB8\xEC\r\n";

TEST(Registration, AFileChangedSinceItWasRegisteredIsRefused) {
    struct Row {
        const char* what;
        void (*change)(const fs::path& folder, const JobFile& file);
    };
    const Row rows[] = {
        {"nothing changed", nullptr},
        {"swapped for a link to it",
         [](const fs::path& f, const JobFile&) {
             fs::rename(f / "a.txt", f / "b.txt");
             fs::create_symlink("b.txt", f / "a.txt");
         }},
        {"replaced by another file",
         [](const fs::path& f, const JobFile&) {
             WriteFile(f / "c.txt", kSjis + kSjis);
             fs::rename(f / "c.txt", f / "a.txt");
         }},
        {"grown",
         [](const fs::path& f, const JobFile&) { WriteFile(f / "a.txt", kSjis + kSjis + "x"); }},
        {"another code, same size and time",
         [](const fs::path& f, const JobFile& file) {
             WriteFile(f / "a.txt", kEuc + kEuc);
             const struct timespec times[2] = {
                 {0, UTIME_OMIT},
                 {file.identity.modifiedSeconds, file.identity.modifiedNanoseconds}};
             ASSERT_EQ(::utimensat(AT_FDCWD, (f / "a.txt").c_str(), times, 0), 0);
         }},
        {"its folder swapped",
         [](const fs::path& f, const JobFile&) {
             fs::rename(f, f.string() + ".old");
             fs::create_directory(f);
             fs::create_hard_link(f.string() + ".old/a.txt", f / "a.txt");  // the same file
         }},
    };
    for (const Row& row : rows) {
        TempDir dir;
        const fs::path folder = dir / "f";
        fs::create_directory(folder);
        WriteFile(folder / "a.txt", kSjis + kSjis);
        const JobFile file = RegisterFile("a.txt", fs::canonical(folder / "a.txt"));
        ASSERT_EQ(file.code, CODE_SJIS);
        if (row.change != nullptr) row.change(folder, file);
        const std::string before = ReadFile(folder / "a.txt");
        JobSettings settings;
        settings.targetCode = CODE_UTF8;
        JobRunner runner;
        ASSERT_TRUE(runner.Start({file}, settings));
        runner.Wait();
        if (row.change == nullptr) {
            EXPECT_EQ(runner.Outcome(), JobOutcome::Done) << runner.Report().failure;
            continue;
        }
        EXPECT_EQ(runner.Report().failure, CHANGED_SINCE_REGISTERED) << row.what;
        EXPECT_EQ(ReadFile(folder / "a.txt"), before) << row.what;
    }
}

}  // namespace
}  // namespace ruv
