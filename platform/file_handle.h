// An open file descriptor with one owner, over POSIX.
//
// Files are opened "without sharing" as the rest of ruv expects: an exclusive
// advisory lock (flock) is taken at once and not waited for, so two ruv
// processes never read or write one file at the same time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <system_error>

namespace ruv {

class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) noexcept : fd_(fd) {}
    FileHandle(FileHandle&& other) noexcept : fd_(other.Release()) {}
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

    bool IsOpen() const noexcept { return fd_ >= 0; }
    int Descriptor() const noexcept { return fd_; }
    int Release() noexcept;
    void Close() noexcept;

    // The size of the open file in bytes.
    std::uint64_t Size(std::error_code& error) const;
    // Reads up to size bytes, retrying after interruptions and short reads;
    // returns the bytes read (fewer only at the end of the file).
    std::size_t ReadSome(void* buffer, std::size_t size, std::error_code& error) const;
    // Writes all size bytes or fails.
    bool WriteAll(const void* data, std::size_t size, std::error_code& error) const;
    // Moves the read and write offset back to the start of the file.
    bool Rewind(std::error_code& error) const;
    // Asks the system to start writing the file's data to the disk now,
    // without waiting, so that a later Sync finds little left to do.
    void StartWriteback() const;
    // Flushes the file's data and metadata to the disk.
    bool Sync(std::error_code& error) const;

private:
    int fd_ = -1;
};

}  // namespace ruv
