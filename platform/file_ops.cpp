#include "platform/file_ops.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace ruv {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

bool Fail(std::error_code& error) {
    error = LastError();
    return false;
}

// Names tried before giving up: with 36^12 names, a taken one is an attack or
// a fault, not bad luck.
constexpr int NAME_TRIES = 100;
constexpr std::size_t RANDOM_LETTERS = 12;
// Room left in a 255-byte name for the dot, the letters and the suffix.
constexpr std::size_t BASE_BYTES = 200;

// Links the open file in at `name`, by descriptor: AT_EMPTY_PATH where the
// process may use it, else through /proc/self/fd.
bool LinkAt(const FileHandle& file, const FileHandle& folder, const std::string& name) {
    if (::linkat(file.Descriptor(), "", folder.Descriptor(), name.c_str(), AT_EMPTY_PATH) == 0) {
        return true;
    }
    if (errno != ENOENT && errno != EPERM && errno != EINVAL) return false;
    char proc[32];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", file.Descriptor());
    return ::linkat(AT_FDCWD, proc, folder.Descriptor(), name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

}  // namespace

std::string FreshName(const std::string& base) {
    static constexpr char LETTERS[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::array<unsigned char, RANDOM_LETTERS> random{};
    if (::getrandom(random.data(), random.size(), GRND_NONBLOCK) !=
        static_cast<ssize_t>(random.size())) {
        // No entropy yet (early boot): the clock and a counter still differ per call.
        static std::atomic<std::uint64_t> counter{0};
        std::uint64_t seed = static_cast<std::uint64_t>(
                                 std::chrono::steady_clock::now().time_since_epoch().count()) ^
                             (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull) ^
                             static_cast<std::uint64_t>(::getpid());
        for (unsigned char& byte : random) {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            byte = static_cast<unsigned char>(seed >> 56);
        }
    }
    std::string name = base.substr(0, BASE_BYTES);
    name += '.';
    for (unsigned char byte : random) name += LETTERS[byte % (sizeof LETTERS - 1)];
    name += OWN_FILE_SUFFIX;
    return name;
}

bool CreateTemporary(const FileHandle& folder, const std::string& base, FileHandle& file,
                     std::string& name, std::error_code& error) {
    name.clear();
    file = FileHandle(::openat(folder.Descriptor(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (file.IsOpen()) return true;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return Fail(error);
    for (int i = 0; i < NAME_TRIES; ++i) {
        const std::string fresh = FreshName(base);
        file = FileHandle(::openat(
            folder.Descriptor(), fresh.c_str(),
            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600));
        if (file.IsOpen()) {
            name = fresh;
            return true;
        }
        if (errno != EEXIST) return Fail(error);
    }
    return Fail(error);
}

bool LinkUnderFreshName(const FileHandle& file, const FileHandle& folder, const std::string& base,
                        std::string& name, std::error_code& error) {
    for (int i = 0; i < NAME_TRIES; ++i) {
        const std::string fresh = FreshName(base);
        if (LinkAt(file, folder, fresh)) {
            name = fresh;
            return true;
        }
        if (errno != EEXIST) return Fail(error);
    }
    return Fail(error);
}

bool RenameInFolder(const FileHandle& folder, const std::string& from, const std::string& to,
                    std::error_code& error) {
    return ::renameat(folder.Descriptor(), from.c_str(), folder.Descriptor(), to.c_str()) == 0 ||
           Fail(error);
}

bool NameLeadsTo(const FileHandle& folder, const std::string& name, const FileIdentity& identity) {
    struct stat info {};
    return ::fstatat(folder.Descriptor(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(info.st_mode) && FileIdentity::Of(info).SameFile(identity);
}

void RemoveOwnName(const FileHandle& folder, const std::string& name, const FileHandle& file) {
    FileIdentity own;
    std::error_code ignored;
    if (file.Identify(own, ignored) && NameLeadsTo(folder, name, own)) {
        ::unlinkat(folder.Descriptor(), name.c_str(), 0);
    }
}

bool SyncFolder(const FileHandle& folder, std::error_code& error) { return folder.Sync(error); }

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
