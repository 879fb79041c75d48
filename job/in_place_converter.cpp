#include "job/in_place_converter.h"

#include <cerrno>

#include "detect/code_detector.h"
#include "job/file_converter.h"
#include "job/registration.h"

namespace ruv {
namespace {

bool Failed(std::string& reason, const char* what, const std::error_code& error) {
    reason = std::string(what) + ": " + error.message();
    return false;
}

// A name ruv gave a file in a folder.  Removed at the end of its scope unless
// kept, and then only while it still leads to that file.
class OwnName {
public:
    OwnName(const FileHandle& folder, const FileHandle& file) : folder_(folder), file_(file) {}
    OwnName(const OwnName&) = delete;
    OwnName& operator=(const OwnName&) = delete;
    ~OwnName() {
        if (!name.empty() && !kept) RemoveOwnName(folder_, name, file_);
    }
    std::string name;
    bool kept = false;

private:
    const FileHandle& folder_;
    const FileHandle& file_;
};

// A temporary file of ruv's own in the folder, named (if it has no name yet)
// only when it is about to take its place.
class TemporaryFile {
public:
    explicit TemporaryFile(const FileHandle& folder) : folder_(folder), name_(folder, file_) {}
    bool Create(const std::string& base, std::error_code& error) {
        return CreateTemporary(folder_, base, file_, name_.name, error);
    }
    bool GiveName(const std::string& base, std::error_code& error) {
        return !name_.name.empty() || LinkUnderFreshName(file_, folder_, base, name_.name, error);
    }
    const FileHandle& File() const { return file_; }
    const std::string& Name() const { return name_.name; }
    void Keep() { name_.kept = true; }

private:
    const FileHandle& folder_;
    FileHandle file_;
    OwnName name_;  // after file_: removed while the file is still open
};

// A second name for the file costs nothing; where no link can be made, the
// content is copied.
bool IsLinkImpossible(const std::error_code& error) {
    const int code = error.value();
    return code == EXDEV || code == EPERM || code == EOPNOTSUPP || code == EMLINK;
}

// Puts the source's current content at name + ".bak", replacing an older
// backup in one step: staged under a fresh name first, never over an entry
// that exists.
bool KeepBackup(const FileHandle& folder, const std::string& name, const FileHandle& source,
                const FileMetadata& metadata, std::string& reason) {
    const std::string backup = name + BACKUP_SUFFIX;
    std::error_code error;
    OwnName staged(folder, source);
    if (LinkUnderFreshName(source, folder, backup, staged.name, error)) {
        if (!RenameInFolder(folder, staged.name, backup, error)) {
            return Failed(reason, "cannot replace the backup", error);
        }
        staged.kept = true;
        return true;
    }
    if (!IsLinkImpossible(error)) return Failed(reason, "cannot create the backup", error);
    error.clear();  // CopyContent reads a set error as a failed read
    TemporaryFile copy(folder);
    if (!copy.Create(backup, error)) return Failed(reason, "cannot create the backup", error);
    if (!source.Rewind(error) || !CopyContent(source, copy.File(), error) ||
        !ApplyFileMetadata(source, metadata, copy.File(), error) || !copy.File().Sync(error) ||
        !copy.GiveName(backup, error)) {
        return Failed(reason, "cannot write the backup", error);
    }
    if (!RenameInFolder(folder, copy.Name(), backup, error)) {
        return Failed(reason, "cannot replace the backup", error);
    }
    copy.Keep();
    return true;
}

// A small file in the target's own code (or in 7-bit text, which most byte
// codes read alike) is most likely right already, as on a second run over a
// tree: it is first converted into nothing, so that a file left as it was
// costs no temporary file.  Large files, and files that would change, go
// straight to their temporary file.
constexpr std::uint64_t PRECHECK_MAX_BYTES = 1024 * 1024;

bool WorthAPrecheck(const ConversionOptions& options, std::uint64_t size) {
    return size <= PRECHECK_MAX_BYTES &&
           (options.source == options.target || options.source == CODE_ASCII);
}

// Converts the file into nothing on a job of its own (its size bounds the
// time a cancel waits); true when its content is already what the conversion
// would write.  The source is rewound after.
bool AlreadyRight(const FileHandle& source, const ConversionOptions& options,
                  const JobSettings& settings, std::error_code& error) {
    ConvertJob probe;
    probe.settings = settings;
    probe.settings.strict = false;
    ProgressCounter uncounted;
    std::string reason;
    FileConversion conversion;
    const bool converted =
        ConvertFile(source, nullptr, options, probe, uncounted, reason, &conversion);
    return source.Rewind(error) && converted && conversion.unchanged &&
           conversion.replaced.count == 0;
}

}  // namespace

class PendingReplacement {
public:
    PendingReplacement(FileHandle folder, std::string name, FileHandle source, FileIdentity opened,
                       FileMetadata metadata)
        : folder_(std::move(folder)),
          name_(std::move(name)),
          source_(std::move(source)),
          opened_(opened),
          metadata_(metadata) {}

