#!/usr/bin/env bash
# Two builds of geoid on the command line against each other, on the inputs that
# bench/geoid_vs_cct.sh made (run it first): the five runs of that script, each with both
# programs in turn, nine times; medians, the ratio of points per second, and whether their
# result files are the same byte for byte. For a change that must keep results and speed.
# Usage: bench/geoid_ab.sh OLD_GEOID NEW_GEOID [points]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
old=$(realpath "$1") new=$(realpath "$2") npoints=${3:-1000000}
cd "$root/build/bench-e2e"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
now() { date +%s.%N; }
ab() {  # title, geoid args[, header lines of the result]
  local title=$1 args=$2 header=${3:-0} ta=() tb=()
  for k in 1 2 3 4 5 6 7 8 9; do
    rm -f out-a.txt out-b.txt
    t0=$(now); "$old" $args --ausgabe out-a.txt >/dev/null 2>&1; t1=$(now)
    "$new" $args --ausgabe out-b.txt >/dev/null 2>&1; t2=$(now)
    ta+=("$(python3 -c "print($t1 - $t0)")") tb+=("$(python3 -c "print($t2 - $t1)")")
  done
  python3 "$root/bench/compare.py" "$title" "$npoints" new "$(( $(wc -l < out-b.txt) - header ))" "${tb[*]}" old \
    "$(( $(wc -l < out-a.txt) - header ))" "${ta[*]}"
  cmp -s out-a.txt out-b.txt && echo "  results identical" || { echo "  RESULTS DIFFER"; exit 1; }
}
ab "format 2 -> 2" "--modell sample.bin --eingabe blh-$npoints.txt"
ab "format 4 -> 3" "--modell sample.bin --eingabe utm-$npoints.txt --eingabeformat 4 --ausgabeformat 3"
ab "semicolon list -> table" \
  "--modell sample.bin --eingabe list-$npoints.csv --trennzeichen semikolon --kopfzeilen 1 --punktnummer 1 --tabelle" 1
ab "normal heights, zone-numbered UTM32 (5 -> 5)" \
  "--modell sample.bin --eingabe utmz-$npoints.txt --eingabeformat 5 --ausgabeformat 5 --zonenkennung --normalhoehen"
ab "Gauss-Krueger zone 3 (8 -> 2)" "--modell sample.bin --eingabe gk-$npoints.txt --eingabeformat 8"
