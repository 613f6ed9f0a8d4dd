// geoid in a build without the desktop program (Windows, or -DGEOID_GUI=OFF): the file
// computation on the command line alone.
#include "filecalc/command_line.h"
#include "textio/files.h"
#include "version.h"

int main(int argc, char** argv)
{
    textio::prepare_console();
    if (argc < 2) return filecalc::run_without_window(argc > 0 ? argv[0] : "geoid");
    return filecalc::run_command_line(argc, argv, kGeoidVersion);
}
