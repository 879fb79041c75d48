#include "cli/cli_app.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <ostream>
#include <thread>

#include "cli/progress_bar.h"
#include "detect/code_detector.h"
#include "detect/code_labels.h"
#include "job/file_converter.h"
#include "job/job_runner.h"
#include "job/registration.h"

namespace ruv {
namespace {

constexpr auto POLL_PERIOD = std::chrono::milliseconds(20);

volatile std::sig_atomic_t interruptSignal = 0;

extern "C" void OnInterrupt(int signal) { interruptSignal = signal; }

// While alive, Ctrl-C, SIGTERM and SIGHUP ask the run to stop instead of
// killing the process in the middle of a file.
class InterruptGuard {
public:
    InterruptGuard() {
        interruptSignal = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &previous_[i]);
    }
    ~InterruptGuard() {
        for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    static constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction previous_[3] {};
};

int Detect(const std::vector<JobFile>& files, std::ostream& out) {
    for (const JobFile& file : files) out << CodeLabel(file.code) << '\t' << file.name << '\n';
    return EXIT_DONE;
}

int ConvertFiles(const CliOptions& options, std::vector<JobFile> files, std::ostream& err) {
    JobSettings settings;
    settings.autoDetect = !options.source.has_value();
    settings.sourceCode = options.source.value_or(CODE_SJIS);
    settings.targetCode = options.target;
    settings.newlineIndex = options.newline;
    settings.halfWidthKana = options.foldKana;
    settings.backup = options.backup;

    InterruptGuard guard;
    JobRunner runner;
    if (!runner.Start(std::move(files), settings)) return EXIT_DONE;
    {
        ProgressBar bar(stderr);
        while (runner.IsBusy()) {
            if (interruptSignal != 0) runner.RequestCancel();
            const std::int32_t current = runner.CurrentFile();
            bar.Show(runner.ProgressPosition(), runner.ProgressMaximum(),
                     current >= 0 ? runner.Files()[current].name : std::string());
            std::this_thread::sleep_for(POLL_PERIOD);
        }
        runner.Wait();
    }
    const JobReport& report = runner.Report();
    for (std::size_t index : report.skipped) {
        const JobFile& file = runner.Files()[index];
        err << "ruv-cli: skipped " << file.name << ": "
            << (file.code == CODE_BINARY ? "not text (binary)" : "cannot be read") << '\n';
    }
    switch (runner.Outcome()) {
        case JobOutcome::Cancelled:
            err << "ruv-cli: interrupted; the file under way was left as it was\n";
            return EXIT_INTERRUPTED;
        case JobOutcome::Failed: {
            const JobFile& file = runner.Files()[static_cast<std::size_t>(report.failedIndex)];
            err << "ruv-cli: " << file.name << ": " << report.failure;
            if (settings.autoDetect && file.code == CODE_UNKNOWN) {
                err << " (its code could not be detected; name it with --from)";
            }
            err << "\nruv-cli: stopped; later files were left untouched\n";
            return EXIT_FILE_FAILED;
        }
        case JobOutcome::Done:
            break;
    }
    return EXIT_DONE;
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
    job.sourceCode = source;
    job.targetCode = options.target;
    job.newlineIndex = options.newline;
    job.halfWidthKana = options.foldKana;
    ProgressCounter progress;
    std::string reason;
    int status = EXIT_DONE;
    if (error) {
        err << "ruv-cli: standard input: cannot read: " << error.message() << '\n';
        status = EXIT_FILE_FAILED;
    } else if (source == CODE_BINARY) {
        err << "ruv-cli: standard input: not text (binary)\n";
        status = EXIT_FILE_FAILED;
    } else if (!ConvertFile({head.data(), headLength}, in, out, job, progress, reason)) {
        err << "ruv-cli: standard input: " << reason << '\n';
        status = EXIT_FILE_FAILED;
    }
    in.Release();  // the descriptors belong to the process
    out.Release();
    return status;
}

}  // namespace

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err) {
    if (options.paths.size() == 1 && options.paths[0] == "-") return ConvertStream(options, err);
    std::vector<JobFile> files = RegisterPaths(options.paths);
    if (options.detect) return Detect(files, out);
    return ConvertFiles(options, std::move(files), err);
}

}  // namespace ruv
