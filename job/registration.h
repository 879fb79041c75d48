// Which files a path registers, for the window and ruv-cli alike: links the
// user named followed once, folders expanded into their own files (or, when
// asked, every file below them; links inside them skipped), extensions that
// are never text, backups and ruv's own temporary files left out even when
// named, two spellings of one file told apart.
//
// A registered file keeps its identity (device, inode, size, modification
// time, and its folder's device and inode); the run refuses a file that is no
// longer the one registered.
#pragma once

#include <array>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "job/conversion_worker.h"

namespace ruv {

// Files with these extensions (compared without regard to case) are never
// registered from a folder or a drop: programs, archives, images, backups.
inline constexpr std::array<std::string_view, 11> ExcludedExtensions = {
    "exe", "sys", "dll", "swp", "bak", "lzh", "zip", "bmp", "gif", "jpg", "lnk"};

// True when the file name's last extension, lower-cased, is `extension`
// (which the caller passes in lower case).  A name without a dot has the
// empty extension.
bool HasExtension(const std::filesystem::path& path, std::string_view extension);

// Why a file is never registered.
enum class Exclusion {
    None,
    Backup,     // a backup ruv keeps of an original (".bak")
    OwnFile,    // a temporary file of ruv (OWN_FILE_SUFFIX)
    Extension,  // another of the extensions above
};

// Why the file name is never registered, or Exclusion::None.
Exclusion ExclusionOf(const std::filesystem::path& path);
inline bool IsExcludedFile(const std::filesystem::path& path) {
    return ExclusionOf(path) != Exclusion::None;
}

// A symbolic link's final target; any other path unchanged.  Empty when a link
// on the way belongs to another user and sits in a folder that others may
// write to (group or world writable) and that this user does not own either:
// the rule the kernel applies in sticky folders, applied to every shared one.
std::filesystem::path ResolveShortcut(const std::filesystem::path& path);

// The absolute, normalised path of an existing file (links in its folders
// resolved), or an empty path when the file does not exist.
std::filesystem::path ExpandLongPath(const std::filesystem::path& path);

// True when the file name matches the shell-style pattern (`*`, `?`, `[...]`),
// regardless of case as the window's extension filter.
bool MatchesNameGlob(const std::filesystem::path& name, const std::string& glob);

// How a folder is walked, and which file names take part.
struct WalkRules {
    // Sub-folders entered too, files in a stable order (by path); entries whose
    // name starts with "." are left out (named directly, they still count).
    bool recursive = false;
    std::vector<std::string> include;  // a file name must match one (none: all do)
    std::vector<std::string> exclude;  // and none of these

    // True when a file of this name takes part.
    bool Takes(const std::filesystem::path& name) const;
};

// One file by its expanded path: its identity, and its code detected from the
// file opened relative to its folder without following a link.  CODE_ERROR
// (and no identity) when it cannot be opened.
JobFile RegisterFile(std::string name, const std::filesystem::path& full);

// What one path given by the user yields.
struct PathYield {
    std::vector<JobFile> files;  // registered now, in order; name: the path as given
    // Why a file named directly was refused; a folder's excluded files and
    // links, and files already registered, are left out silently.
    Exclusion excluded = Exclusion::None;
    // Nothing there, or a link another user may have planted: not followed.
    bool missing = false;
    // Folders that could not be listed (their files are not registered), and why.
    std::vector<std::pair<std::filesystem::path, std::error_code>> unreadable;
};

// The registered files of a list, by expanded path, so that each registers once.
class Registrar {
public:
    // remember: each file registered is remembered, so that it registers once
    // however often and however spelled it is added (the window's list).
    // Without it nothing is kept per file, and the caller drops repeats.
    explicit Registrar(WalkRules rules = {}, bool remember = true)
        : rules_(std::move(rules)), remember_(remember) {}

    // Registers the file the path names (links followed), or a folder's files
    // by path (sub-folders entered as the rules say; links, excluded files and
    // names the rules leave out are skipped).
    PathYield Add(const std::filesystem::path& path) {
        PathYield yield;
        AddTo(path, yield);
        return yield;
    }
    // As Add, appending to the yield's files and unreadable folders; its
    // `excluded` and `missing` tell about this path.
    void AddTo(const std::filesystem::path& path, PathYield& yield);
    // The file (by its expanded path) left the list: it may register again.
    void Forget(const std::filesystem::path& full) { seen_.erase(full); }
    void Clear() { seen_.clear(); }

private:
    Exclusion addFile(const std::filesystem::path& given, const std::filesystem::path& full,
                      std::vector<JobFile>& files);
    void addFolder(const std::filesystem::path& given, const std::filesystem::path& full,
                   PathYield& yield);

    WalkRules rules_;
    bool remember_;
    std::set<std::filesystem::path> seen_;
};

// A path named by the user that registered nothing, and why.
struct RefusedPath {
    std::string path;
    Exclusion excluded = Exclusion::None;
    std::error_code error;  // set: a folder that could not be listed
};

// The files the paths name, each once, in the order given.  A path that
// cannot be registered (missing, or a link not followed) is kept with
// CODE_ERROR, for the run to report; an excluded file named directly is
// left out and joins `refused` when given, as does a folder that cannot be
// listed.  Holds nothing per file beyond the list it returns.
std::vector<JobFile> RegisterPaths(const std::vector<std::string>& paths,
                                   std::vector<RefusedPath>* refused = nullptr,
                                   const WalkRules& rules = {});

}  // namespace ruv
