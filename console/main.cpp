// varnik: normal heights from ellipsoidal heights (or back) for a whole point file, after a
// short dialogue on the terminal. Takes no arguments but --help and --version.
#include <cstdio>
#include <cstring>

#include "console/varnik.h"
#include "textio/files.h"
#include "messages/varnik.h"
#include "version.h"

int main(int argc, char** argv)
{
    textio::prepare_console();
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(messages::varnik::kHelp, stdout);
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-v") == 0)) {
        std::printf("varnik %s\n", kGeoidVersion);
        return 0;
    }
    if (argc > 1) {
        std::fprintf(stderr, messages::varnik::kUnknownArgument, argv[1]);
        return 2;
    }
    // Interrupted, the run leaves no file beside an older result, which stays as it was.
    textio::remove_temporary_on_signals();
    return run_varnik(stdin, stdout);
}
