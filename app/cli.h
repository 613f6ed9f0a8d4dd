// geoid from the command line: one file computation, no window and no display.
#pragma once

namespace geoid {

/// True when the arguments ask for the command line rather than the window (any argument).
bool wants_command_line(int argc, char** argv);

/// Parses the options, checks the model as its selection does, runs the file computation and
/// returns the exit status: 0 after a completed run, 1 after a refused or broken-off one, 2 for
/// a usage error. Needs a QCoreApplication.
int run_command_line();

}  // namespace geoid
