#!/usr/bin/env bash
# The file computation of geoid on the command line against cct (PROJ's coordinate converter,
# writing its own output file) on the same 1,000,000 points and the sample model as a GTX grid:
#   format 2 -> 2 (B, L, h in, B, L, h, H, N out) against cct's vertical grid shift;
#   format 4 -> 3 (UTM32 in, degrees/minutes/seconds out) against cct's inverse UTM and shift;
#   a spreadsheet's list (header, point numbers, semicolons, decimal commas) into a table,
#   against cct's shift of the same points from its plain file;
#   normal heights and zone-numbered eastings, format 5 -> 5, against cct's inverse UTM and
#   shift from H to h;
#   Gauß-Krüger zone 3 on DHDN through BeTA2007 (format 8 -> 2) against cct's pipeline of inverse
#   Gauß-Krüger, the BeTA2007 shift and the vertical shift.
# Five runs of each, alternating; medians and the ratio of points per second. Then peak memory
# for 1,000 and 1,000,000 points, and the time from pressing "Berechnen" in the real file form
# (offscreen) to its closing box for 1,000,000 points.
# Usage: bench/geoid_vs_cct.sh [points]   (default 1,000,000; builds first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
npoints=${1:-1000000}
"$root/scripts/setup"
cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DGEOID_BENCH=ON -DBUILD_TESTING=OFF -DGEOID_GUI=ON >/dev/null
cmake --build "$root/build-bench" -j"$(nproc)" --target geoid form_timing >/dev/null
geoid=$root/build-bench/app/geoid
work=$root/build/bench-e2e
mkdir -p "$work" && cd "$work"
export -n DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM 2>/dev/null || true
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

[ -f sample.bin ] || cp "$root/data/egm96-de-15min.bin" sample.bin
[ -f sample.gtx ] || python3 "$root/bench/model2gtx.py" sample.bin sample.gtx
points() {  # count, file[, west, east, north]: B L h in Germany
  python3 - "$1" "$2" "${3:-5.0}" "${4:-15.0}" "${5:-55.9}" <<'PY'
import random, sys
n, path, west, east, north = int(sys.argv[1]), sys.argv[2], float(sys.argv[3]), float(sys.argv[4]), float(sys.argv[5])
r = random.Random(12345)
with open(path, "w") as f:
    for _ in range(n):
        f.write("%.7f %.7f %.3f\n" % (r.uniform(47.3, north), r.uniform(west, east), r.uniform(0, 1000)))
PY
}
for n in 1000 "$npoints"; do
  [ -f "blh-$n.txt" ] || points "$n" "blh-$n.txt"
  if [ ! -f "utm-$n.txt" ]; then  # the same points in UTM32, north before east
    "$geoid" --modell sample.bin --eingabe "blh-$n.txt" --ausgabe utm-tmp.txt --ausgabeformat 4 >/dev/null
    awk '{ print $1, $2, $3 }' utm-tmp.txt > "utm-$n.txt" && rm utm-tmp.txt
  fi
  # East before north, as format 5 and cct read them; with the zone number in front for geoid.
  [ -f "utm5-$n.txt" ] || awk '{ print $2, $1, $3 }' "utm-$n.txt" > "utm5-$n.txt"
  [ -f "utmz-$n.txt" ] || awk '{ printf "32%s %s %s\n", $1, $2, $3 }' "utm5-$n.txt" > "utmz-$n.txt"
  # Gauß-Krüger zone 3 (the band around 9° east, within the BeTA2007 grid): Rechtswert,
  # Hochwert, h.
  if [ ! -f "gk-$n.txt" ]; then
    points "$n" gk-blh.txt 7.6 10.4 55.0
    "$geoid" --modell sample.bin --eingabe gk-blh.txt --ausgabe gk-tmp.txt --ausgabeformat 8 >/dev/null 2>&1
    awk '{ print $1, $2, $3 }' gk-tmp.txt > "gk-$n.txt" && rm gk-tmp.txt gk-blh.txt
  fi
  # A spreadsheet's list: a header line, point numbers, semicolons, decimal commas.
  [ -f "list-$n.csv" ] || { echo "Punkt;B;L;h"; awk '{ printf "P%d;%s;%s;%s\n", NR, $1, $2, $3 }' "blh-$n.txt" | tr . ,; } > "list-$n.csv"
