// ruv-cli end to end: the program run as a user or a script runs it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <set>
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

// Every "{d}" in text replaced by the folder, every "{cli}" by ruv-cli.
std::string InFolder(std::string text, const TempDir& dir) {
    for (std::size_t at; (at = text.find("{d}")) != std::string::npos;)
        text.replace(at, 3, dir.Path().string());
    for (std::size_t at; (at = text.find("{cli}")) != std::string::npos;)
        text.replace(at, 5, RUV_CLI_PATH);
    return text;
}

// Every entry below the folder with its inode and its modification and change times.
std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        struct stat st {};
        ::lstat(entry.path().c_str(), &st);
        entries.insert(entry.path().string() + " " + std::to_string(st.st_ino) + " " +
                       std::to_string(st.st_mtim.tv_nsec) + " " +
                       std::to_string(st.st_mtim.tv_sec) + " " +
                       std::to_string(st.st_ctim.tv_nsec));
    }
    return entries;
}

// Runs the command line through the shell, "{d}" and "{cli}" in it standing for
// the folder and ruv-cli, with the input on its standard input.
Result Shell(const TempDir& dir, const std::string& command, const std::string& input = "") {
    const TempDir io;
    WriteFile(io / "in", input);
    const int status = std::system((InFolder(command, dir) + " <" + (io / "in").string() + " >" +
                                    (io / "out").string() + " 2>" + (io / "err").string())
                                       .c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(io / "out"),
            ReadFile(io / "err")};
}

TEST(Cli, OptionsCodeNamesAndPrintedNames) {
    const TempDir dir;
    for (const DataRow& row : DataRows("cli_words.tsv")) {
        const std::string in = Unescape(row.at(1)), expected = Unescape(row.at(2));
        if (row[0] == "code") {
            EXPECT_EQ(CodeFromName(in), std::stoi(expected, nullptr, 0)) << in;
        } else if (row[0] == "printed") {
            EXPECT_EQ(PrintableName(in), expected) << row[1];
        } else if (row[0] == "complete") {
            const Result result = Shell(
                dir,
                "bash -c 'source " RUV_SOURCE_DIR "/cli/ruv-cli.bash; COMP_WORDS=({cli} " + in +
                    "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _ruv_cli; echo ${COMPREPLY[*]}'");
            EXPECT_EQ(result.out, expected + "\n") << in << ": " << result.err;
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
            EXPECT_EQ(status ? std::to_string(*status) : "-", row[1])
                << row[2] << ": " << err.str();
        }
    }
}

TEST(Cli, ProgressBarStartsAtZeroAndEscapesTheName) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    std::FILE* terminal = std::fopen(::ptsname(master), "w");
    ASSERT_NE(terminal, nullptr);
    ProgressBar(terminal).Show(0, 0,
                               "e\x1B]0;x\x07.txt");  // before the worker has measured the files
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
        for (const char* name : {"2.txt", "e\x1B]0;x\x07\x1B[2J"})
            WriteFile(dir / name, "\x82\xA0\xA1\xFE\n");
        WriteFile(dir / "bin", std::string("\0\0", 2));
        fs::create_directories(dir / "1.txt.bak" / "inside");
        for (const char* name : {"sub/deep.txt", "sub/n\nl\xFF.txt", ".git/x.txt"})
            WriteFile(dir / name, sjis);
        fs::create_directory_symlink("..", dir / "sub" / "loop");
        fs::create_symlink("../1.txt", dir / "sub" / "1.txt");
        const std::set<std::string> before = Listing(dir.Path());
        const Result result = Shell(dir, "{cli} " + row.at(0), Unescape(row.at(1)));
        if (row[0].starts_with("-n") || row[0].starts_with("--check")) {
            EXPECT_EQ(Listing(dir.Path()), before) << row[0];
        }
        const std::string err = InFolder(Unescape(row.at(3)), dir),
                          out = InFolder(Unescape(row.at(4)), dir);
        EXPECT_EQ(std::to_string(result.status), row.at(2)) << row[0] << ": " << result.err;
        EXPECT_NE(result.err.find(err), std::string::npos) << row[0] << ": " << result.err;
        EXPECT_EQ(result.out, out) << row[0];
        EXPECT_EQ(result.err.find('\x1B'), std::string::npos) << row[0];
        EXPECT_EQ(ReadFile(dir / "1.txt"), row.at(5).find('1') != std::string::npos ? euc : sjis)
            << row[0];
        EXPECT_EQ(ReadFile(dir / "3.txt"), row[5].find('3') != std::string::npos ? euc : jis)
            << row[0];
        EXPECT_EQ(ReadFile(dir / "sub/deep.txt"),
                  row[5].find('d') != std::string::npos ? euc : sjis)
            << row[0];
        EXPECT_EQ(ReadFile(dir / "old.bak") + ReadFile(dir / ".git/x.txt"), sjis + sjis) << row[0];
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
        for (const char* name : {"", "a.txt", "locked.txt", "locked"})
            ASSERT_EQ(::chown((dir / name).c_str(), 65534, 65534), 0);
        prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    const Result result = Shell(dir, prefix + "{cli} --to euc -r {d}");
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(ReadFile(dir / "a.txt"), "\xA4\xA2\n") << result.err;
    for (const char* name : {"/locked.txt: cannot be read: Permission denied",
                             "/locked: cannot be read: Permission denied"}) {
        EXPECT_NE(result.err.find(dir.Path().string() + name), std::string::npos) << result.err;
    }
}

