// What ruv-cli does once its command line is read: detect, convert files in
// place through the same job as the window, or convert standard input.
#pragma once

#include <iosfwd>

#include "cli/cli_options.h"

namespace ruv {

// Runs the command; returns the exit status.  Messages go to err, the output
// of --detect to out.
int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace ruv
