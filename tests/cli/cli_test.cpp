// ruv-cli end to end: the program run as a user or a script runs it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "cli/cli_options.h"
#include "cli/code_names.h"
#include "cli/printable_name.h"
#include "cli/progress_bar.h"
#include "platform/file_ops.h"
#include "support/data_rows.h"
#include "support/temp_dir.h"

namespace ruv::test {
namespace {

namespace fs = std::filesystem;

struct Result {
    int status;
    std::string out, err;
};

// Every "{d}" in text replaced by the folder.
std::string InFolder(std::string text, const TempDir& dir) {
    for (std::size_t at; (at = text.find("{d}")) != std::string::npos;) text.replace(at, 3, dir.Path().string());
    return text;
}

// Runs ruv-cli through the shell behind the prefix (such as a command that
// changes the user), the arguments in the folder.
Result RunCli(const TempDir& dir, const std::string& args, const std::string& input = "",
              const std::string& prefix = "") {
    const TempDir io;
    WriteFile(io / "in", input);
    const std::string command = prefix + RUV_CLI_PATH + " " + InFolder(args, dir) + " <" + (io / "in").string() + " >" +
                                (io / "out").string() + " 2>" + (io / "err").string();
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(io / "out"), ReadFile(io / "err")};
}

TEST(Cli, OptionsCodeNamesAndPrintedNames) {
    for (const DataRow& row : DataRows("cli_words.tsv")) {
        const std::string in = Unescape(row.at(1)), expected = Unescape(row.at(2));
        if (row[0] == "code") {
            EXPECT_EQ(CodeFromName(in), std::stoi(expected, nullptr, 0)) << in;
        } else if (row[0] == "printed") {
            EXPECT_EQ(PrintableName(in), expected) << row[1];
        } else {
            std::vector<std::string> args{"ruv-cli"};
            std::istringstream words(row.at(2));
            for (std::string word; words >> word;) args.push_back(word);
            std::vector<const char*> argv;
            for (const std::string& arg : args) argv.push_back(arg.c_str());
            CliOptions options;
            std::ostringstream out, err;
            const std::optional<int> status =
                ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options, out, err);
            EXPECT_EQ(status ? std::to_string(*status) : "-", row[1]) << row[2] << ": " << err.str();
        }
    }
}

TEST(Cli, ProgressBarStartsAtZeroAndEscapesTheName) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    std::FILE* terminal = std::fopen(::ptsname(master), "w");
    ASSERT_NE(terminal, nullptr);
    ProgressBar(terminal).Show(0, 0, "e\x1B]0;x\x07.txt");  // before the worker has measured the files
    std::fclose(terminal);
    char buffer[512];
    const ssize_t length = ::read(master, buffer, sizeof buffer);
    ::close(master);
    const std::string drawn(buffer, std::max<ssize_t>(length, 0));
    EXPECT_NE(drawn.find("]   0% e\\033]0;x\\a.txt"), std::string::npos) << drawn;
    EXPECT_EQ(drawn.find("\x1B]"), std::string::npos) << drawn;
}

TEST(Cli, ExitStatusesAndMessages) {
    const std::string sjis = "\x82\xA0\n", jis = "\x1B$B$\"\x1B(B\n", euc = "\xA4\xA2\n";
    for (const DataRow& row : DataRows("cli_runs.tsv")) {
        TempDir dir;
        for (const char* name : {"1.txt", "old.bak"}) WriteFile(dir / name, sjis);
        WriteFile(dir / "3.txt", jis);
        for (const char* name : {"2.txt", "e\x1B]0;x\x07\x1B[2J"}) WriteFile(dir / name, "\x82\xA0\xA4\xA2\n");
        WriteFile(dir / "bin", std::string("\0\0", 2));
        fs::create_directories(dir / "1.txt.bak" / "inside");
        fs::create_directory(dir / "sub");
        WriteFile(dir / "sub" / "deep.txt", sjis);
        const Result result = RunCli(dir, row.at(0), Unescape(row.at(1)));
        const std::string err = InFolder(Unescape(row.at(3)), dir), out = InFolder(Unescape(row.at(4)), dir);
        EXPECT_EQ(std::to_string(result.status), row.at(2)) << row[0] << ": " << result.err;
        EXPECT_NE(result.err.find(err), std::string::npos) << row[0] << ": " << result.err;
        EXPECT_EQ(result.out, out) << row[0];
        EXPECT_EQ(result.err.find('\x1B'), std::string::npos) << row[0];
        EXPECT_EQ(ReadFile(dir / "1.txt"), row.at(5).find('1') != std::string::npos ? euc : sjis) << row[0];
        EXPECT_EQ(ReadFile(dir / "3.txt"), row[5].find('3') != std::string::npos ? euc : jis) << row[0];
        EXPECT_EQ(ReadFile(dir / "old.bak") + ReadFile(dir / "sub" / "deep.txt"), sjis + sjis) << row[0];
        for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
            EXPECT_EQ(entry.path().string().find(OWN_FILE_SUFFIX), std::string::npos) << row[0];
        }
    }
}

