// Which files a path registers: links followed, folders expanded into their own
// files, extensions that are never text left out, two spellings of one file
// told apart.  Shared by the window and ruv-cli; no file is opened here.
#pragma once

#include <array>
#include <filesystem>
#include <string_view>
#include <vector>

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

// A symbolic link's final target; any other path unchanged.
std::filesystem::path ResolveShortcut(const std::filesystem::path& path);

// The absolute, normalised path of an existing file (links in its folders
// resolved), or an empty path when the file does not exist.
std::filesystem::path ExpandLongPath(const std::filesystem::path& path);

// The files a folder holds directly (sub-folders are not entered), by name.
std::vector<std::filesystem::path> FolderFiles(const std::filesystem::path& folder);

}  // namespace ruv
