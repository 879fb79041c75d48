// Another local user against ruv-cli in a folder both may write to: each row of
// tests/data/shared_folder.tsv sets a folder up, lets the other user (an unused
// uid, through setpriv) prepare the attack, runs ruv-cli as a real process and
// checks that the attack got nothing.  Runs only as root, where ruv is most
// dangerous and a second user needs no account.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace ruv {
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

struct Row {
    std::string name, runner, setup, attack, arguments, status, check;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

std::vector<Row> ReadRows() {
    std::ifstream in(std::string(RUV_SOURCE_DIR) + "/tests/data/shared_folder.tsv");
    std::vector<Row> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Row row;
        for (std::string* field : {&row.name, &row.runner, &row.setup, &row.attack, &row.arguments,
                                   &row.status, &row.check}) {
            std::getline(fields, *field, '\t');
        }
        rows.push_back(row);
    }
    return rows;
}

class SharedFolder : public testing::TestWithParam<Row> {};

// Runs a script in the folder, as root or as the other user; its exit status.
int RunScript(const fs::path& base, const std::string& name, const std::string& script, bool asUser,
              const std::string& redirect = "") {
    const fs::path file = base / (name + ".sh");
    std::ofstream(file) << PRELUDE << "cd \"$D\" || exit 99\n" << script << '\n';
    const std::string command = (asUser ? std::string(SETPRIV) + " --reuid=" + OTHER_UID +
                                              " --regid=" + OTHER_UID + " --clear-groups "
                                        : std::string()) +
                                "timeout 60 sh " + file.string() + redirect;
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_P(SharedFolder, TheOtherUserGetsNothing) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to play a second user";
    if (::access(SETPRIV, X_OK) != 0) GTEST_SKIP() << "needs setpriv (util-linux)";
    const Row& row = GetParam();
    char pattern[] = "/tmp/ruv-shared-XXXXXX";  // reachable by the other user
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path base = pattern;
    const fs::path folder = base / "d";
    const fs::path kept = base / "k";
    fs::create_directory(folder);
    fs::create_directory(kept);
    fs::permissions(base, fs::perms(0755));
    fs::permissions(folder, fs::perms(01777));
    fs::permissions(kept, fs::perms(0700));
    ::setenv("D", folder.c_str(), 1);
    ::setenv("K", kept.c_str(), 1);
    ::setenv("U", OTHER_UID, 1);

    ASSERT_EQ(RunScript(base, "setup", row.setup, false), 0) << row.name;
    ASSERT_EQ(RunScript(base, "attack", row.attack, true), 0) << row.name;
    const int status = RunScript(base, "ruv", std::string(RUV_CLI_PATH) + " " + row.arguments,
                                 row.runner == "user", " >" + (base / "err").string() + " 2>&1");
    std::ifstream err(base / "err");
    const std::string said((std::istreambuf_iterator<char>(err)), {});
    if (row.status != "-") {
        EXPECT_EQ(std::to_string(status), row.status) << said;
    }
    EXPECT_EQ(RunScript(base, "check", row.check, false), 0) << said;
    fs::remove_all(base);
}

INSTANTIATE_TEST_SUITE_P(Attacks, SharedFolder, testing::ValuesIn(ReadRows()),
                         [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

}  // namespace
}  // namespace ruv