// Starts ruv-cli with the arguments, its standard error into the file, lets
// during(child) act on it, and waits; the exit status, -1 for a signal.
template <typename During>
int RunDuring(std::vector<std::string> args, const fs::path& errors, During during) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::freopen(errors.c_str(), "w", stderr);
        std::vector<char*> argv{const_cast<char*>("ruv-cli")};
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(RUV_CLI_PATH, argv.data());
        _exit(127);
    }
    during(child);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits (5 s at most) until the child holds an unnamed temporary file in the folder (files
// elsewhere do not count: a sanitizer's runtime holds unnamed files of its own), or one
// whose path ends as asked, read past `past` bytes (so that a look at its head while it
// was registered does not count); false when it never did.
bool WaitUntilConverting(pid_t child, const fs::path& dir, const std::string& end = "(deleted)",
                         std::size_t past = 0) {
    const std::string proc = "/proc/" + std::to_string(child);
    const auto underWay = [&] {
        std::error_code error;
        for (const auto& fd : fs::directory_iterator(proc + "/fd", error)) {
            const std::string target = fs::read_symlink(fd, error).string();
            if (!target.starts_with(dir.string()) || !target.ends_with(end)) continue;
            std::ifstream info(proc + "/fdinfo/" + fd.path().filename().string());
            std::string field;
            std::size_t position = 0;
            info >> field >> position;  // "pos: N"
            if (position >= past) return true;
        }
        return false;
    };
    for (int i = 0; i < 5000 && !underWay(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return underWay();
}

std::string Big(std::size_t megabytes) {
    std::string big;
    while (big.size() < megabytes * 1024 * 1024) big += "\x93\xFA\x96\x7B\x8C\xEA\r\n";  // 日本語
    return big;
}

// A dry run stops after the file under way; a conversion leaves that file as it was.
TEST(Cli, CtrlCStopsADryRunAfterTheFileUnderWayAndLeavesThatFileAsItWas) {
    TempDir dir;
    const std::string big = Big(60);
    const fs::path path = dir / "a.txt";
    WriteFile(path, big);
    WriteFile(dir / "b.txt", "\x82\xA0\n");
    bool underWay = false;
    int status = RunDuring({"-n", "--to", "utf8", "-r", dir.Path().string()}, dir / ".err",
                           [&](pid_t child) {
                               underWay = WaitUntilConverting(child, dir.Path(), "a.txt", 1 << 20);
                               ::kill(child, SIGINT);
                           });
    if (underWay) {
        EXPECT_EQ(status, 130);
        EXPECT_EQ(ReadFile(dir / ".err"),
                  "ruv-cli: interrupted after 1 of 2 files; nothing was written\n");
    }
    status = RunDuring({"--to", "utf8", path.string()}, dir / ".err", [&](pid_t child) {
        WaitUntilConverting(child, dir.Path());
        ::kill(child, SIGINT);
    });
    if (status == 0) GTEST_SKIP() << "the conversion ended before the interrupt";
    EXPECT_EQ(status, 130);
    EXPECT_EQ(ReadFile(dir / ".err"), "ruv-cli: interrupted: 0 of 1 file converted; " +
                                          path.string() +
                                          " was under way and was left as it was\n");
    EXPECT_TRUE(ReadFile(path) == big);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 3)
        << "nothing beside it but .err";
}

// A file removed after the walk listed it fails when its turn comes, and the
// run stops there: later files stay as they were.
TEST(Cli, AFileThatVanishesAfterTheListingIsNamedAndStopsTheRun) {
    TempDir dir;
    WriteFile(dir / "a-big.txt", Big(30));
    for (const char* name : {"b-gone.txt", "c-later.txt"}) WriteFile(dir / name, "\x82\xA0\n");
    const int status = RunDuring({"--to", "euc", "-j", "1", "-r", dir.Path().string()},
                                 dir / ".stderr", [&](pid_t child) {
                                     WaitUntilConverting(child, dir.Path());
                                     fs::remove(dir / "b-gone.txt");
                                 });
    if (status == 0) GTEST_SKIP() << "the conversion ended before the file was removed";
    EXPECT_EQ(status, 1);
    EXPECT_NE(ReadFile(dir / ".stderr").find("/b-gone.txt: cannot open: No such file"),
              std::string::npos)
        << ReadFile(dir / ".stderr");
    EXPECT_EQ(ReadFile(dir / "c-later.txt"), "\x82\xA0\n");
}

// An interrupt that comes as the last file is being finished must not report
// work left undone: the status says whether files were left.
TEST(Cli, AnInterruptNearTheEndTellsWhetherFilesWereLeft) {
    for (int attempt = 0; attempt < 12; ++attempt) {
        TempDir dir;
        std::vector<std::string> args{"--to", "euc", "1", "2", "3", "4", "5"};
        for (std::size_t i = 2; i < args.size(); ++i)
            WriteFile(args[i] = dir / args[i], "\x82\xA0\n");
        const int status = RunDuring(args, dir / "stderr", [&](pid_t child) {
            std::this_thread::sleep_for(std::chrono::microseconds(1000 + 500 * attempt));
            ::kill(child, SIGINT);
        });
        int converted = 0;
        for (std::size_t i = 2; i < args.size(); ++i)
            converted += ReadFile(args[i]) == "\xA4\xA2\n";
        if (status == -1) {  // the signal came before ruv-cli caught it
            EXPECT_EQ(converted, 0);
        } else {
            EXPECT_EQ(status, converted == 5 ? 0 : 130)
                << attempt << ": " << ReadFile(dir / "stderr");
        }
    }
}

}  // namespace
}  // namespace ruv::test
