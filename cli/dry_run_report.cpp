#include "cli/dry_run_report.h"

#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "cli/code_names.h"
#include "cli/file_messages.h"
#include "cli/interrupt_guard.h"
#include "cli/printable_name.h"
#include "cli/run_summary.h"
#include "detect/code_labels.h"
#include "job/dry_run.h"

namespace ruv {
namespace {

// What one file would become, for its line and its message.
struct Look {
    const char* state = DRY_SKIPPED;
    std::string lost = "-";
    std::string message;  // for standard error, after the file's name
    bool fails = false;
    bool notRight = false;  // would change or lose characters
};

Look LookAt(const CliOptions& options, const JobSettings& settings, const JobFile& file,
            std::size_t index, JobReport& tally) {
    Look look;
    if (file.code == CODE_BINARY) {
        look.message = "not text (binary)";
        tally.skipped.push_back(index);
        return look;
    }
    if (file.code == CODE_ERROR) {
        std::error_code error;
        look.fails = std::filesystem::symlink_status(file.path, error).type() ==
                     std::filesystem::file_type::not_found;
        look.message = "cannot be read: " + UnreadableReason(file.path);
        tally.skipped.push_back(index);
        return look;
    }
    const DryRunResult result = DryRunFile(file, settings);
    const ReplacedCharacters& lost = result.lost;
    if (!result.converted) {
        look.state = DRY_FAILS;
        look.fails = true;
        look.message = result.reason;
        if (settings.autoDetect && file.code == CODE_UNKNOWN) {
            look.message += " (its code could not be detected; name it with --from)";
        }
        tally.failures.push_back({index, result.reason});
        return look;
    }
    look.lost = std::to_string(lost.count);
    look.notRight = result.changed || lost.count != 0;
    if (lost.count != 0) {
        look.message = LostLine(lost, OptionsForFile(settings, file.code).source, options.target);
    }
    if (options.strict && lost.count != 0) {
        look.state = DRY_FAILS;
        look.fails = true;
        tally.failures.push_back({index, look.message});
    } else if (result.changed) {
        look.state = DRY_CHANGES;
        ++tally.converted;
        if (lost.count != 0) {
            tally.lost.push_back(
                {index, lost.count, lost.firstLine, lost.firstLineOffset, lost.firstHadNoCode});
        }
    } else {
        look.state = DRY_UNCHANGED;
        tally.unchanged.push_back(index);
    }
    return look;
}

}  // namespace

int ReportDryRun(const CliOptions& options, const std::vector<JobFile>& files, std::ostream& out,
                 std::ostream& err) {
    JobSettings settings;
    settings.autoDetect = !options.source.has_value();
    settings.conversion = {options.source.value_or(CODE_SJIS), options.target, options.newline,
                           options.foldHalfWidthKana};
    settings.strict = options.strict;
    const std::string target(ShortCodeName(options.target));

    InterruptGuard guard;  // nothing is written, but stop between files and say so
    JobReport tally;
    bool failed = false, notRight = false;
    std::size_t done = 0;
    for (; done < files.size() && !InterruptRequested(); ++done) {
        const JobFile& file = files[done];
        const Look look = LookAt(options, settings, file, done, tally);
        failed = failed || look.fails;
        notRight = notRight || look.notRight;
        const std::string name = PrintableName(file.name);
        if (!options.check || look.notRight || look.state == DRY_FAILS) {
            const KanjiCode label =
                IsSkippedCode(file.code) ? file.code : OptionsForFile(settings, file.code).source;
            out << CodeLabel(label) << "\t->\t" << target << '\t' << look.state << '\t' << look.lost
                << '\t' << name << '\n';
        }
        if (!look.message.empty()) {
            out.flush();
            err << "ruv-cli: " << (file.code == CODE_BINARY ? "skipped " : "") << name << ": "
                << PrintableName(look.message) << '\n';
        }
    }
    out.flush();
    if (files.size() > 1 && (options.verbose || ::isatty(STDERR_FILENO) != 0)) {
        err << "ruv-cli: " << SummaryLine(tally, true) << '\n';
    }
    if (done < files.size()) {
        err << "ruv-cli: interrupted after " << done << " of " << files.size()
            << (files.size() == 1 ? " file" : " files") << "; nothing was written\n";
        return EXIT_INTERRUPTED;
    }
    return failed || (options.check && notRight) ? EXIT_FILE_FAILED : EXIT_DONE;
}

}  // namespace ruv