    FileHandle& Folder() { return folder_; }
    const std::string& Name() const { return name_; }
    const FileHandle& Source() const { return source_; }
    const FileIdentity& Opened() const { return opened_; }
    const FileMetadata& Metadata() const { return metadata_; }
    TemporaryFile& Temporary() { return temporary_; }

private:
    FileHandle folder_;  // every step is taken relative to it
    std::string name_;
    FileHandle source_;  // held open, and so locked, until the replacement is done
    FileIdentity opened_;
    FileMetadata metadata_;
    TemporaryFile temporary_{folder_};
};

void PendingReplacementDeleter::operator()(PendingReplacement* pending) const { delete pending; }

FileOutcome PrepareReplacement(const JobFile& file, ConvertJob& job, ProgressCounter& progress,
                               std::string& reason, PendingFile& pending,
                               ReplacedCharacters* replaced) {
    std::error_code error;
    const bool registered = file.identity.IsRecorded();
    // A path the user named and nobody registered: its links are followed now, once.
    const std::filesystem::path path = registered ? file.path : ResolveShortcut(file.path);
    if (path.empty()) {
        reason = "a link owned by another user in a shared folder is not followed";
        return FileOutcome::Failed;
    }
    FileHandle folder = FileHandle::OpenFolder(path.parent_path(), error);
    FileIdentity identity;
    if (!folder.IsOpen() || !folder.Identify(identity, error)) {
        if (error.value() == ELOOP && registered) {
            reason = CHANGED_SINCE_REGISTERED;  // a link put where the folder was
        } else {
            Failed(reason, "cannot open its folder", error);
        }
        return FileOutcome::Failed;
    }
    if (file.folder.IsRecorded() && !identity.SameFile(file.folder)) {
        reason = CHANGED_SINCE_REGISTERED;
        return FileOutcome::Failed;
    }
    const std::string name = path.filename().string();
    FileHandle source = FileHandle::OpenForReadingAt(folder, name, error);
    if (!source.IsOpen()) {
        // A link where the file was is not followed: someone put it there.
        if (error.value() == ELOOP && registered) {
            reason = CHANGED_SINCE_REGISTERED;
        } else {
            Failed(reason, "cannot open", error);
        }
        return FileOutcome::Failed;
    }
    if (!source.Identify(identity, error)) {
        Failed(reason, "cannot read the file's size and times", error);
        return FileOutcome::Failed;
    }
    if (registered && !identity.SameContent(file.identity)) {
        reason = CHANGED_SINCE_REGISTERED;
        return FileOutcome::Failed;
    }
    // A file that grows while it is read is read up to the size it had now.
    source.LimitReadingTo(identity.size);
    FileMetadata metadata;
    if (!ReadFileMetadata(source, metadata, error)) {
        Failed(reason, "cannot read the file's permissions and times", error);
        return FileOutcome::Failed;
    }
    if (IsReadOnly(metadata)) {
        reason = "the file is read-only";
        return FileOutcome::Failed;
    }
    if (job.settings.autoDetect && file.code != CODE_ERROR) {
        // Under the lock: the code it had at registration must still be the code it has.
        CodeConverter converter;
        if (DetectOpenFileCode(converter, source) != file.code) {
            reason = CHANGED_SINCE_REGISTERED;
            return FileOutcome::Failed;
        }
        if (!source.Rewind(error)) {
            Failed(reason, "cannot read", error);
            return FileOutcome::Failed;
        }
    }

    const ConversionOptions options = OptionsForFile(job.settings, file.code);
    if (WorthAPrecheck(options, identity.size) &&
        AlreadyRight(source, options, job.settings, error)) {
        RaiseProgress(job.progressPosition, progress.AddProgress(identity.size));
        return FileOutcome::Unchanged;
    }
    if (error) {
        Failed(reason, "cannot read", error);
        return FileOutcome::Failed;
    }
    PendingFile replacement(
        new PendingReplacement(std::move(folder), name, std::move(source), identity, metadata));
    TemporaryFile& temporary = replacement->Temporary();
    if (!temporary.Create(name, error)) {
        Failed(reason, "cannot create the temporary file", error);
        return FileOutcome::Failed;
    }
    FileConversion conversion;
    if (!ConvertFile(replacement->Source(), &temporary.File(), options, job, progress, reason,
                     &conversion)) {
        return FileOutcome::Failed;
    }
    if (job.cancel.load(std::memory_order_relaxed)) return FileOutcome::Cancelled;
    if (replaced != nullptr) *replaced = conversion.replaced;
    if (conversion.unchanged) return FileOutcome::Unchanged;  // the temporary file goes
    if (!ApplyFileMetadata(replacement->Source(), metadata, temporary.File(), error)) {
        Failed(reason, "cannot give the new content the file's permissions", error);
        return FileOutcome::Failed;
    }
    temporary.File().StartWriteback();
    pending = std::move(replacement);
    return FileOutcome::Converted;
}

bool CommitReplacement(PendingFile pending, bool backup, std::string& reason, FileHandle& folder) {
    std::error_code error;
    TemporaryFile& temporary = pending->Temporary();
    if (!temporary.File().Sync(error)) {
        return Failed(reason, "cannot flush the new content to the disk", error);
    }
    FileIdentity now;
    if (!pending->Source().Identify(now, error)) {
        return Failed(reason, "cannot read the file's size and times", error);
    }
    if (!now.SameContent(pending->Opened())) {
        reason = CHANGED_WHILE_CONVERTED;
        return false;
    }
    const std::string& name = pending->Name();
    if (backup &&
        !KeepBackup(pending->Folder(), name, pending->Source(), pending->Metadata(), reason)) {
        return false;
    }
    if (!temporary.GiveName(name, error)) {
        return Failed(reason, "cannot name the temporary file", error);
    }
    // The name must still lead to the file converted, not to one put in its place.
    if (!NameLeadsTo(pending->Folder(), name, pending->Opened())) {
        reason = CHANGED_WHILE_CONVERTED;
        return false;
    }
    if (!RenameInFolder(pending->Folder(), temporary.Name(), name, error)) {
        return Failed(reason, "cannot replace the file", error);
    }
    temporary.Keep();
    folder = std::move(pending->Folder());
    return true;
}

FileOutcome ConvertInPlace(const std::filesystem::path& path, ConvertJob& job,
                           ProgressCounter& progress, std::string& reason) {
    PendingFile pending;
    const FileOutcome outcome =
        PrepareReplacement({path.string(), path, CODE_ERROR}, job, progress, reason, pending);
    if (outcome != FileOutcome::Converted) return outcome;
    FileHandle folder;
    if (!CommitReplacement(std::move(pending), job.settings.backup, reason, folder)) {
        return FileOutcome::Failed;
    }
    // The rename is done; flushing the folder makes it survive a power loss.
    std::error_code ignored;
    SyncFolder(folder, ignored);
    return FileOutcome::Converted;
}

}  // namespace ruv
