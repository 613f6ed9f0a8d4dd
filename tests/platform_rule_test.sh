#!/usr/bin/env bash
# The build's check that the operating system is reached only through textio/files.h: each
# case is a source file in a tree of its own, and the check must refuse exactly the breaches.
# Then the project's own tree must pass. Usage: platform_rule_test.sh SOURCE_DIR
set -uo pipefail
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0 n=0
# path in the tree | its text | refused (1) or allowed (0)
while IFS='|' read -r path text refused; do
  tree=$work/case$((++n))
  mkdir -p "$tree/$(dirname "$path")"
  printf '%b\n' "$text" > "$tree/$path"
  cmake -DROOT="$tree" -P "$src/cmake/platform_rule.cmake" >/dev/null 2>&1
  got=$(( $? != 0 ))
  if [ "$got" != "$refused" ]; then
    echo "FAILED: $path with '$text': refused $got, expected $refused"
    failed=1
  fi
done <<'CASES'
app/shell.cpp|#include <unistd.h>|1
geoidmodell/output.cpp|#include <sys/stat.h>|1
geoidmodell/common.h|  #  include <sys/types.h>|1
console/varnik.cpp|same_file(fileno(points_), name);|1
filecalc/x.cpp|return _fileno(f);|1
toolkit/win.cpp|#include <windows.h>|1
textio/reader.cpp|#include <io.h>|1
textio/files_posix.cpp|#include <sys/stat.h>\nint d = fileno(f);|0
textio/files_win32.cpp|#include <windows.h>|0
filecalc/command_line.cpp|#include <getopt.h>|0
filecalc/engine.cpp|#include <cstdio>\n#include <csignal>\n#include <filesystem>|0
app/places.cpp|// the stream's descriptor (no fileno here)\nint my_fileno_count = 0;|0
tests/cli_test.cpp|#include <unistd.h>|0
CASES
cmake -DROOT="$src" -P "$src/cmake/platform_rule.cmake" || { echo "FAILED: the project's own tree breaks the rule"; failed=1; }
[ $failed = 0 ] && echo "$n cases and the project's tree: the rule holds"
exit $failed