done

now() { date +%s.%N; }
compare() {  # title, geoid args, cct args[, header lines of geoid's result]
  local title=$1 gargs=$2 cargs=$3 header=${4:-0} tg=() tc=()
  for k in 1 2 3 4 5; do
    rm -f out-geoid.txt out-cct.txt
    t0=$(now); "$geoid" $gargs --ausgabe out-geoid.txt >/dev/null; t1=$(now)
    cct -t 0 -o out-cct.txt $cargs 2>/dev/null; t2=$(now)
    tg+=("$(python3 -c "print($t1 - $t0)")") tc+=("$(python3 -c "print($t2 - $t1)")")
  done
  python3 "$root/bench/compare.py" "$title" "$npoints" geoid "$(( $(wc -l < out-geoid.txt) - header ))" "${tg[*]}" "cct -o" \
    "$(wc -l < out-cct.txt)" "${tc[*]}"
}
compare "format 2 -> 2" "--modell sample.bin --eingabe blh-$npoints.txt" \
  "-c 2,1,3 +proj=vgridshift +grids=./sample.gtx +multiplier=-1 blh-$npoints.txt"
compare "format 4 -> 3" "--modell sample.bin --eingabe utm-$npoints.txt --eingabeformat 4 --ausgabeformat 3" \
  "-c 2,1,3 +proj=pipeline +step +inv +proj=utm +zone=32 +ellps=GRS80 +step +proj=vgridshift +grids=./sample.gtx +multiplier=-1 utm-$npoints.txt"

compare "semicolon list with header and decimal commas -> table" \
  "--modell sample.bin --eingabe list-$npoints.csv --trennzeichen semikolon --kopfzeilen 1 --punktnummer 1 --tabelle" \
  "-c 2,1,3 +proj=vgridshift +grids=./sample.gtx +multiplier=-1 blh-$npoints.txt" 1
compare "normal heights, UTM32 with zone numbers (format 5 -> 5)" \
  "--modell sample.bin --eingabe utmz-$npoints.txt --eingabeformat 5 --ausgabeformat 5 --zonenkennung --normalhoehen" \
  "-c 1,2,3 +proj=pipeline +step +inv +proj=utm +zone=32 +ellps=GRS80 +step +proj=vgridshift +grids=./sample.gtx +multiplier=1 utm5-$npoints.txt"
compare "Gauss-Krueger DHDN zone 3 through BeTA2007 (format 8 -> 2)" \
  "--modell sample.bin --eingabe gk-$npoints.txt --eingabeformat 8" \
  "+proj=pipeline +step +inv +proj=tmerc +lat_0=0 +lon_0=9 +k=1 +x_0=3500000 +y_0=0 +ellps=bessel +step +proj=hgridshift +grids=BETA2007.gsb +step +proj=vgridshift +grids=./sample.gtx +multiplier=-1 +step +proj=unitconvert +xy_in=rad +xy_out=deg gk-$npoints.txt"

for n in 1000 "$npoints"; do
  m=$(/usr/bin/time -f %M "$geoid" --modell sample.bin --eingabe "blh-$n.txt" --ausgabe out-peak.txt 2>&1 >/dev/null | tail -1)
  echo "peak RSS, $n points: $m KiB"
done
QT_QPA_PLATFORM=offscreen "$root/build-bench/bench/form_timing" sample.bin "blh-$npoints.txt" out-form.txt 2 2 2>/dev/null \
  | sed 's/^/file form: /'
