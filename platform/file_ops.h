// Operations on names inside an open folder that replacing a file in place
// needs: ruv's own temporary files, links and renames.  Each
// returns false and sets error on failure; none throws.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/file_handle.h"
#include "platform/file_metadata.h"

namespace ruv {

// Every name ruv gives its own files ends in this, so that registration can
// leave them out.
inline constexpr const char* OWN_FILE_SUFFIX = ".)ruv(";

// A name no file is likely to have: the base (cut to leave room), a dot,
// random letters and digits, and OWN_FILE_SUFFIX.
std::string FreshName(const std::string& base);

// A new, empty file of ruv's own in the open folder, readable and writable by
// its owner only.  Where the file system can, it has no name at all (O_TMPFILE)
// until LinkUnderFreshName, so a killed process leaves nothing behind; `name`
// stays empty.  Elsewhere it is created under a FreshName(base), never over an
// existing entry (O_EXCL, no link followed, no pipe waited on), retried when
// the name is taken; `name` says which.
bool CreateTemporary(const FileHandle& folder, const std::string& base, FileHandle& file,
                     std::string& name, std::error_code& error);

// Gives an open file a second name, FreshName(base), in the open folder (a hard
// link, never over an existing entry), retried when the name is taken.  Fails
// with the system's reason (EXDEV, EPERM, EMLINK...) where no link can be made.
bool LinkUnderFreshName(const FileHandle& file, const FileHandle& folder, const std::string& base,
                        std::string& name, std::error_code& error);

// Renames `from` to `to` inside the open folder, in one step, replacing `to`.
bool RenameInFolder(const FileHandle& folder, const std::string& from, const std::string& to,
                    std::error_code& error);

// True when `name` in the open folder is, without following a link, the file
// with this identity.
bool NameLeadsTo(const FileHandle& folder, const std::string& name, const FileIdentity& identity);

// Removes `name` from the open folder, but only while it still leads to the
// open file: an entry ruv did not make is never removed.
void RemoveOwnName(const FileHandle& folder, const std::string& name, const FileHandle& file);

// Flushes a folder's entries, so that a rename inside it survives a power loss.
bool SyncFolder(const FileHandle& folder, std::error_code& error);

// Copies the rest of `from` (from its current offset) into `to`.
bool CopyContent(const FileHandle& from, const FileHandle& to, std::error_code& error);

}  // namespace ruv
