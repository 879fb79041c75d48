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
#include <string>

#include "job/convert_job.h"
#include "job/progress_counter.h"

namespace ruv {

inline constexpr const char* TEMP_SUFFIX = ".)ruv(";
inline constexpr const char* BACKUP_SUFFIX = ".bak";

enum class FileOutcome { Converted, Cancelled, Failed };

// Converts the file at path in place by the job's settings; on failure the
// reason says what went wrong.
FileOutcome ConvertInPlace(const std::filesystem::path& path, ConvertJob& job,
                           ProgressCounter& progress, std::string& reason);

}  // namespace ruv
