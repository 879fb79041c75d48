// Replaces one file with its converted content, safely.
//
// At every instant the file's path holds either its complete old content or
// its complete new content: the converted text goes into a temporary file of
// ruv's own in the same folder (unnamed where the file system allows, else
// under a fresh random name ending in OWN_FILE_SUFFIX), which is flushed to
// the disk, given the source's permission bits, owner (where allowed) and
// times, named and renamed over the source in one step.  With a backup, the
// old content is at path + ".bak" (replacing an older backup) before the new
// content takes the path.  A failure or a cancel leaves the source untouched
// and no temporary file.  A file whose converted bytes are its current bytes
// is not replaced: its temporary file is dropped and no backup is made, so the
// file keeps its inode and times, and an older backup stays as it was.
//
// Every step is taken relative to the file's folder, opened once: the file is
// opened without following a link, and a file that is not the one registered
// (another file, a changed size or time, a code that changed under
// auto-detection) is refused, as is one that changes while it is converted.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "job/conversion_worker.h"
#include "job/convert_job.h"
#include "job/file_converter.h"
#include "job/progress_counter.h"
#include "platform/file_handle.h"
#include "platform/file_ops.h"

namespace ruv {

inline constexpr const char* TEMP_SUFFIX = OWN_FILE_SUFFIX;
inline constexpr const char* BACKUP_SUFFIX = ".bak";
inline constexpr const char* CHANGED_SINCE_REGISTERED = "changed since it was registered";
inline constexpr const char* CHANGED_WHILE_CONVERTED = "changed while it was being converted";

enum class FileOutcome { Converted, Unchanged, Cancelled, Failed };

// A file converted into its temporary file, with the source still open and
// locked, waiting to take the source's place.  Dropping it unused removes the
// temporary file and leaves the source as it was.
class PendingReplacement;
struct PendingReplacementDeleter {
    void operator()(PendingReplacement* pending) const;
};
using PendingFile = std::unique_ptr<PendingReplacement, PendingReplacementDeleter>;

// First step: converts the file into its temporary file (by the job's
// settings, from the code registered for it under auto-detection), gives that
// the source's permissions, owner and times, and starts writing it to the
// disk without waiting.  Converted: `pending` holds the file for the second
// step; Unchanged: the content is already what the conversion makes, and
// there is no second step.  A file without a recorded identity is taken as
// the user named it: a link the user named is followed once, here.  The
// characters the conversion replaced go to `replaced` when given.
FileOutcome PrepareReplacement(const JobFile& file, ConvertJob& job, ProgressCounter& progress,
                               std::string& reason, PendingFile& pending,
                               ReplacedCharacters* replaced = nullptr);

// Second step: waits until the new content is on the disk, keeps the backup if
// asked, and renames the temporary file over the source.  The folder that
// holds the file is handed back through `folder`; flush it (SyncFolder) once
// for all the files renamed in it.
bool CommitReplacement(PendingFile pending, bool backup, std::string& reason, FileHandle& folder);

// Both steps for one file the user named, and the flush of its folder.
FileOutcome ConvertInPlace(const std::filesystem::path& path, ConvertJob& job,
                           ProgressCounter& progress, std::string& reason);

}  // namespace ruv