TEST(Cli, PathsThatCannotBeReadAreNamedWithTheReason) {
    TempDir dir;
    for (const char* name : {"a.txt", "locked.txt"}) WriteFile(dir / name, "\x82\xA0\n");
    fs::create_directory(dir / "locked");
    fs::permissions(dir / "locked.txt", fs::perms::none);
    fs::permissions(dir / "locked", fs::perms::none);
    std::string prefix;
    if (::geteuid() == 0) {  // root reads everything: run as a user who owns only the folder
        for (const char* name : {"", "a.txt", "locked.txt", "locked"}) ASSERT_EQ(::chown((dir / name).c_str(), 65534, 65534), 0);
        prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    const Result result = RunCli(dir, "--to euc {d}/locked.txt {d}/locked {d}/a.txt", "", prefix);
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(ReadFile(dir / "a.txt"), "\xA4\xA2\n") << result.err;
    for (const char* name : {"/locked.txt: cannot be read: Permission denied", "/locked: cannot be read: Permission denied"}) {
        EXPECT_NE(result.err.find(dir.Path().string() + name), std::string::npos) << result.err;
    }
}

// Starts ruv-cli with the arguments, its standard error into the file, and
// interrupts it when underWay() holds; the exit status, -1 for a signal.
template <typename UnderWay>
int Interrupt(std::vector<std::string> args, const fs::path& errors, UnderWay underWay) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::freopen(errors.c_str(), "w", stderr);
        std::vector<char*> argv{const_cast<char*>("ruv-cli")};
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(RUV_CLI_PATH, argv.data());
        _exit(127);
    }
    underWay(child);
    ::kill(child, SIGINT);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Cli, CtrlCLeavesTheFileUnderWayAsItWasAndSaysSo) {
    TempDir dir;
    std::string big;
    while (big.size() < 60 * 1024 * 1024) big += "\x93\xFA\x96\x7B\x8C\xEA\r\n";  // 日本語
    const fs::path path = dir / "big.txt";
    WriteFile(path, big);
    // Once the conversion is under way the child holds its temporary file, which has no name yet.
    // (Only a file in this folder counts: a sanitizer's runtime holds unnamed files of its own.)
    const int status = Interrupt({"--to", "utf8", path.string()}, dir / "stderr", [&](pid_t child) {
        const auto underWay = [&] {
            std::error_code error;
            for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(child) + "/fd", error)) {
                const std::string target = fs::read_symlink(fd, error).string();
                if (target.starts_with(dir.Path().string()) && target.ends_with("(deleted)")) return true;
            }
            return false;
        };
        for (int i = 0; i < 5000 && !underWay(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    if (status == 0) GTEST_SKIP() << "the conversion ended before the interrupt";
    EXPECT_EQ(status, 130);
    EXPECT_EQ(ReadFile(dir / "stderr"), "ruv-cli: interrupted: 0 of 1 file converted; " + path.string() +
                                            " was under way and was left as it was\n");
    EXPECT_TRUE(ReadFile(path) == big);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 2) << "nothing beside it but stderr";
}

// An interrupt that comes as the last file is being finished must not report
// work left undone: the status says whether files were left.
TEST(Cli, AnInterruptNearTheEndTellsWhetherFilesWereLeft) {
    for (int attempt = 0; attempt < 12; ++attempt) {
        TempDir dir;
        std::vector<std::string> args{"--to", "euc", "1", "2", "3", "4", "5"};
        for (std::size_t i = 2; i < args.size(); ++i) WriteFile(args[i] = dir / args[i], "\x82\xA0\n");
        const int status = Interrupt(args, dir / "stderr", [&](pid_t) {
            std::this_thread::sleep_for(std::chrono::microseconds(1000 + 500 * attempt));
        });
        int converted = 0;
        for (std::size_t i = 2; i < args.size(); ++i)
            converted += ReadFile(args[i]) == "\xA4\xA2\n";
        if (status == -1) {  // the signal came before ruv-cli caught it
            EXPECT_EQ(converted, 0);
        } else {
            EXPECT_EQ(status, converted == 5 ? 0 : 130) << attempt << ": " << ReadFile(dir / "stderr");
        }
    }
}

}  // namespace
}  // namespace ruv::test
