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

// Runs ruv-cli with the arguments (and standard input) through the shell,
// behind the prefix (such as a command that changes the user).
Result RunCli(const std::string& arguments, const std::string& input = "",
              const std::string& prefix = "") {
    const TempDir io;
    WriteFile(io / "stdin", input);
    const std::string command = prefix + RUV_CLI_PATH + " " + arguments + " <" +
                                (io / "stdin").string() + " >" + (io / "stdout").string() +
                                " 2>" + (io / "stderr").string();
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(io / "stdout"),
            ReadFile(io / "stderr")};
}

// Every "{d}" in text replaced by the folder.
std::string InFolder(std::string text, const TempDir& dir) {
    for (std::size_t at; (at = text.find("{d}")) != std::string::npos;) {
        text.replace(at, 3, dir.Path().string());
    }
    return text;
}

TEST(CliOptions, ExitsAtOnceOnlyForHelpAndBadUsage) {
    struct Row {
        std::vector<const char*> args;
        std::optional<int> status;
    };
    const Row rows[] = {
        {{"--to", "utf8", "a"}, std::nullopt},
        {{"--to", "UTF8", "--from", "sjis", "--newline", "lf", "--fold-kana", "--backup", "-k", "a"}, std::nullopt},
        {{"--detect", "a", "b"}, std::nullopt},
        {{"--to", "utf8", "-"}, std::nullopt},
        {{"--detect", "-"}, std::nullopt},
        {{"--help"}, 0},
        {{"a"}, 2},                                  // no --to
        {{"--to", "latin1", "a"}, 2},                // unknown code
        {{"--to", "utf8"}, 2},                       // no path
        {{"--detect", "--to", "utf8", "a"}, 2},      // nothing is converted while detecting
        {{"--detect", "-k", "a"}, 2},
        {{"--to", "utf8", "--newline", "crcr", "a"}, 2},
        {{"--to", "utf8", "-", "a"}, 2},             // standard input goes alone
        {{"--detect", "-", "a"}, 2},
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

TEST(CliOptions, CodeNames) {
    const std::pair<const char*, KanjiCode> rows[] = {
        {"jis", CODE_JIS},          {"ISO-2022-JP", CODE_JIS},   {"sjis", CODE_SJIS},
        {"Shift_JIS", CODE_SJIS},   {"CP932", CODE_SJIS},        {"ms932", CODE_SJIS},
        {"euc", CODE_EUC},          {"EUC-JP", CODE_EUC},        {"eucjp", CODE_EUC},
        {"Unicode", CODE_UNICODE},  {"utf-16le", CODE_UNICODE},  {"UTF8", CODE_UTF8},
        {"utf-8", CODE_UTF8},       {"utf7", CODE_UTF7},         {"UTF-7", CODE_UTF7},
        {"utf-16", CODE_ERROR},     {"utf-8 ", CODE_ERROR},      {"", CODE_ERROR},
    };
    for (const auto& [name, code] : rows) EXPECT_EQ(CodeFromName(name), code) << name;
}

TEST(PrintableName, EscapesWhatATerminalWouldActOn) {
    const std::pair<std::string, std::string> rows[] = {
        {"日本語 ﾃｽﾄ.txt", "日本語 ﾃｽﾄ.txt"},
        {"a\\b", "a\\\\b"},
        {"\x1B]0;x\x07\x1B[2J", "\\033]0;x\\a\\033[2J"},
        {"\t\n\r\x01\x7F", "\\t\\n\\r\\001\\177"},
        {"\xC2\x9B\xC2\x80\xC2\xA0", "\\302\\233\\302\\200\xC2\xA0"},  // C1 escaped, NBSP kept
        {"\xFF" "a\xE3\x81", "\\377a\\343\\201"},                     // stray and cut
        {"\xC0\xAF\xED\xA0\x80", "\\300\\257\\355\\240\\200"},         // overlong, surrogate
        {"\xF4\x90\x80\x80\xF0\x9F\x98\x80", "\\364\\220\\200\\200\xF0\x9F\x98\x80"},
    };
    for (const auto& [name, printed] : rows) EXPECT_EQ(PrintableName(name), printed) << printed;
}

TEST(ProgressBar, StartsAtZeroAndEscapesTheName) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    std::FILE* terminal = std::fopen(::ptsname(master), "w");
    ASSERT_NE(terminal, nullptr);
    {
        ProgressBar bar(terminal);
        bar.Show(0, 0, "e\x1B]0;x\x07.txt");  // before the worker has measured the files
    }
    std::fclose(terminal);
    char buffer[512];
    const ssize_t length = ::read(master, buffer, sizeof buffer);
    ::close(master);
    const std::string drawn(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
    EXPECT_NE(drawn.find("]   0% e\\033]0;x\\a.txt"), std::string::npos) << drawn;
    EXPECT_EQ(drawn.find("\x1B]"), std::string::npos) << drawn;
}

// Each row runs in a fresh folder holding 1.txt (Shift_JIS), 3.txt (JIS), 2.txt
// (as much Shift_JIS as EUC-JP: undecided), bin (binary), a file whose name
// carries terminal controls (undecided too), a folder where 1.txt's backup
// would go, and files a folder never gives (old.bak, sub/deep.txt).
// `converted` names which of 1.txt and 3.txt must be EUC-JP after.
TEST(Cli, ExitStatusesAndMessages) {
    struct Row {
        const char* args;
        std::string input;
        int status;
        const char* err;  // a fragment of standard error
        std::string out;  // all of standard output, "{d}" for the folder
        const char* converted;
    };
    const Row rows[] = {
        {"--detect {d}/1.txt {d}/bin {d}/gone", "", 1, "gone: No such file or directory",
         "Shift-JIS\t{d}/1.txt\nbinary\t{d}/bin\nerror\t{d}/gone\n", ""},
        {"--detect {d}/e*", "", 0, "", "不明\t{d}/e\\033]0;x\\a\\033[2J\n", ""},
        {"--detect -", "\x82\xA0\x82\xA2\n", 0, "", "Shift-JIS\t-\n", ""},
        {"--to euc {d}/1.txt {d}/gone {d}/3.txt", "", 1, "gone: cannot be read: No such file", "", "13"},
        {"--to euc {d}/bin {d}/1.txt", "", 0, "skipped {d}/bin: not text", "", "1"},
        {"--to euc {d}/e*", "", 1, "{d}/e\\033]0;x\\a\\033[2J: ", "", ""},
        {"--to euc {d}/1.txt {d}/2.txt {d}/3.txt", "", 1, "2.txt: ", "", "1"},
        {"--to euc -k {d}/1.txt {d}/2.txt {d}/3.txt", "", 1, "1 file failed, 2 files converted", "", "13"},
        {"--to euc -k {d}", "", 1, "2 files failed, 2 files converted", "", "13"},
        {"--from sjis --to euc {d}/2.txt", "", 0, "", "", ""},
        // 1.txt fails when it takes its place, after 3.txt was converted in the same group.
        {"--to euc --backup {d}/1.txt {d}/3.txt", "", 1, "stopped;", "", ""},
        {"--to euc --backup -k {d}/1.txt {d}/3.txt", "", 1, "1.txt: ", "", "3"},
        {"--to unicode -", "abc\n", 0, "", std::string("\xFF\xFE" "a\0b\0c\0\r\0\n\0", 12), ""},
        {"--to sjis --newline lf -", "\xEF\xBB\xBF\xE3\x81\x82\r\n", 0, "", "\x82\xA0\n", ""},
        {"--to sjis -", std::string("a\0\0\0", 4), 1, "not text", "", ""},
    };
    const std::string sjis = "\x82\xA0\n", jis = "\x1B$B$\"\x1B(B\n", euc = "\xA4\xA2\r\n";
    for (const Row& row : rows) {
        TempDir dir;
        WriteFile(dir / "1.txt", sjis);
        WriteFile(dir / "2.txt", "\x82\xA0\xA4\xA2\n");
        WriteFile(dir / "3.txt", jis);
        WriteFile(dir / "old.bak", sjis);
        fs::create_directory(dir / "sub");
        WriteFile(dir / "sub" / "deep.txt", sjis);
        WriteFile(dir / "bin", std::string("\0\0", 2));
        WriteFile(dir / "e\x1B]0;x\x07\x1B[2J", "\x82\xA0\xA4\xA2\n");
        fs::create_directories(dir / "1.txt.bak" / "inside");
        const Result result = RunCli(InFolder(row.args, dir), row.input);
        EXPECT_EQ(result.status, row.status) << row.args << ": " << result.err;
        EXPECT_NE(result.err.find(InFolder(row.err, dir)), std::string::npos) << row.args << ": " << result.err;
        EXPECT_EQ(result.out, InFolder(row.out, dir)) << row.args;
        EXPECT_EQ(result.err.find('\x1B'), std::string::npos) << row.args;
        const std::string converted = row.converted;
        EXPECT_EQ(ReadFile(dir / "1.txt"), converted.find('1') != std::string::npos ? euc : sjis) << row.args;
        EXPECT_EQ(ReadFile(dir / "3.txt"), converted.find('3') != std::string::npos ? euc : jis) << row.args;
        EXPECT_EQ(ReadFile(dir / "old.bak") + ReadFile(dir / "sub" / "deep.txt"), sjis + sjis) << row.args;
    }
}

TEST(Cli, PathsThatCannotBeReadAreNamedWithTheReason) {
    TempDir dir;
    WriteFile(dir / "a.txt", "\x82\xA0\n");
    WriteFile(dir / "locked.txt", "\x82\xA0\n");
    fs::create_directory(dir / "locked");
    fs::permissions(dir / "locked.txt", fs::perms::none);
    fs::permissions(dir / "locked", fs::perms::none);
    std::string prefix;
    if (::geteuid() == 0) {  // root reads everything: run as a user who owns only the folder
        constexpr uid_t kNobody = 65534;
        for (const char* name : {"", "a.txt", "locked.txt", "locked"}) {
            ASSERT_EQ(::chown((dir / name).c_str(), kNobody, kNobody), 0);
        }
        prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    const std::string args = InFolder("{d}/locked.txt {d}/locked {d}/a.txt", dir);
    const Result converted = RunCli("--to euc " + args, "", prefix);
    EXPECT_EQ(converted.status, 1) << converted.err;
    EXPECT_EQ(ReadFile(dir / "a.txt"), "\xA4\xA2\r\n") << converted.err;
    for (const char* name : {"/locked.txt: cannot be read: Permission denied",
                             "/locked: cannot be read: Permission denied"}) {
        EXPECT_NE(converted.err.find(dir.Path().string() + name), std::string::npos) << converted.err;
    }
}

// Starts ruv-cli with the arguments, its standard error into a file; returns
// its process id.
pid_t StartCli(std::vector<std::string> args, const fs::path& errors) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::freopen(errors.c_str(), "w", stderr);
        std::vector<char*> argv{const_cast<char*>("ruv-cli")};
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(RUV_CLI_PATH, argv.data());
        _exit(127);
    }
    return child;
}

// The exit status, or -1 when a signal ended the process.
int WaitForExit(pid_t child) {
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
    const pid_t child = StartCli({"--to", "utf8", path.string()}, dir / "stderr");
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
    const int status = WaitForExit(child);
    if (status == 0) GTEST_SKIP() << "the conversion ended before the interrupt";
    EXPECT_EQ(status, 130);
    EXPECT_EQ(ReadFile(dir / "stderr"),
              "ruv-cli: interrupted: 0 of 1 file converted; " + path.string() +
                  " was under way and was left as it was\n");
    EXPECT_TRUE(ReadFile(path) == big);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 2) << "nothing beside it but stderr";
}

// An interrupt that comes as the last file is being finished must not report
// work left undone: the status says whether files were left.
TEST(Cli, AnInterruptNearTheEndTellsWhetherFilesWereLeft) {
    for (int attempt = 0; attempt < 12; ++attempt) {
        TempDir dir;
        std::vector<std::string> args{"--to", "euc"};
        for (const char* name : {"1", "2", "3", "4", "5"}) {
            args.push_back((dir / name).string());
            WriteFile(args.back(), "\x82\xA0\n");
        }
        const pid_t child = StartCli(args, dir / "stderr");
        std::this_thread::sleep_for(std::chrono::microseconds(1000 + 500 * attempt));
        ::kill(child, SIGINT);
        const int status = WaitForExit(child);
        int converted = 0;
        for (std::size_t i = 2; i < args.size(); ++i) converted += ReadFile(args[i]) == "\xA4\xA2\r\n";
        if (status == -1) {  // the signal came before ruv-cli caught it
            EXPECT_EQ(converted, 0);
            continue;
        }
        EXPECT_EQ(status, converted == 5 ? 0 : 130) << attempt << ": " << ReadFile(dir / "stderr");
    }
}

}  // namespace
}  // namespace ruv
