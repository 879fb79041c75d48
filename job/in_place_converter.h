// Replaces one file with its converted content, safely.
//
// At every instant the file's path holds either its complete old content or
// its complete new content: the converted text goes into a temporary file
// beside it (path + ".)ruv("), which is flushed to the disk, given the
// source's permission bits, owner (where allowed) and times, and renamed over
// the source in one step.  With a backup, the old content is at path + ".bak"
// (replacing an older backup) before the new content takes the path.  A
// failure or a cancel leaves the source untouched and no temporary file.  A
// symbolic link is followed: its target is converted and the link stays.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "job/convert_job.h"
#include "job/progress_counter.h"

namespace ruv {

inline constexpr const char* TEMP_SUFFIX = ".)ruv(";
inline constexpr const char* BACKUP_SUFFIX = ".bak";

enum class FileOutcome { Converted, Cancelled, Failed };

// A file converted into its temporary file, with the source still open and
// locked, waiting to take the source's place.  Dropping it unused removes the
// temporary file and leaves the source as it was.
class PendingReplacement;
struct PendingReplacementDeleter {
    void operator()(PendingReplacement* pending) const;
};
using PendingFile = std::unique_ptr<PendingReplacement, PendingReplacementDeleter>;

// First step: converts the file at path into its temporary file, gives that
// the source's permissions, owner and times, and starts writing it to the disk
// without waiting.  Converted: `pending` holds the file for the second step.
FileOutcome PrepareReplacement(const std::filesystem::path& path, ConvertJob& job,
                               ProgressCounter& progress, std::string& reason,
                               PendingFile& pending);

// Second step: waits until the new content is on the disk, keeps the backup if
// asked, and renames the temporary file over the source.  The folder that
// holds the file is returned through `folder`; flush it (SyncFolder) once for
// all the files renamed in it.
bool CommitReplacement(PendingFile pending, bool backup, std::string& reason,
                       std::filesystem::path& folder);

// Both steps for one file, and the flush of its folder.
FileOutcome ConvertInPlace(const std::filesystem::path& path, ConvertJob& job,
                           ProgressCounter& progress, std::string& reason);

}  // namespace ruv
