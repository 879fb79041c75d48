#include "job/registration.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "job/in_place_converter.h"

namespace ruv {

bool HasExtension(const std::filesystem::path& path, std::string_view extension) {
    const std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    std::string_view found;
    if (dot != std::string::npos) found = std::string_view(name).substr(dot + 1);
    if (found.size() != extension.size()) return false;
    return std::equal(found.begin(), found.end(), extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

bool IsExcludedFile(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const std::string_view temp = TEMP_SUFFIX;
    if (name.size() >= temp.size() && name.compare(name.size() - temp.size(), temp.size(), temp) == 0) {
        return true;
    }
    return std::any_of(ExcludedExtensions.begin(), ExcludedExtensions.end(),
                       [&](std::string_view e) { return HasExtension(path, e); });
}

std::filesystem::path ResolveShortcut(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) return path;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    return error ? path : target;
}

std::filesystem::path ExpandLongPath(const std::filesystem::path& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error)) return {};
    const std::filesystem::path full = std::filesystem::canonical(path, error);
    return error ? std::filesystem::path() : full;
}

std::vector<std::filesystem::path> FolderFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        if (!it->is_directory(ignored)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace ruv
