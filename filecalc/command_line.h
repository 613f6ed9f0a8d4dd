// geoid on the command line: one file computation, no window, no display and no toolkit. The
// options are parsed with getopt_long; every text comes from messages/command_line.h.
#pragma once

namespace filecalc {

/// Exit statuses of a command-line run.
inline constexpr int kCompleted = 0;
inline constexpr int kRefused = 1;          ///< refused, broken off, or the model changed during the run
inline constexpr int kUsage = 2;
inline constexpr int kModelReadErrors = 3;  ///< completed, but points met errors of the model file

/// Parses the options, checks the model as its selection in the window checks it, runs the
/// file computation and returns the exit status. `version` is what --version prints after
/// "geoid ".
int run_command_line(int argc, char** argv, const char* version);

/// geoid without options in a build without the window: says so and prints the help; kUsage.
int run_without_window(const char* program);

}  // namespace filecalc
