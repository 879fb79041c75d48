#include "platform/file_metadata.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

namespace ruv {
namespace {

constexpr const char* ACCESS_ACL = "system.posix_acl_access";

bool Fail(std::error_code& error) {
    error = {errno, std::generic_category()};
    return false;
}

// The attributes that go with the content; security.capability (the rights of
// a program) and the rest of system. do not.
bool IsCopied(std::string_view name) {
    return name.starts_with("user.") || name.starts_with("trusted.") ||
           name == "security.selinux" || name == ACCESS_ACL;
}

// The names of the file's extended attributes, each ended by a zero byte;
// none where the file system has no extended attributes.
bool AttributeNames(const FileHandle& file, std::string& names, std::error_code& error) {
    for (;;) {
        const ssize_t size = ::flistxattr(file.Descriptor(), nullptr, 0);
        if (size < 0) return errno == ENOTSUP || Fail(error);
        names.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::flistxattr(file.Descriptor(), names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return Fail(error);  // ERANGE: one was added meanwhile
    }
}

bool CopyAttribute(const FileHandle& from, const char* name, const FileHandle& to,
                   std::error_code& error) {
    std::string value;
    for (;;) {
        const ssize_t size = ::fgetxattr(from.Descriptor(), name, nullptr, 0);
        if (size < 0) return errno == ENODATA || Fail(error);  // ENODATA: removed meanwhile
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::fgetxattr(from.Descriptor(), name, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            break;
        }
        if (errno != ERANGE) return Fail(error);
    }
    return ::fsetxattr(to.Descriptor(), name, value.data(), value.size(), 0) == 0 || Fail(error);
}

bool CopyAttributes(const FileHandle& from, const FileHandle& to, std::error_code& error) {
    std::string names;
    if (!AttributeNames(from, names, error)) return false;
    bool hasAcl = false;
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
        const char* name = names.c_str() + at;
        if (!IsCopied(name)) continue;
        hasAcl = hasAcl || std::strcmp(name, ACCESS_ACL) == 0;
        if (!CopyAttribute(from, name, to, error)) return false;
    }
    // An ACL the new file inherited from its folder's default ACL is not the source's.
    if (!hasAcl && ::fremovexattr(to.Descriptor(), ACCESS_ACL) != 0 && errno != ENODATA &&
        errno != ENOTSUP) {
        return Fail(error);
    }
    return true;
}

}  // namespace

bool ReadFileMetadata(const FileHandle& file, FileMetadata& metadata, std::error_code& error) {
    return ::fstat(file.Descriptor(), &metadata.info) == 0 || Fail(error);
}

bool ApplyFileMetadata(const FileHandle& from, const FileMetadata& metadata, const FileHandle& to,
                       std::error_code& error) {
    const struct stat& info = metadata.info;
    // Owner first: changing it clears set-id bits that the mode then restores.
    // Only a privileged process may give a file away; others keep their own,
    // and the group where they belong to it.
    struct stat current {};
    if (::fstat(to.Descriptor(), &current) != 0) return Fail(error);
    if (current.st_uid != info.st_uid || current.st_gid != info.st_gid) {
        if (::fchown(to.Descriptor(), info.st_uid, info.st_gid) != 0) {
            if (errno != EPERM) return Fail(error);
            if (::fchown(to.Descriptor(), static_cast<uid_t>(-1), info.st_gid) != 0 &&
                errno != EPERM) {
                return Fail(error);
            }
        }
        if (::fstat(to.Descriptor(), &current) != 0) return Fail(error);
    }
    // A set-id bit on a file that now belongs to someone else would hand that
    // someone the rights of the source's owner or group.
    mode_t mode = info.st_mode & 07777;
    if (current.st_uid != info.st_uid) mode &= ~S_ISUID;
    if (current.st_gid != info.st_gid) mode &= ~S_ISGID;
    if (::fchmod(to.Descriptor(), mode) != 0) return Fail(error);
    if (!CopyAttributes(from, to, error)) return false;
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::futimens(to.Descriptor(), times) != 0) return Fail(error);
    return true;
}

bool IsReadOnly(const FileMetadata& metadata) {
    return (metadata.info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace ruv
