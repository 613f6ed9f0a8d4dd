// geoid.com on Windows, beside geoid.exe: what cmd and PowerShell start when "geoid" is typed
// (they try .com before .exe). With options it runs the file computation on this console, its
// output, pipes, waiting and exit status as any console program's; alone it opens the window,
// geoid.exe, and returns at once.
#include <cstdio>

#include "filecalc/command_line.h"
#include "messages/messages.h"
#include "messages/command_line.h"
#include "textio/files.h"
#include "version.h"

int main(int argc, char** argv)
{
    textio::prepare_console();
    if (argc > 1) return filecalc::run_command_line(argc, argv, kGeoidVersion);
    const std::string window = textio::program_folder() + "\\geoid.exe";
    if (textio::start_program(window)) return 0;
    std::fprintf(stderr, "%s\n", messages::fill(messages::cli::kWindowNotStarted, {window}).c_str());
    return 2;
}
