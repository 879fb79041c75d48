// Which files a path registers: links the user named followed once, folders
// expanded into their own files (links inside them skipped), extensions that
// are never text left out, two spellings of one file told apart.  Shared by
// the window and ruv-cli.
//
// A registered file keeps its identity (device, inode, size, modification
// time, and its folder's device and inode); the run refuses a file that is no
// longer the one registered.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
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

// True for the extensions above and for ruv's own temporary files.
bool IsExcludedFile(const std::filesystem::path& path);

// A symbolic link's final target; any other path unchanged.  Empty when a link
// on the way belongs to another user and sits in a folder that others may
// write to (group or world writable) and that this user does not own either:
// the rule the kernel applies in sticky folders, applied to every shared one.
std::filesystem::path ResolveShortcut(const std::filesystem::path& path);

// The absolute, normalised path of an existing file (links in its folders
// resolved), or an empty path when the file does not exist.
std::filesystem::path ExpandLongPath(const std::filesystem::path& path);

// The files a folder holds directly (sub-folders are not entered), by name.
std::vector<std::filesystem::path> FolderFiles(const std::filesystem::path& folder);

// One file by its expanded path: its identity, and its code detected from the
// file opened relative to its folder without following a link.  CODE_ERROR
// (and no identity) when it cannot be opened.
JobFile RegisterFile(std::string name, const std::filesystem::path& full);

// The files the paths name, each once, in the order given (a folder's own
// files by name, links among them skipped).  A path that cannot be registered
// is kept with CODE_ERROR, for the run to report.
std::vector<JobFile> RegisterPaths(const std::vector<std::string>& paths);

}  // namespace ruv
