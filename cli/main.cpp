// ruv-cli: converts Japanese text files between kanji codes from a terminal.
#include <iostream>

#include "cli/cli_app.h"
#include "cli/cli_options.h"

int main(int argc, char** argv) {
    ruv::CliOptions options;
    if (const auto status = ruv::ParseCommandLine(argc, argv, options, std::cout, std::cerr)) {
        return *status;
    }
    return ruv::RunCli(options, std::cout, std::cerr);
}
