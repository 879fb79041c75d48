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

class PendingReplacement {
public:
    PendingReplacement(std::filesystem::path path, FileHandle source, FileMetadata metadata,
                       std::filesystem::path temporary)
        : path_(std::move(path)),
          source_(std::move(source)),
          metadata_(metadata),
          temporary_(std::move(temporary)) {}

    const std::filesystem::path& Path() const { return path_; }
    const FileHandle& Source() const { return source_; }
    const FileMetadata& Metadata() const { return metadata_; }
    TemporaryFile& Temporary() { return temporary_; }
    FileHandle& Output() { return output_; }

private:
    std::filesystem::path path_;
    FileHandle source_;  // held open, and so locked, until the replacement is done
    FileMetadata metadata_;
    TemporaryFile temporary_;
    FileHandle output_;
};

void PendingReplacementDeleter::operator()(PendingReplacement* pending) const { delete pending; }

FileOutcome PrepareReplacement(const std::filesystem::path& given, ConvertJob& job,
                               ProgressCounter& progress, std::string& reason,
                               PendingFile& pending) {
    std::error_code error;
    std::filesystem::path path = given;
    if (std::filesystem::is_symlink(given, error)) {
        path = std::filesystem::canonical(given, error);
        if (error) {
            Failed(reason, "cannot follow the link", error);
            return FileOutcome::Failed;
        }
    }
    FileHandle source = FileHandle::OpenForReading(path, error);
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

    PendingFile file(new PendingReplacement(path, std::move(source), metadata,
                                            WithSuffix(path, TEMP_SUFFIX)));
    FileHandle& output = file->Output();
    output = FileHandle::Create(file->Temporary().Path(), error);
    if (!output.IsOpen()) {
        Failed(reason, "cannot create the temporary file", error);
        return FileOutcome::Failed;
    }
    if (!ConvertFile(file->Source(), output, job, progress, reason)) return FileOutcome::Failed;
    if (job.cancel.load(std::memory_order_relaxed)) return FileOutcome::Cancelled;
    if (!ApplyFileMetadata(metadata, output, error)) {
        Failed(reason, "cannot give the new content the file's permissions", error);
        return FileOutcome::Failed;
    }
    output.StartWriteback();
    pending = std::move(file);
    return FileOutcome::Converted;
}

bool CommitReplacement(PendingFile pending, bool backup, std::string& reason,
                       std::filesystem::path& folder) {
    std::error_code error;
    if (!pending->Output().Sync(error)) return Failed(reason, "cannot flush the new content to the disk", error);
    pending->Output().Close();
    const std::filesystem::path& path = pending->Path();
    if (backup && !KeepBackup(path, pending->Source(), pending->Metadata(), reason)) return false;
    if (!RenameReplacing(pending->Temporary().Path(), path, error)) {
        return Failed(reason, "cannot replace the file", error);
    }
    pending->Temporary().Keep();
    folder = path.parent_path();
    return true;
}

FileOutcome ConvertInPlace(const std::filesystem::path& path, ConvertJob& job,
                           ProgressCounter& progress, std::string& reason) {
    PendingFile pending;
    const FileOutcome outcome = PrepareReplacement(path, job, progress, reason, pending);
    if (outcome != FileOutcome::Converted) return outcome;
    std::filesystem::path folder;
    if (!CommitReplacement(std::move(pending), job.backup.load(std::memory_order_relaxed), reason,
                           folder)) {
        return FileOutcome::Failed;
    }
    // The rename is done; flushing the folder makes it survive a power loss.
    std::error_code ignored;
    SyncFolder(folder, ignored);
    return FileOutcome::Converted;
}

}  // namespace ruv
