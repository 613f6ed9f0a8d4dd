// varnik: normal heights from ellipsoidal heights (or back) for a whole point file, after a
// short dialogue on the terminal. Takes no arguments but --help and --version.
#include <cstdio>
#include <cstring>
#include <string>

#include "console/varnik.h"
#include "textio/files.h"
#include "messages/messages.h"
#include "messages/varnik.h"
#include "version.h"

int main(int argc, char** argv)
{
    textio::prepare_console();
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        textio::write_text(stdout, messages::varnik::kHelp);
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-v") == 0)) {
        textio::write_text(stdout, std::string("varnik ") + kGeoidVersion + "\n");
        return 0;
    }
    if (argc > 1) {
        textio::write_text(stderr, messages::fill(messages::varnik::kUnknownArgument, {argv[1]}));
        return 2;
    }
    // Interrupted, the run leaves no file beside an older result, which stays as it was.
    textio::remove_temporary_on_signals();
    const int status = run_varnik(stdin, stdout);
    // A console window made for varnik alone (a double click) closes when it ends: the result
    // or the reason stays readable until a key is pressed.
    if (textio::console_is_own()) {
        textio::write_text(stdout, messages::varnik::kPressAKey);
        textio::wait_for_key();
    }
    return status;
}
