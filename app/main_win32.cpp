// geoid.exe on Windows: the desktop program; with options, one file computation without any
// window (for a caller that starts geoid.exe itself; typed in a console, "geoid" finds the
// console companion geoid.com first).
#include "app/shell.h"
#include "filecalc/command_line.h"
#include "version.h"

int main(int argc, char** argv)
{
    if (argc > 1) return filecalc::run_command_line(argc, argv, kGeoidVersion);
    geoid::register_resources();
    geoid::run();
    return 0;
}
