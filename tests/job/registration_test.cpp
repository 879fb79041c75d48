// What named paths register: folders, links, excluded files, duplicates.
#include "job/registration.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/data_rows.h"
#include "support/temp_dir.h"

namespace ruv::test {
namespace {

namespace fs = std::filesystem;

class Registration : public ::testing::TestWithParam<DataRow> {
protected:
    Registration() {
        for (const char* name : {"top/a.txt", "top/n.exe.txt", "top/readme", "top/x.bak",
                                 "top/y.EXE", "top/z.txt.)ruv(", "top/sub/b.txt", "docs/other.txt",
                                 "docs/target.txt", "outside.txt", "a.txt", "old.bak",
                                 "f.txt.)ruv(", "p.Zip", "top/.dot.txt", ".git/h"}) {
            fs::create_directories((root / name).parent_path());
            WriteFile(root / name, "\x93\xFA\x96\x7B\x8C\xEA\r\n");
        }
        fs::create_symlink("../outside.txt", root / "top" / "link.txt");
        fs::create_symlink("docs/target.txt", root / "link.txt");
        fs::create_directory_symlink("docs", root / "folder-link");
        fs::create_directory_symlink(".", root / "alias");
        fs::create_symlink("missing.txt", root / "dangling.txt");
        fs::create_symlink("old.bak", root / "to-backup.txt");
    }

    TempDir dir;
    const fs::path root = fs::canonical(dir.Path());
};

TEST_P(Registration, RegistersWhatThePolicyAllows) {
    std::vector<std::string> paths;
    WalkRules rules;
    std::istringstream given(GetParam().at(1));
    for (std::string word; given >> word;) {
        if (word == "-r")
            rules.recursive = true;
        else if (word.starts_with("include="))
            rules.include.push_back(word.substr(8));
        else if (word.starts_with("exclude="))
            rules.exclude.push_back(word.substr(8));
        else
            paths.push_back(root.string() + "/" + word);
    }
    std::vector<RefusedPath> refused;
    std::string files, reasons;
    for (const JobFile& file : RegisterPaths(paths, &refused, rules))
        files +=
            (file.code == CODE_ERROR ? " !" : " ") + file.path.lexically_relative(root).string();
    static const char* const kWords[] = {" none", " backup", " own", " extension"};
    for (const RefusedPath& path : refused) reasons += kWords[static_cast<int>(path.excluded)];
    EXPECT_EQ(files.empty() ? "-" : files.substr(1), GetParam().at(2));
    EXPECT_EQ(reasons.empty() ? "-" : reasons.substr(1), GetParam().at(3));
}

INSTANTIATE_TEST_SUITE_P(Rows, Registration, ::testing::ValuesIn(DataRows("registration.tsv")),
                         [](const auto& info) { return "row" + std::to_string(info.index); });

}  // namespace
}  // namespace ruv::test
