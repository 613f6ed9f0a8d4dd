#!/usr/bin/env bash
# varnik end to end against cct (PROJ's coordinate converter, writing its own output file as
# its users run it on big files) on the same random points in Germany, mode 2 (H = h - N),
# on three models: the sample model (15'), a dense 20" model over the same area (18 MB of
# nodes, more than the 16 MiB a run holds) and a 6" model (192 MiB), each also written as a GTX
# grid for cct. Five runs of each program, alternating; medians and the ratio of points per
# second; both must have written every line.
# Then the peak memory of varnik and of geoid's file computation for 1,000 and for all points
# on these models, a 3.6" model (534 MiB) and a sparse model too large for any cache.
# With OLD_VARNIK=path: the result files and terminal output of that build and of this one,
# compared byte for byte in all three modes (points outside the model included).
#
# Usage: bench/varnik_vs_cct.sh [points]     (default 1,000,000; builds first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
npoints=${1:-1000000}
"$root/scripts/setup"
cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DGEOID_BENCH=ON -DBUILD_TESTING=OFF \
  -DGEOID_GUI=ON >/dev/null
cmake --build "$root/build-bench" -j"$(nproc)" --target varnik geoid geoidmodell make_dense_model >/dev/null
varnik=$root/build-bench/console/varnik
geoid=$root/build-bench/app/geoid
work=$root/build/bench-e2e
mkdir -p "$work" && cd "$work"

[ -f sample.bin ] || cp "$root/data/egm96-de-15min.bin" sample.bin
[ -f dense.bin ] || "$root/build-bench/bench/make_dense_model" sample.bin dense.bin
[ -f m192.bin ] || "$root/build-bench/bench/make_dense_model" sample.bin m192.bin 6
[ -f m534.bin ] || "$root/build-bench/bench/make_dense_model" sample.bin m534.bin 3.6
# A model too large to hold (2" spacing, 1.8 GB of nodes, all zero): read window by window.
# A sparse file, so it takes no room on the disk.
if [ ! -f huge.bin ]; then
  python3 -c "
import struct, sys
open('huge.bin', 'wb').write(struct.pack('<18i', 46, 30, 0, 56, 30, 0, 2, 30, 0, 16, 30, 0, 0, 0, 2000000, 0, 0, 2000000))"
  truncate -s $((4 * (18 + 18001 * 25201))) huge.bin
fi
for m in sample dense; do
  [ -f "$m.gtx" ] || python3 "$root/bench/model2gtx.py" "$m.bin" "$m.gtx"
done
[ -f m192.gtx ] || "$root/build-bench/geoidmodell/geoidmodell" m192.bin m192.gtx

make_points() {  # count, file, share outside the model
  python3 - "$1" "$2" "${3:-0}" <<'PY'
import random, sys
n, path, outside = int(sys.argv[1]), sys.argv[2], float(sys.argv[3])
r = random.Random(12345)
with open(path, "w") as f:
    for _ in range(n):
        if r.random() < outside:
            b, l = r.uniform(44.0, 59.0), r.uniform(0.0, 19.0)
        else:
            b, l = r.uniform(47.3, 55.9), r.uniform(3.3, 15.1)
        f.write("%.7f %.7f %.3f\n" % (b, l, r.uniform(0, 1000)))
PY
}
[ -f "points-$npoints.txt" ] || make_points "$npoints" "points-$npoints.txt"
[ -f points-1000.txt ] || make_points 1000 points-1000.txt

now() { date +%s.%N; }
run_varnik() {  # model, points file, answers for the heights
  rm -f out-varnik.txt
  printf '%s\n' "$1.bin" "$2" j j out-varnik.txt | "$varnik" >/dev/null
}
run_cct() {  # model, points file
  rm -f out-cct.txt
  cct -t 0 -c 2,1,3 -o out-cct.txt +proj=vgridshift +grids="./$1.gtx" +multiplier=-1 "$2" 2>/dev/null
}

for m in sample dense m192; do
  tv=() tc=()
  for k in 1 2 3 4 5; do
    t0=$(now); run_varnik "$m" "points-$npoints.txt"; t1=$(now); run_cct "$m" "points-$npoints.txt"; t2=$(now)
    tv+=("$(python3 -c "print($t1 - $t0)")") tc+=("$(python3 -c "print($t2 - $t1)")")
  done
  lv=$(wc -l < out-varnik.txt) lc=$(wc -l < out-cct.txt)
  python3 "$root/bench/compare.py" "model $m" "$npoints" varnik "$lv" "${tv[*]}" "cct -o" "$lc" "${tc[*]}"
done

peak() {  # model, points file: peak RSS in KiB
  rm -f out-peak.txt
  printf '%s\n' "$1.bin" "$2" j j out-peak.txt | /usr/bin/time -f %M "$varnik" 2>&1 >/dev/null | tail -1
}
geoid_peak() {  # model, points file: peak RSS in KiB of the command-line file computation
  /usr/bin/time -f %M env -u DISPLAY "$geoid" --modell "$1.bin" --eingabe "$2" --ausgabe out-peak.txt 2>&1 >/dev/null | tail -1
}
for m in sample dense m192 m534 huge; do
  a=$(peak "$m" points-1000.txt); b=$(peak "$m" "points-$npoints.txt")
  echo "peak RSS varnik $m: 1,000 points ${a} KiB; $npoints points ${b} KiB; difference $((b - a)) KiB"
  a=$(geoid_peak "$m" points-1000.txt); b=$(geoid_peak "$m" "points-$npoints.txt")
  echo "peak RSS geoid  $m: 1,000 points ${a} KiB; $npoints points ${b} KiB; difference $((b - a)) KiB"
done

if [ -n "${OLD_VARNIK:-}" ]; then
  [ -f compare.txt ] || make_points "$npoints" compare.txt 0.01
  for answers in "n" "j j" "j n"; do
    for prog in "$OLD_VARNIK" "$varnik"; do
      tag=$([ "$prog" = "$varnik" ] && echo new || echo old)
      rm -f "cmp-$tag.txt"
      # shellcheck disable=SC2086
      printf '%s\n' sample.bin compare.txt $answers "cmp-$tag.txt" | "$prog" > "term-$tag.txt" || true
    done
    if cmp -s cmp-old.txt cmp-new.txt && cmp -s term-old.txt term-new.txt; then
      echo "answers '$answers': result files ($(wc -l < cmp-new.txt) lines) and terminal output identical"
    else
      echo "answers '$answers': DIFFERENT"; exit 1
    fi
  done
fi
