// ruv-cli end to end: the program run as a user or a script runs it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "cli/cli_options.h"
#include "support/temp_dir.h"

namespace ruv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct Result {
    int status;
    std::string out;
    std::string err;
};

// Runs ruv-cli with the arguments (and standard input) through the shell.
Result RunCli(const TempDir& dir, const std::string& arguments, const std::string& input = "") {
    WriteFile(dir / "stdin", input);
    const std::string command = std::string(RUV_CLI_PATH) + " " + arguments + " <" +
                                (dir / "stdin").string() + " >" + (dir / "stdout").string() +
                                " 2>" + (dir / "stderr").string();
    const int status = std::system(command.c_str());
    Result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir / "stdout"),
                  ReadFile(dir / "stderr")};
    fs::remove(dir / "stdin");
    fs::remove(dir / "stdout");
    fs::remove(dir / "stderr");
    return result;
}

TEST(CliOptions, UsageErrorsExitWithTwo) {
    struct Row {
        std::vector<const char*> args;
        std::optional<int> status;
    };
    const Row rows[] = {
        {{"--to", "utf8", "a"}, std::nullopt},
        {{"--to", "UTF8", "--from", "sjis", "--newline", "lf", "--fold-kana", "--backup", "a"}, std::nullopt},
        {{"--detect", "a", "b"}, std::nullopt},
        {{"--to", "utf8", "-"}, std::nullopt},
        {{"--help"}, 0},
        {{"a"}, 2},                                  // no --to
        {{"--to", "latin1", "a"}, 2},                // unknown code
        {{"--to", "utf8"}, 2},                       // no path
        {{"--detect", "--to", "utf8", "a"}, 2},      // nothing is converted while detecting
        {{"--to", "utf8", "--newline", "crcr", "a"}, 2},
        {{"--to", "utf8", "-", "a"}, 2},             // standard input goes alone
        {{"--to", "utf8", "--backup", "-"}, 2},
    };
    for (const Row& row : rows) {
        std::vector<const char*> argv{"ruv-cli"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        CliOptions options;
        std::ostringstream out, err;
        EXPECT_EQ(ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options, out, err),
                  row.status)
            << row.args.size() << " arguments, first " << row.args.front() << ": " << err.str();
    }
}

TEST(CliOptions, ReadsCodesAndNewlines) {
    const char* argv[] = {"ruv-cli", "--to", "Unicode", "--from", "euc", "--newline", "cr", "x"};
    CliOptions options;
    std::ostringstream out, err;
    ASSERT_FALSE(ParseCommandLine(8, argv, options, out, err).has_value());
    EXPECT_EQ(options.target, CODE_UNICODE);
    EXPECT_EQ(options.source, CODE_EUC);
    EXPECT_EQ(options.newline, 1);
    EXPECT_EQ(options.paths, std::vector<std::string>{"x"});
}

TEST(Cli, DetectPrintsTheLabelAndThePath) {
    TempDir dir;
    WriteFile(dir / "sjis.txt", "\x82\xA0\x82\xA2\x82\xA4\r\n");  // あいう
    WriteFile(dir / "bin", std::string("\0\0", 2));
    const Result result = RunCli(dir, "--detect " + (dir / "sjis.txt").string() + " " +
                                          (dir / "bin").string() + " " + (dir / "gone").string());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Shift-JIS\t" + (dir / "sjis.txt").string() + "\nbinary\t" +
                              (dir / "bin").string() + "\nerror\t" + (dir / "gone").string() + "\n");
}

