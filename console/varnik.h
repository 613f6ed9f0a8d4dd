// varnik's dialogue and point loop, callable in-process (the program's main, tests and the
// fuzzing harness): answers come from `in`, terminal texts go to `out`, files are named
// relative to the current directory, where varnik.err is written.
#pragma once

#include <cstdio>

/// Runs one whole dialogue and returns the exit status: 0 after a normal run, 1 after
/// " Programmabbruch!".
int run_varnik(std::FILE* in, std::FILE* out);
