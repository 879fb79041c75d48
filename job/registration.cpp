#include "job/registration.h"

#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <system_error>

#include "detect/code_detector.h"
#include "platform/file_handle.h"
#include "platform/file_ops.h"

namespace ruv {
namespace {

// Links followed before giving up, as the kernel does.
constexpr int MAX_LINKS = 40;

// The kernel's rule for links in sticky folders, for every folder others may
// write to: such a link is followed only when its owner is the folder's owner
// or this user.
bool MayFollow(const struct stat& link, const std::filesystem::path& folder) {
    struct stat info {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &info) != 0) return false;
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) == 0) return true;
    return link.st_uid == info.st_uid || link.st_uid == ::geteuid();
}

}  // namespace

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

Exclusion ExclusionOf(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const std::string_view own = OWN_FILE_SUFFIX;
    if (name.size() >= own.size() && name.compare(name.size() - own.size(), own.size(), own) == 0) {
        return Exclusion::OwnFile;
    }
    if (HasExtension(path, "bak")) return Exclusion::Backup;
    const bool excluded = std::any_of(ExcludedExtensions.begin(), ExcludedExtensions.end(),
                                      [&](std::string_view e) { return HasExtension(path, e); });
    return excluded ? Exclusion::Extension : Exclusion::None;
}

std::filesystem::path ResolveShortcut(const std::filesystem::path& path) {
    std::filesystem::path current = path;
    for (int i = 0; i < MAX_LINKS; ++i) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            if (i == 0) return path;
            std::error_code error;
            const std::filesystem::path target = std::filesystem::canonical(current, error);
            return error ? current : target;
        }
        if (!MayFollow(info, current.parent_path())) return {};
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(current, error);
        if (error) return {};
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return {};
}

std::filesystem::path ExpandLongPath(const std::filesystem::path& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error)) return {};
    const std::filesystem::path full = std::filesystem::canonical(path, error);
    return error ? std::filesystem::path() : full;
}

bool MatchesNameGlob(const std::filesystem::path& name, const std::string& glob) {
    return ::fnmatch(glob.c_str(), name.filename().c_str(), FNM_CASEFOLD) == 0;
}

bool WalkRules::Takes(const std::filesystem::path& name) const {
    const auto matches = [&](const std::string& glob) { return MatchesNameGlob(name, glob); };
    return (include.empty() || std::any_of(include.begin(), include.end(), matches)) &&
           std::none_of(exclude.begin(), exclude.end(), matches);
}

JobFile RegisterFile(std::string name, const std::filesystem::path& full) {
    JobFile file{std::move(name), full, CODE_ERROR};
    std::error_code error;
    const FileHandle folder = FileHandle::OpenFolder(full.parent_path(), error);
    if (!folder.IsOpen() || !folder.Identify(file.folder, error)) return file;
    const FileHandle opened = FileHandle::OpenForReadingAt(folder, full.filename(), error);
    if (!opened.IsOpen() || !opened.Identify(file.identity, error)) return file;
    CodeConverter converter;
    file.code = DetectOpenFileCode(converter, opened);
    return file;
}

// The file the name leads to is judged, not the name: a link named
// "notes.txt" to a backup would convert the backup all the same.  The rules'
// patterns, though, choose among the names the user sees.
Exclusion Registrar::addFile(const std::filesystem::path& given, const std::filesystem::path& full,
                             std::vector<JobFile>& files) {
    if (!rules_.Takes(given)) return Exclusion::None;
    const Exclusion excluded = ExclusionOf(full);
    if (excluded != Exclusion::None) return excluded;
    if (remember_ && !seen_.insert(full).second) return Exclusion::None;
    files.push_back(RegisterFile(given.string(), full));
    return Exclusion::None;
}

void Registrar::AddTo(const std::filesystem::path& path, PathYield& yield) {
    yield.excluded = Exclusion::None;
    yield.missing = false;
    const std::filesystem::path resolved = path.empty() ? path : ResolveShortcut(path);
    std::error_code error;
    if (resolved.empty() || !std::filesystem::exists(resolved, error)) {
        yield.missing = true;
        return;
    }
    if (!std::filesystem::is_directory(resolved, error)) {
        const std::filesystem::path full = ExpandLongPath(resolved);
        if (full.empty()) {
            yield.missing = true;
        } else {
            yield.excluded = addFile(path, full, yield.files);
        }
        return;
    }
    // The folder is expanded once; links inside it are not followed, and what
    // it holds that is never registered is left out without a word.
    const std::filesystem::path folder = ExpandLongPath(resolved);
    if (!folder.empty()) addFolder(resolved, folder, yield);
}

// Lists the folder whole before registering anything from it, so that a folder
// that cannot be listed to its end yields nothing.  Entries sorted by name and
// walked depth first come out sorted by path; only the folders on the way down
// hold their listings at a time.
void Registrar::addFolder(const std::filesystem::path& given, const std::filesystem::path& full,
                          PathYield& yield) {
    struct Entry {
        std::string name;
        bool folder;
        bool operator<(const Entry& other) const { return name < other.name; }
    };
    std::vector<Entry> entries;
    std::error_code error;
    for (std::filesystem::directory_iterator it(full, error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (rules_.recursive && name.starts_with('.')) continue;
        std::error_code ignored;
        const std::filesystem::file_status status = it->symlink_status(ignored);
        if (std::filesystem::is_symlink(status)) continue;
        const bool folder = std::filesystem::is_directory(status);
        if (!folder || rules_.recursive) entries.push_back({std::move(name), folder});
    }
    if (error) {
        yield.unreadable.emplace_back(given, error);
        return;
    }
    std::sort(entries.begin(), entries.end());
    for (const Entry& entry : entries) {
        if (entry.folder) {
            addFolder(given / entry.name, full / entry.name, yield);
            continue;
        }
        addFile(given / entry.name, full / entry.name, yield.files);
    }
}

namespace {

// Drops every file registered again under a full path met before (two
// spellings of one file, a file named and inside a folder named too), keeping
// the first.  A path that registered nothing keeps the path as given, which
// no registered file has: links are resolved in those.
void DropRepeats(std::vector<JobFile>& files) {
    std::vector<std::size_t> order(files.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return files[a].path < files[b].path; });
    std::vector<bool> drop(files.size());
    for (std::size_t i = 1; i < order.size(); ++i) {
        drop[order[i]] = files[order[i]].path == files[order[i - 1]].path;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (drop[i]) continue;
        if (kept != i) files[kept] = std::move(files[i]);
        ++kept;
    }
    files.erase(files.begin() + static_cast<std::ptrdiff_t>(kept), files.end());
}

}  // namespace

// One walk over every path into one list; repeats can only come from several
// paths (a walk follows no link), and are dropped once at the end.
std::vector<JobFile> RegisterPaths(const std::vector<std::string>& paths,
                                   std::vector<RefusedPath>* refused, const WalkRules& rules) {
    Registrar registrar(rules, false);
    PathYield yield;
    for (const std::string& path : paths) {
        registrar.AddTo(path, yield);
        if (yield.missing) yield.files.push_back({path, path, CODE_ERROR});
        if (refused == nullptr) continue;
        if (yield.excluded != Exclusion::None) refused->push_back({path, yield.excluded, {}});
        for (const auto& [folder, error] : yield.unreadable) {
            refused->push_back({folder.string(), Exclusion::None, error});
        }
        yield.unreadable.clear();
    }
    if (paths.size() > 1) DropRepeats(yield.files);
    return std::move(yield.files);
}

}  // namespace ruv