TEST(Cli, ConvertsAFolderOfMixedCodes) {
    TempDir dir;
    const fs::path folder = dir / "texts";
    fs::create_directories(folder / "sub");
    WriteFile(folder / "euc.txt", "\xA4\xA2\xA4\xA4\n");          // あい
    WriteFile(folder / "jis.txt", "\x1B$B$\"$$\x1B(B\n");           // あい
    WriteFile(folder / "sjis.txt", "\x82\xA0\x82\xA2\n");         // あい
    WriteFile(folder / "utf16.txt", std::string("\xFF\xFE\x42\x30\x44\x30\n\0", 8));
    WriteFile(folder / "image.bin", std::string("GIF\0\0\0", 6));
    WriteFile(folder / "old.bak", "\x82\xA0\n");                 // never registered from a folder
    WriteFile(folder / "sub" / "deep.txt", "\x82\xA0\n");         // folders are not entered
    const Result result = RunCli(dir, "--to utf8 --newline lf " + folder.string());
    EXPECT_EQ(result.status, 0) << result.err;
    for (const char* name : {"euc.txt", "jis.txt", "sjis.txt", "utf16.txt"}) {
        EXPECT_EQ(ReadFile(folder / name), "\xE3\x81\x82\xE3\x81\x84\n") << name;
    }
    EXPECT_NE(result.err.find("skipped " + (folder / "image.bin").string()), std::string::npos)
        << result.err;
    EXPECT_EQ(ReadFile(folder / "old.bak"), "\x82\xA0\n");
    EXPECT_EQ(ReadFile(folder / "sub" / "deep.txt"), "\x82\xA0\n");
}

TEST(Cli, AFailedFileStopsTheRunWithStatusOne) {
    TempDir dir;
    WriteFile(dir / "1.txt", "\x82\xA0\n");
    WriteFile(dir / "2.txt", "\x82\xA0\xA4\xA2\n");  // as much Shift_JIS as EUC-JP: undecided
    WriteFile(dir / "3.txt", "\x82\xA0\n");
    const Result result = RunCli(dir, "--to euc " + (dir / "1.txt").string() + " " +
                                          (dir / "2.txt").string() + " " + (dir / "3.txt").string());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find((dir / "2.txt").string()), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("--from"), std::string::npos) << "says how to go on";
    EXPECT_EQ(ReadFile(dir / "1.txt"), "\xA4\xA2\r\n");
    EXPECT_EQ(ReadFile(dir / "3.txt"), "\x82\xA0\n");
    // Named explicitly, the code converts.
    EXPECT_EQ(RunCli(dir, "--from sjis --to euc " + (dir / "2.txt").string()).status, 0);
}

TEST(Cli, StandardInputToStandardOutput) {
    TempDir dir;
    const Result wide = RunCli(dir, "--to unicode -", "abc\n");
    EXPECT_EQ(wide.status, 0) << wide.err;
    EXPECT_EQ(wide.out, std::string("\xFF\xFE" "a\0b\0c\0\r\0\n\0", 12));
    const Result sjis = RunCli(dir, "--to sjis --newline lf -", "\xEF\xBB\xBF\xE3\x81\x82\r\n");
    EXPECT_EQ(sjis.out, "\x82\xA0\n") << "detected as UTF-8, its mark dropped";
    EXPECT_EQ(RunCli(dir, "--to sjis -", std::string("a\0\0\0", 4)).status, 1) << "binary input";
}

TEST(Cli, CtrlCLeavesTheFileUnderWayAsItWas) {
    TempDir dir;
    std::string big;
    while (big.size() < 60 * 1024 * 1024) big += "\x93\xFA\x96\x7B\x8C\xEA\r\n";  // 日本語
    const fs::path path = dir / "big.txt";
    WriteFile(path, big);
    const pid_t child = ::fork();
    if (child == 0) {
        ::freopen("/dev/null", "w", stderr);
        ::execl(RUV_CLI_PATH, "ruv-cli", "--to", "utf8", path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Interrupt once the conversion is under way: the child holds its
    // temporary file, which has no name yet.
    const auto underWay = [&] {
        std::error_code error;
        for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(child) + "/fd", error)) {
            if (fs::read_symlink(fd, error).string().find("(deleted)") != std::string::npos) return true;
        }
        return false;
    };
    for (int i = 0; i < 5000 && !underWay(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(child, SIGINT);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 0) GTEST_SKIP() << "the conversion ended before the interrupt";
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_TRUE(ReadFile(path) == big);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1) << "nothing left beside it";
}

}  // namespace
}  // namespace ruv
