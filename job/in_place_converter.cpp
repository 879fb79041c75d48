#include "job/in_place_converter.h"

#include "job/file_converter.h"
#include "platform/file_handle.h"
#include "platform/file_ops.h"

namespace ruv {
namespace {

std::filesystem::path WithSuffix(const std::filesystem::path& path, const char* suffix) {
    std::filesystem::path result = path;
    result += suffix;
    return result;
}

// Removes a temporary file when it goes out of scope, unless it was kept.
class TemporaryFile {
public:
    explicit TemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        std::error_code ignored;
        if (!kept_) RemoveFile(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }
    void Keep() { kept_ = true; }

private:
    std::filesystem::path path_;
    bool kept_ = false;
};

bool Failed(std::string& reason, const char* what, const std::error_code& error) {
    reason = std::string(what) + ": " + error.message();
    return false;
}

// Puts the source's current content at path + ".bak", replacing an older
// backup in one step.  A second name for the same file costs nothing; where
// the file system has no hard links, the content is copied.
bool KeepBackup(const std::filesystem::path& path, const FileHandle& source,
                const FileMetadata& metadata, std::string& reason) {
    std::error_code error;
    TemporaryFile staged(WithSuffix(path, ".bak.)ruv("));
    RemoveFile(staged.Path(), error);
    if (!LinkFile(path, staged.Path(), error)) {
        const FileHandle copy = FileHandle::Create(staged.Path(), error);
        if (!copy.IsOpen()) return Failed(reason, "cannot create the backup", error);
        if (!source.Rewind(error) || !CopyContent(source, copy, error) ||
            !ApplyFileMetadata(metadata, copy, error) || !copy.Sync(error)) {
            return Failed(reason, "cannot write the backup", error);
        }
    }
    if (!RenameReplacing(staged.Path(), WithSuffix(path, BACKUP_SUFFIX), error)) {
        return Failed(reason, "cannot replace the backup", error);
    }
    staged.Keep();
    return true;
}

}  // namespace

FileOutcome ConvertInPlace(const std::filesystem::path& given, ConvertJob& job,
                           ProgressCounter& progress, std::string& reason) {
    std::error_code error;
    std::filesystem::path path = given;
    if (std::filesystem::is_symlink(given, error)) {
        path = std::filesystem::canonical(given, error);
        if (error) {
            Failed(reason, "cannot follow the link", error);
            return FileOutcome::Failed;
        }
    }
    const FileHandle source = FileHandle::OpenForReading(path, error);
    if (!source.IsOpen()) {
        Failed(reason, "cannot open", error);
        return FileOutcome::Failed;
    }
    FileMetadata metadata;
    if (!ReadFileMetadata(source, metadata, error)) {
        Failed(reason, "cannot read the file's permissions and times", error);
        return FileOutcome::Failed;
    }
    if (IsReadOnly(metadata)) {
        reason = "the file is read-only";
        return FileOutcome::Failed;
    }

    TemporaryFile temporary(WithSuffix(path, TEMP_SUFFIX));
    {
        const FileHandle output = FileHandle::Create(temporary.Path(), error);
        if (!output.IsOpen()) {
            Failed(reason, "cannot create the temporary file", error);
            return FileOutcome::Failed;
        }
        if (!ConvertFile(source, output, job, progress, reason)) return FileOutcome::Failed;
        if (job.cancel.load(std::memory_order_relaxed)) return FileOutcome::Cancelled;
        if (!ApplyFileMetadata(metadata, output, error)) {
            Failed(reason, "cannot give the new content the file's permissions", error);
            return FileOutcome::Failed;
        }
        if (!output.Sync(error)) {
            Failed(reason, "cannot flush the new content to the disk", error);
            return FileOutcome::Failed;
        }
    }
    if (job.backup.load(std::memory_order_relaxed) && !KeepBackup(path, source, metadata, reason)) {
        return FileOutcome::Failed;
    }
    if (!RenameReplacing(temporary.Path(), path, error)) {
        Failed(reason, "cannot replace the file", error);
        return FileOutcome::Failed;
    }
    temporary.Keep();
    // The rename is done; flushing the folder makes it survive a power loss.
    SyncFolder(path.parent_path(), error);
    return FileOutcome::Converted;
}

}  // namespace ruv
