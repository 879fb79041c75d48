#include "cli/cli_app.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <ostream>
#include <thread>

#include "cli/dry_run_report.h"
#include "cli/file_messages.h"
#include "cli/interrupt_guard.h"
#include "cli/printable_name.h"
#include "cli/progress_bar.h"
#include "cli/run_summary.h"
#include "detect/code_detector.h"
#include "detect/code_labels.h"
#include "job/file_converter.h"
#include "job/job_runner.h"
#include "job/registration.h"

namespace ruv {
namespace {

constexpr auto POLL_PERIOD = std::chrono::milliseconds(20);

const char* ExclusionReason(Exclusion excluded) {
    switch (excluded) {
        case Exclusion::Backup: return "a backup is never converted";
        case Exclusion::OwnFile: return "a temporary file of ruv is never converted";
        default: return "files with this extension are never converted";
    }
}

int DetectStandardInput(std::ostream& out) {
    const auto converter = std::make_unique<CodeConverter>();
    FileHandle in(STDIN_FILENO);
    const KanjiCode code = DetectOpenFileCode(*converter, in);
    in.Release();  // the descriptor belongs to the process
    out << CodeLabel(code) << "\t-\n";
    return code == CODE_ERROR ? EXIT_FILE_FAILED : EXIT_DONE;
}

int Detect(const std::vector<JobFile>& files, std::ostream& out, std::ostream& err) {
    int status = EXIT_DONE;
    for (const JobFile& file : files) {
        out << CodeLabel(file.code) << '\t' << PrintableName(file.name) << '\n';
        if (file.code == CODE_ERROR) {
            out.flush();
            err << "ruv-cli: " << PrintableName(file.name) << ": " << UnreadableReason(file.path)
                << '\n';
            status = EXIT_FILE_FAILED;
        }
    }
    return status;
}

// The files' count, as "1 file" or "N files".
std::string Files(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

int ConvertFiles(const CliOptions& options, std::vector<JobFile> files, std::ostream& err) {
    JobSettings settings;
    settings.autoDetect = !options.source.has_value();
    settings.conversion = {options.source.value_or(CODE_SJIS), options.target, options.newline,
                           options.foldHalfWidthKana};
    settings.backup = options.backup;
    settings.keepGoing = options.keepGoing;
    settings.strict = options.strict;
    settings.jobs = options.jobs;

    InterruptGuard guard;
    JobRunner runner;
    if (!runner.Start(std::move(files), settings)) return EXIT_DONE;
    {
        ProgressBar bar(stderr);
        while (runner.IsBusy()) {
            if (InterruptRequested()) runner.RequestCancel();
            const std::int32_t current = runner.CurrentFile();
            bar.Show(runner.ProgressPosition(), runner.ProgressMaximum(),
                     current >= 0 ? runner.Files()[current].name : std::string());
            std::this_thread::sleep_for(POLL_PERIOD);
        }
        runner.Wait();
    }
    const JobReport& report = runner.Report();
    const auto name = [&](std::size_t index) { return PrintableName(runner.Files()[index].name); };
    // Skipped and failed files, in the order of the files.
    std::vector<std::pair<std::size_t, std::string>> lines;
    bool unreadable = false;
    for (std::size_t index : report.skipped) {
        const JobFile& file = runner.Files()[index];
        if (file.code == CODE_BINARY) {
            lines.emplace_back(index, "skipped " + name(index) + ": not text (binary)");
        } else {
            lines.emplace_back(index,
                               name(index) + ": cannot be read: " + UnreadableReason(file.path));
            unreadable = true;
        }
    }
    for (const JobFailure& failure : report.failures) {
        std::string line = name(failure.index) + ": " + PrintableName(failure.reason);
        if (settings.autoDetect && runner.Files()[failure.index].code == CODE_UNKNOWN) {
            line += " (its code could not be detected; name it with --from)";
        }
        lines.emplace_back(failure.index, std::move(line));
    }
    for (const LostCharacters& lost : report.lost) {
        const KanjiCode source = OptionsForFile(settings, runner.Files()[lost.index].code).source;
        const ReplacedCharacters replaced{lost.count, lost.firstLine, lost.firstLineOffset,
                                          lost.firstHadNoCode};
        lines.emplace_back(lost.index,
                           name(lost.index) + ": " + LostLine(replaced, source, options.target));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& line : lines) err << "ruv-cli: " << line.second << '\n';
    if (runner.Files().size() > 1 && (options.verbose || ::isatty(STDERR_FILENO) != 0)) {
        err << "ruv-cli: " << SummaryLine(report) << '\n';
    }

    switch (runner.Outcome()) {
        case JobOutcome::Cancelled: {
            const bool underWay = report.cancelledIndex >= 0;
            const std::size_t untouched = runner.Files().size() - report.converted -
                                          report.unchanged.size() - report.failures.size() -
                                          report.skipped.size() - (underWay ? 1 : 0);
            err << "ruv-cli: interrupted: " << report.converted << " of "
                << Files(runner.Files().size()) << " converted";
            if (underWay) {
                err << "; " << name(static_cast<std::size_t>(report.cancelledIndex))
                    << " was under way and was left as it was";
            }
            if (untouched > 0) err << "; " << Files(untouched) << " not reached";
            err << '\n';
            return EXIT_INTERRUPTED;
        }
        case JobOutcome::Failed:
            if (options.keepGoing) {
                err << "ruv-cli: " << Files(report.failures.size()) << " failed, "
                    << Files(report.converted) << " converted";
                if (!report.unchanged.empty()) {
                    err << ", " << Files(report.unchanged.size()) << " unchanged";
                }
                err << '\n';
            } else {
                err << "ruv-cli: stopped; later files were left untouched\n";
            }
            return EXIT_FILE_FAILED;
        case JobOutcome::Done:
            if (InterruptRequested()) {
                err << "ruv-cli: interrupted after the last file; every file was done\n";
            }
            break;
    }
    return unreadable ? EXIT_FILE_FAILED : EXIT_DONE;
}

// Standard input to standard output; the head is read first for detection
// when no source code is given.
int ConvertStream(const CliOptions& options, std::ostream& err) {
    FileHandle in(STDIN_FILENO);
    FileHandle out(STDOUT_FILENO);
    std::array<std::uint8_t, HEAD_BUFFER_BYTES> head{};
    std::error_code error;
    const std::size_t headLength = in.ReadSome(head.data(), HEAD_READ_BYTES, error);
    KanjiCode source = options.source.value_or(CODE_ERROR);
    if (!error && !options.source) {
        source = DetectCode(head.data(), static_cast<std::int32_t>(headLength));
    }
    ConvertJob job;
    // A guessed UTF-7 source is read strictly.
    job.settings.autoDetect = !options.source.has_value();
    job.settings.strict = options.strict;
    const ConversionOptions conversion{source, options.target, options.newline,
                                       options.foldHalfWidthKana};
    ProgressCounter progress;
    std::string reason;
    FileConversion result;
    const ReplacedCharacters& lost = result.replaced;
    int status = EXIT_DONE;
    if (error) {
        err << "ruv-cli: standard input: cannot read: " << error.message() << '\n';
        status = EXIT_FILE_FAILED;
    } else if (source == CODE_BINARY) {
        err << "ruv-cli: standard input: not text (binary)\n";
        status = EXIT_FILE_FAILED;
    } else if (!ConvertFile({head.data(), headLength}, in, &out, conversion, job, progress, reason,
                            &result)) {
        err << "ruv-cli: standard input: " << reason << '\n';
        status = EXIT_FILE_FAILED;
    } else if (lost.count != 0) {
        err << "ruv-cli: standard input: " << LostLine(lost, source, options.target) << '\n';
    }
    in.Release();  // the descriptors belong to the process
    out.Release();
    return status;
}

}  // namespace

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err) {
    if (!options.detect && options.paths.size() == 1 && options.paths[0] == "-") {
        return ConvertStream(options, err);
    }
    if (options.detect && options.paths.size() == 1 && options.paths[0] == "-") {
        return DetectStandardInput(out);
    }
    // Backups, ruv's temporaries and other excluded files are never converted,
    // even when named: say so, and go on (a skip is no failure).  A folder that
    // cannot be listed registers no file: name it, and fail the run at the end.
    int status = EXIT_DONE;
    std::vector<RefusedPath> refused;
    std::vector<JobFile> files = RegisterPaths(options.paths, &refused, options.walk);
    for (const RefusedPath& path : refused) {
        if (path.error) {
            err << "ruv-cli: " << PrintableName(path.path)
                << ": cannot be read: " << path.error.message() << '\n';
            status = EXIT_FILE_FAILED;
        } else {
            err << "ruv-cli: skipped " << PrintableName(path.path) << ": "
                << ExclusionReason(path.excluded) << '\n';
        }
    }
    const int run = options.detect ? Detect(files, out, err)
                    : options.dryRun || options.check
                        ? ReportDryRun(options, files, out, err)
                        : ConvertFiles(options, std::move(files), err);
    return std::max(run, status);  // 130 outranks 1
}

}  // namespace ruv
