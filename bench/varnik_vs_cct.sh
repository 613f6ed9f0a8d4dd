#!/usr/bin/env bash
# varnik end to end on 1,000,000 random points in Germany (mode 2) against cct on the same
# points and the same model as a GTX grid; then varnik's peak memory on 1,000 and 1,000,000
# points. Usage: bench/varnik_vs_cct.sh [points]   (run from anywhere; builds first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
npoints=${1:-1000000}
"$root/scripts/setup"
"$root/scripts/build" >/dev/null
varnik=$root/build/console/varnik
work=$root/build/bench-e2e
mkdir -p "$work" && cd "$work"

python3 "$root/bench/model2gtx.py" "$root/data/egm96-de-15min.bin" model.gtx
make_points() {  # count, file
  python3 - "$1" "$2" <<'PY'
import random, sys
n, path = int(sys.argv[1]), sys.argv[2]
r = random.Random(12345)
with open(path, "w") as f:
    for _ in range(n):
        f.write("%.7f %.7f %.3f\n" % (r.uniform(47.3, 55.9), r.uniform(3.3, 15.1), r.uniform(0, 1000)))
PY
}
[ -f "points-$npoints.txt" ] || make_points "$npoints" "points-$npoints.txt"
[ -f points-1000.txt ] || make_points 1000 points-1000.txt

seconds() {  # command...; prints wall seconds
  local t0 t1
  t0=$(date +%s.%N); "$@"; t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l 2>/dev/null || python3 -c "print($t1 - $t0)"
}
run_varnik() {
  rm -f "out-$1.txt"
  printf '%s\n' "$root/data/egm96-de-15min.bin" "points-$1.txt" j j "out-$1.txt" | "$varnik" >/dev/null
}
run_cct() {
  # -t 0: this cct needs a time value when only three columns are named.
  cct -t 0 -c 2,1,3 +proj=vgridshift +grids=./model.gtx +multiplier=-1 "points-$npoints.txt" >cct-out.txt
}

best_v=1e9; best_c=1e9
for k in 1 2 3; do
  v=$(seconds run_varnik "$npoints"); c=$(seconds run_cct)
  best_v=$(python3 -c "print(min($best_v, $v))"); best_c=$(python3 -c "print(min($best_c, $c))")
done
python3 - "$npoints" "$best_v" "$best_c" <<'PY'
import sys
n, v, c = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3])
print(f"points: {n}")
print(f"varnik: {v:.3f} s  {n / v:,.0f} points/s (best of 3)")
print(f"cct:    {c:.3f} s  {n / c:,.0f} points/s (best of 3)")
print(f"ratio varnik/cct (points per second): {c / v:.2f}")
PY
wc -l < "out-$npoints.txt" | xargs echo "result lines:"

peak() { rm -f "out-$1.txt"; printf '%s\n' "$root/data/egm96-de-15min.bin" "points-$1.txt" j j "out-$1.txt" \
  | /usr/bin/time -f %M "$varnik" 2>&1 >/dev/null | tail -1; }
m1=$(peak 1000); m2=$(peak "$npoints")
echo "peak RSS: 1,000 points ${m1} KiB; $npoints points ${m2} KiB; difference $((m2 - m1)) KiB"
