// A fresh folder for one test, removed with everything in it when the test ends,
// and small helpers to write (in a folder made as needed) and read whole files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ruv::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& path);

}  // namespace ruv::test
