// An open file descriptor with one owner, over POSIX.
//
// Files are opened "without sharing" as the rest of ruv expects: an exclusive
// advisory lock (flock) is taken at once and not waited for, so two ruv
// processes never read or write one file at the same time.
//
// A file converted in place is reached through its folder: the folder is
// opened once (OpenFolder) and the file is opened relative to that handle
// (OpenForReadingAt), so neither can be swapped for a link on the way.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <system_error>

namespace ruv {

// What tells one file from another (device and inode), and what tells that its
// content changed (size and modification time).  All zero: nothing recorded.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    static FileIdentity Of(const struct stat& info);
    bool IsRecorded() const { return device != 0 || inode != 0; }
    bool SameFile(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
    bool SameContent(const FileIdentity& other) const {
        return SameFile(other) && size == other.size && modifiedSeconds == other.modifiedSeconds &&
               modifiedNanoseconds == other.modifiedNanoseconds;
    }
};

class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) noexcept : fd_(fd) {}
    FileHandle(FileHandle&& other) noexcept : fd_(other.Release()), end_(other.end_) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }

    // An existing regular file for reading, locked exclusively.
    static FileHandle OpenForReading(const std::filesystem::path& path, std::error_code& error);
    // A file for writing, created (readable and writable by its owner only,
    // until the caller gives it other permissions) or emptied, locked
    // exclusively.  A symbolic link at the path is refused rather than followed.
    static FileHandle Create(const std::filesystem::path& path, std::error_code& error);
    // A folder, for the calls relative to it; a symbolic link as the last
    // part of the path is refused.
    static FileHandle OpenFolder(const std::filesystem::path& path, std::error_code& error);
    // A regular file named `name` inside the open folder, for reading, locked
    // exclusively.  A link, a named pipe or a device there is refused without
    // being followed or waited on.
    static FileHandle OpenForReadingAt(const FileHandle& folder, const std::filesystem::path& name,
                                       std::error_code& error);

    bool IsOpen() const noexcept { return fd_ >= 0; }
    int Descriptor() const noexcept { return fd_; }
    int Release() noexcept;
    void Close() noexcept;

    // The size of the open file in bytes.
    std::uint64_t Size(std::error_code& error) const;
    // The identity of the open file; false with error when fstat fails.
    bool Identify(FileIdentity& identity, std::error_code& error) const;
    // Reads end at this offset from now on, whatever the file grows to.
    void LimitReadingTo(std::uint64_t end) noexcept { end_ = end; }
    // Reads up to size bytes, retrying after interruptions and short reads;
    // returns the bytes read (fewer only at the end of the file or the limit).
    std::size_t ReadSome(void* buffer, std::size_t size, std::error_code& error) const;
    // Writes all size bytes or fails.
    bool WriteAll(const void* data, std::size_t size, std::error_code& error) const;
    // Moves the read and write offset back to the start of the file.
    bool Rewind(std::error_code& error) const;
    // Cuts the file to nothing and moves its offset back to the start.
    bool Empty(std::error_code& error) const;
    // Asks the system to start writing the file's data to the disk now,
    // without waiting, so that a later Sync finds little left to do.
    void StartWriteback() const;
    // Flushes the file's data and metadata to the disk.
    bool Sync(std::error_code& error) const;

private:
    int fd_ = -1;
    std::uint64_t end_ = std::numeric_limits<std::uint64_t>::max();
};

}  // namespace ruv
