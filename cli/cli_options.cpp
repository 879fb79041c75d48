#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>
#include <thread>

#include "cli/code_names.h"

namespace ruv {
namespace {

// Each file under way or waiting holds a few descriptors open.
constexpr unsigned MAX_JOBS = 64;

}  // namespace

std::optional<int> ParseCommandLine(int argc, const char* const* argv, CliOptions& options,
                                    std::ostream& out, std::ostream& err) {
    CLI::App app{"Converts Japanese text files between kanji codes, in place.", "ruv-cli"};
    app.footer("CODE: " + std::string(CODE_NAME_LIST) +
               ", or a usual name such as utf-8, shift_jis,\n"
               "cp932, euc-jp, iso-2022-jp, utf-16le, utf-7 (in any case).\n"
               "Without --from, every file is converted from its own detected code. Files\n"
               "detected as binary are skipped and named. \"-\" reads standard input: converted\n"
               "to standard output, or detected with --detect.\n"
               "With -r a folder stands for every file below it, sorted by path; names\n"
               "starting with \".\" are skipped unless named, links inside are not followed.\n"
               "--include/--exclude match file names, shell-style, in any case (quote them).\n"
               "A character the target has no code for, or one not valid in the source, is\n"
               "replaced (\"?\", \"・\"); each file that lost characters is named with their\n"
               "count and the first one's line, and the run goes on. With --strict such a\n"
               "file fails instead and is left exactly as it was.\n"
               "-n and --check write nothing and print, per file: its code as --detect labels it\n"
               "(or --from's), \"->\", the target, changes|unchanged|skipped|fails, the count of\n"
               "characters it would lose (- when not known) and the path, tab-separated;\n"
               "reasons go to standard error. -n exits 0, --check 1 when a file would change\n"
               "or lose characters; with either, 1 when a file would fail (with --strict: lose\n"
               "a character) or does not exist; binary and unreadable files do not fail.\n"
               "Exit status: 0 all done; 1 a file could not be read or converted (the run\n"
               "stops at a failed file unless -k; unreadable files are named at the end),\n"
               "or --detect met an unreadable path; 2 bad usage; 130 interrupted before\n"
               "the last file was done (the file under way is left exactly as it was).\n");
    std::string to, from, newline = "keep";
    const CLI::Validator codes(
        [](std::string& name) {
            return CodeFromName(name) == CODE_ERROR ? "unknown code " + name : std::string();
        },
        "CODE");
    auto* toOption = app.add_option("--to", to, "the code to convert into")->check(codes);
    auto* fromOption =
        app.add_option("--from", from, "the code of every file (default: detect each)")
            ->check(codes);
    auto* newlineOption =
        app.add_option("--newline", newline,
                       "line ends to write: crlf, cr, lf, or keep each as it is (default keep)")
            ->check(CLI::IsMember({"crlf", "cr", "lf", "keep"}, CLI::ignore_case));
    auto* foldOption =
        app.add_flag("--fold-kana", options.foldHalfWidthKana,
                     "fold half-width katakana into full-width ones (Shift_JIS output)");
    auto* backupOption =
        app.add_flag("--backup", options.backup, "keep the previous content as PATH.bak");
    auto* keepOption = app.add_flag("-k,--keep-going", options.keepGoing,
                                    "go on after a file fails; list every failure at the end");
    auto* strictOption =
        app.add_flag("--strict", options.strict,
                     "fail a file that would lose a character, leaving it as it was");
    options.jobs = std::clamp(std::thread::hardware_concurrency(), 1u, MAX_JOBS);
    auto* jobsOption = app.add_option("-j,--jobs", options.jobs,
                                      "convert up to N files at once (default: the cores)")
                           ->type_name("N")
                           ->check(CLI::Range(1u, MAX_JOBS));
    auto* detectOption = app.add_flag(
        "--detect", options.detect, "print each file's detected code and its path; write nothing");
    auto* dryRunOption =
        app.add_flag("-n,--dry-run", options.dryRun,
                     "print what each file would become (see below); write nothing");
    auto* checkOption = app.add_flag("--check", options.check,
                                     "as -n, printing only files that would change or lose "
                                     "characters; exit 1 if any");
    app.set_version_flag("--version", "ruv-cli " RUV_VERSION, "print the version and exit");
    app.add_flag("-r,--recursive", options.walk.recursive,
                 "a folder stands for every file below it (names starting with \".\" skipped)");
    app.add_option("--include", options.walk.include,
                   "take only files whose name matches GLOB (repeatable; any case)")
        ->type_name("GLOB")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--exclude", options.walk.exclude,
                   "leave out files whose name matches GLOB (repeatable)")
        ->type_name("GLOB")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    auto* verboseOption = app.add_flag("--verbose", options.verbose,
                                       "end a run over several files with a summary line even when "
                                       "standard error is not a terminal");
    app.add_option("PATH", options.paths,
                   "files or folders (a folder's own files; with -r all below), or -")
        ->required();
    for (auto* option : {toOption, fromOption, newlineOption, foldOption, backupOption, keepOption,
                         strictOption, verboseOption, dryRunOption, checkOption, jobsOption}) {
        detectOption->excludes(option);
    }
    dryRunOption->excludes(checkOption);
    try {
        app.parse(argc, argv);
        if (!options.detect && to.empty()) throw CLI::RequiredError("--to");
        const bool stdinMode =
            std::find(options.paths.begin(), options.paths.end(), "-") != options.paths.end();
        if (stdinMode && options.paths.size() != 1) {
            throw CLI::ValidationError("-", "standard input is read alone, without other paths");
        }
        if (stdinMode && options.backup)
            throw CLI::ValidationError("--backup", "there is no file to back up");
        if (stdinMode && (options.dryRun || options.check)) {
            throw CLI::ValidationError("-", "-n and --check look at files, not standard input");
        }
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << '\n';
        return EXIT_DONE;
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return EXIT_DONE;
    } catch (const CLI::ParseError& e) {
        err << "ruv-cli: " << e.what() << "\nRun with --help for more information.\n";
        return EXIT_USAGE;
    }
    if (!to.empty()) options.target = CodeFromName(to);
    if (!from.empty()) options.source = CodeFromName(from);
    const std::string nl = CLI::detail::to_lower(newline);
    options.newline = nl == "crlf" ? Newline::Crlf
                      : nl == "cr" ? Newline::Cr
                      : nl == "lf" ? Newline::Lf
                                   : Newline::Keep;
    return std::nullopt;
}

}  // namespace ruv
