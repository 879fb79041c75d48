#include "platform/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>

namespace ruv {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

bool Fail(std::error_code& error) {
    error = LastError();
    return false;
}

}  // namespace

bool ReadFileMetadata(const FileHandle& file, FileMetadata& metadata, std::error_code& error) {
    return ::fstat(file.Descriptor(), &metadata.info) == 0 || Fail(error);
}

bool ApplyFileMetadata(const FileMetadata& metadata, const FileHandle& to, std::error_code& error) {
    const struct stat& info = metadata.info;
    // Owner first: changing it may clear set-id bits that the mode then restores.
    // Only a privileged process may give a file away; others keep their own.
    struct stat current {};
    if (::fstat(to.Descriptor(), &current) != 0) return Fail(error);
    if ((current.st_uid != info.st_uid || current.st_gid != info.st_gid) &&
        ::fchown(to.Descriptor(), info.st_uid, info.st_gid) != 0 && errno != EPERM) {
        return Fail(error);
    }
    if (::fchmod(to.Descriptor(), info.st_mode & 07777) != 0) return Fail(error);
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::futimens(to.Descriptor(), times) != 0) return Fail(error);
    return true;
}

bool IsReadOnly(const FileMetadata& metadata) {
    return (metadata.info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::error_code& error) {
    return ::rename(from.c_str(), to.c_str()) == 0 || Fail(error);
}

bool LinkFile(const std::filesystem::path& from, const std::filesystem::path& to,
              std::error_code& error) {
    return ::link(from.c_str(), to.c_str()) == 0 || Fail(error);
}

bool RemoveFile(const std::filesystem::path& path, std::error_code& error) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT || Fail(error);
}

bool SyncFolder(const std::filesystem::path& folder, std::error_code& error) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Fail(error);
    FileHandle handle(fd);
    return handle.Sync(error);
}

bool CopyContent(const FileHandle& from, const FileHandle& to, std::error_code& error) {
    std::array<unsigned char, 64 * 1024> block;
    for (;;) {
        const std::size_t n = from.ReadSome(block.data(), block.size(), error);
        if (error) return false;
        if (n == 0) return true;
        if (!to.WriteAll(block.data(), n, error)) return false;
    }
}

}  // namespace ruv
