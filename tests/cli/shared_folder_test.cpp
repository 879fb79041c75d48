// Another local user against ruv-cli in a folder both may write to: each row of
// tests/data/shared_folder.tsv sets a folder up, lets the other user (an unused
// uid, through setpriv) prepare the attack, runs ruv-cli as a real process and
// checks that the attack got nothing.  Runs only as root, where ruv is most
// dangerous and a second user needs no account.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "support/data_rows.h"
#include "support/temp_dir.h"

namespace ruv::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* OTHER_UID = "54321";
constexpr const char* SETPRIV = "/usr/bin/setpriv";

// Defined for every script of a row.
constexpr const char* PRELUDE = R"(
sjis() { printf '\223\372\226\173\214\352\r\n'; }
utf8() { printf '\346\227\245\346\234\254\350\252\236\r\n'; }
as_user() { setpriv --reuid=$U --regid=$U --clear-groups "$@"; }
OLD='a.txt.)ruv( a.txt.bak.)ruv('
)";

class SharedFolder : public testing::TestWithParam<DataRow> {};

// Runs a script in the folder, as root or as the other user ($U); its exit status.
int RunScript(const fs::path& base, const std::string& name, const std::string& script, bool asUser,
              const std::string& redirect = "") {
    const fs::path file = base / (name + ".sh");
    std::ofstream(file) << PRELUDE << "cd \"$D\" || exit 99\n" << script << '\n';
    const std::string command =
        std::string(asUser ? "setpriv --reuid=$U --regid=$U --clear-groups " : "") +
        "timeout 60 sh " + file.string() + redirect;
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_P(SharedFolder, TheOtherUserGetsNothing) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to play a second user";
    if (::access(SETPRIV, X_OK) != 0) GTEST_SKIP() << "needs setpriv (util-linux)";
    const DataRow& row = GetParam();            // the columns of the file
    char pattern[] = "/tmp/ruv-shared-XXXXXX";  // reachable by the other user
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path base = pattern;
    const std::pair<const char*, int> folders[] = {{"", 0755}, {"d", 01777}, {"k", 0700}};
    for (const auto& [name, mode] : folders) {
        fs::create_directories(base / name);
        fs::permissions(base / name, fs::perms(mode));
    }
    ::setenv("D", (base / "d").c_str(), 1);
    ::setenv("K", (base / "k").c_str(), 1);
    ::setenv("U", OTHER_UID, 1);

    ASSERT_EQ(RunScript(base, "setup", row.at(2), false), 0);
    ASSERT_EQ(RunScript(base, "attack", row.at(3), true), 0);
    const int status = RunScript(base, "ruv", std::string(RUV_CLI_PATH) + " " + row.at(4),
                                 row.at(1) == "user", " >" + (base / "err").string() + " 2>&1");
    const std::string said = ReadFile(base / "err");
    if (row.at(5) != "-") {
        EXPECT_EQ(std::to_string(status), row[5]) << said;
    }
    EXPECT_EQ(RunScript(base, "check", row.at(6), false), 0) << said;
    fs::remove_all(base);
}

INSTANTIATE_TEST_SUITE_P(Attacks, SharedFolder, testing::ValuesIn(DataRows("shared_folder.tsv")),
                         [](const auto& info) { return info.param.at(0); });

}  // namespace
}  // namespace ruv::test
