// File operations over POSIX that replacing a file in place needs.  Each
// returns false and sets error on failure; none throws.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "platform/file_handle.h"

namespace ruv {

// What a converted file takes over from its source: permission bits, owner and
// group, access and modification times.
struct FileMetadata {
    struct stat info {};
};

// Reads the metadata of an open file; read it before reading the file, whose
// access time the reading may change.
bool ReadFileMetadata(const FileHandle& file, FileMetadata& metadata, std::error_code& error);

// Gives `to` the permission bits, the owner and group (where the process may)
// and the times of the metadata.
bool ApplyFileMetadata(const FileMetadata& metadata, const FileHandle& to, std::error_code& error);

// True when no one may write the file (no write bit at all): such a file is
// protected by its owner and is not replaced.
bool IsReadOnly(const FileMetadata& metadata);

// Renames `from` to `to` in one step, replacing `to` if it exists.
bool RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::error_code& error);

// A second name for an existing file (a hard link); fails when `to` exists.
bool LinkFile(const std::filesystem::path& from, const std::filesystem::path& to,
              std::error_code& error);

// Removes a file (not a folder); a missing file counts as removed.
bool RemoveFile(const std::filesystem::path& path, std::error_code& error);

// Flushes a folder's entries, so that a rename inside it survives a power loss.
bool SyncFolder(const std::filesystem::path& folder, std::error_code& error);

// Copies the rest of `from` (from its current offset) into `to`.
bool CopyContent(const FileHandle& from, const FileHandle& to, std::error_code& error);

}  // namespace ruv
