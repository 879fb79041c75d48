#include "job/dry_run.h"

#include "job/progress_counter.h"
#include "platform/file_handle.h"

namespace ruv {

DryRunResult DryRunFile(const JobFile& file, const JobSettings& settings) {
    DryRunResult result;
    if (file.code == CODE_BINARY) {
        result.reason = "not text (binary)";
        return result;
    }
    std::error_code error;
    const FileHandle source = FileHandle::OpenForReading(file.path, error);
    if (!source.IsOpen()) {
        result.reason = "cannot open: " + error.message();
        return result;
    }
    if (file.code == CODE_ERROR) {
        result.reason = "cannot be read";  // unreadable at registration
        return result;
    }
    ConvertJob job;
    job.settings = settings;
    job.settings.strict = false;
    ProgressCounter progress;
    FileConversion conversion;
    result.converted = ConvertFile(source, nullptr, OptionsForFile(settings, file.code), job,
                                   progress, result.reason, &conversion);
    result.changed = !conversion.unchanged;
    result.lost = conversion.replaced;
    return result;
}

}  // namespace ruv
