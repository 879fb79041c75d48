// ruv-cli's command line.
//
//   ruv-cli --to CODE [--from CODE] [--newline crlf|cr|lf|keep] [--fold-kana] [--backup] [-k]
//           [--strict] [-j N] [-r] [--include GLOB]... [--exclude GLOB]... [--verbose] [-n |
//           --check] PATH...
//   ruv-cli --detect [-r] [--include GLOB]... [--exclude GLOB]... PATH...   (or -)
//   ruv-cli --to CODE [--from CODE] [--newline ...] -        (standard input to output)
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "engine/conversion_options.h"
#include "engine/kanji_code.h"
#include "job/registration.h"

namespace ruv {

inline constexpr int EXIT_DONE = 0;
inline constexpr int EXIT_FILE_FAILED = 1;  // also: a path could not be read
inline constexpr int EXIT_USAGE = 2;
inline constexpr int EXIT_INTERRUPTED = 130;

struct CliOptions {
    bool detect = false;
    KanjiCode target = CODE_ERROR;
    std::optional<KanjiCode> source;  // none: each file's detected code
    Newline newline = Newline::Keep;  // each line end as it was found, unless asked
    bool foldHalfWidthKana = false;
    bool backup = false;
    bool keepGoing = false;          // a failed file does not stop the run
    bool strict = false;             // a file that would lose a character fails
    bool verbose = false;            // the closing summary even when stderr is no terminal
    bool dryRun = false;             // -n: say what each file would become, write nothing
    bool check = false;              // as dryRun, naming only files not yet right; 1 if any
    unsigned jobs = 1;               // files converted at once (-j; default: the cores)
    WalkRules walk;                  // -r, --include, --exclude
    std::vector<std::string> paths;  // "-" alone: standard input
};

// Parses the arguments; returns an exit status when the program should end
// at once (help shown: 0; bad usage, with the reason on err: 2).
std::optional<int> ParseCommandLine(int argc, const char* const* argv, CliOptions& options,
                                    std::ostream& out, std::ostream& err);

}  // namespace ruv
