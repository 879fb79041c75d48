#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "cli/code_names.h"

namespace ruv {

std::optional<int> ParseCommandLine(int argc, const char* const* argv, CliOptions& options,
                                    std::ostream& out, std::ostream& err) {
    CLI::App app{"Converts Japanese text files between kanji codes, in place.", "ruv-cli"};
    app.footer(
        "CODE: jis | sjis | euc | unicode | utf8 | utf7\n"
        "Without --from, every file is converted from its own detected code. Files\n"
        "detected as binary or unreadable are skipped and named. \"-\" converts\n"
        "standard input to standard output.\n"
        "Exit status: 0 all done, 1 a file could not be converted (later files are\n"
        "left untouched), 2 bad usage, 130 interrupted (the file under way is left\n"
        "exactly as it was).");
    std::string to, from, newline = "crlf";
    const auto codes = CLI::IsMember(CodeNames(), CLI::ignore_case);
    auto* toOption = app.add_option("--to", to, "the code to convert into")->check(codes);
    auto* fromOption = app.add_option("--from", from, "the code of every file (default: detect each)")->check(codes);
    auto* newlineOption = app.add_option("--newline", newline, "line ends to write (default crlf)")
                              ->check(CLI::IsMember({"crlf", "cr", "lf"}, CLI::ignore_case));
    auto* foldOption = app.add_flag("--fold-kana", options.foldKana,
                                    "fold half-width katakana into full-width ones (Shift_JIS output)");
    auto* backupOption = app.add_flag("--backup", options.backup, "keep the previous content as PATH.bak");
    auto* detectOption = app.add_flag("--detect", options.detect,
                                      "print each file's detected code and its path; write nothing");
    app.add_option("PATH", options.paths, "files or folders (a folder's own files), or -")->required();
    for (auto* option : {toOption, fromOption, newlineOption, foldOption, backupOption}) {
        detectOption->excludes(option);
    }
    try {
        app.parse(argc, argv);
        if (!options.detect && to.empty()) throw CLI::RequiredError("--to");
        const bool stdinMode = std::find(options.paths.begin(), options.paths.end(), "-") != options.paths.end();
        if (stdinMode && (options.paths.size() != 1 || options.detect)) {
            throw CLI::ValidationError("-", "standard input is converted alone, and not with --detect");
        }
        if (stdinMode && options.backup) throw CLI::ValidationError("--backup", "there is no file to back up");
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return EXIT_DONE;
    } catch (const CLI::ParseError& e) {
        err << "ruv-cli: " << e.what() << "\nRun with --help for more information.\n";
        return EXIT_USAGE;
    }
    if (!to.empty()) options.target = CodeFromName(CLI::detail::to_lower(to));
    if (!from.empty()) options.source = CodeFromName(CLI::detail::to_lower(from));
    const std::string nl = CLI::detail::to_lower(newline);
    options.newline = nl == "crlf" ? 0 : nl == "cr" ? 1 : 2;
    return std::nullopt;
}

}  // namespace ruv
