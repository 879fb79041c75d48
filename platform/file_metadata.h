// What a converted file takes over from its source, as `cp -p` does:
// permission bits, owner and group, access and modification times, POSIX ACLs
// and the extended attributes that describe the file to its users.
#pragma once

#include <sys/stat.h>

#include <system_error>

#include "platform/file_handle.h"

namespace ruv {

struct FileMetadata {
    struct stat info {};
};

// Reads the metadata of an open file; read it before reading the file, whose
// access time the reading may change.
bool ReadFileMetadata(const FileHandle& file, FileMetadata& metadata, std::error_code& error);

// Gives `to` the metadata read from `from`: the owner and group where the
// process may (a set-user-id bit is dropped when the owner could not be kept,
// a set-group-id bit when the group could not), the permission bits, the
// access ACL (system.posix_acl_access) and the user., trusted. and
// security.selinux attributes (never security.capability), then the times.
// Fails when an attribute the source has cannot be given to `to`.
bool ApplyFileMetadata(const FileHandle& from, const FileMetadata& metadata, const FileHandle& to,
                       std::error_code& error);

// True when no one may write the file (no write bit at all): such a file is
// protected by its owner and is not replaced.
bool IsReadOnly(const FileMetadata& metadata);

}  // namespace ruv
