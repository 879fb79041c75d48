#include "platform/file_handle.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace ruv {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

// Takes the exclusive lock without waiting; a file held by another ruv process
// counts as unreadable.
FileHandle Locked(int fd, std::error_code& error) {
    FileHandle handle(fd);
    if (fd < 0) {
        error = LastError();
        return handle;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = LastError();
        handle.Close();
    }
    return handle;
}

// Keeps the handle only for a regular file.
FileHandle RegularFile(FileHandle handle, std::error_code& error) {
    if (!handle.IsOpen()) return handle;
    struct stat info {};
    if (::fstat(handle.Descriptor(), &info) != 0) {
        error = LastError();
        handle.Close();
    } else if (!S_ISREG(info.st_mode)) {
        error = std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                                           : std::errc::invalid_argument);
        handle.Close();
    }
    return handle;
}

}  // namespace

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.Release();
        end_ = other.end_;
    }
    return *this;
}

int FileHandle::Release() noexcept {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void FileHandle::Close() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

FileIdentity FileIdentity::Of(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size), info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

FileHandle FileHandle::OpenForReading(const std::filesystem::path& path, std::error_code& error) {
    error.clear();
    // Non-blocking, so that opening a named pipe cannot hang; it is refused
    // like every other file that is not a regular file.
    return RegularFile(
        Locked(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK), error), error);
}

FileHandle FileHandle::OpenForReadingAt(const FileHandle& folder, const std::filesystem::path& name,
                                        std::error_code& error) {
    error.clear();
    return RegularFile(Locked(::openat(folder.fd_, name.c_str(),
                                       O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW),
                              error),
                       error);
}

FileHandle FileHandle::OpenFolder(const std::filesystem::path& path, std::error_code& error) {
    error.clear();
    FileHandle handle(
        ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!handle.IsOpen()) error = LastError();
    return handle;
}

FileHandle FileHandle::Create(const std::filesystem::path& path, std::error_code& error) {
    error.clear();
    FileHandle handle = Locked(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600), error);
    // Emptied only once the lock is held, so a file in use by another ruv
    // process is never cut short.
    if (handle.IsOpen() && ::ftruncate(handle.fd_, 0) != 0) {
        error = LastError();
        handle.Close();
    }
    return handle;
}

std::uint64_t FileHandle::Size(std::error_code& error) const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        error = LastError();
        return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

bool FileHandle::Identify(FileIdentity& identity, std::error_code& error) const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        error = LastError();
        return false;
    }
    identity = FileIdentity::Of(info);
    return true;
}

std::size_t FileHandle::ReadSome(void* buffer, std::size_t size, std::error_code& error) const {
    auto* bytes = static_cast<unsigned char*>(buffer);
    if (end_ != std::numeric_limits<std::uint64_t>::max()) {
        const off_t at = ::lseek(fd_, 0, SEEK_CUR);
        if (at < 0) {
            error = LastError();
            return 0;
        }
        const auto offset = static_cast<std::uint64_t>(at);
        if (offset >= end_) return 0;
        if (end_ - offset < size) size = static_cast<std::size_t>(end_ - offset);
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd_, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = LastError();
            return done;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool FileHandle::WriteAll(const void* data, std::size_t size, std::error_code& error) const {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = LastError();
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool FileHandle::Rewind(std::error_code& error) const {
    if (::lseek(fd_, 0, SEEK_SET) != 0) {
        error = LastError();
        return false;
    }
    return true;
}

bool FileHandle::Empty(std::error_code& error) const {
    if (::ftruncate(fd_, 0) != 0) {
        error = LastError();
        return false;
    }
    return Rewind(error);
}

void FileHandle::StartWriteback() const {
#if defined(__linux__)
    ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);  // a hint: failure changes nothing
#endif
}

bool FileHandle::Sync(std::error_code& error) const {
    if (::fsync(fd_) != 0) {
        error = LastError();
        return false;
    }
    return true;
}

}  // namespace ruv
