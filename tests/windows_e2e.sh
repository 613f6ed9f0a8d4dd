#!/usr/bin/env bash
# The Windows programs under wine give the Linux programs' bytes: varnik's three demo runs
# (result files and varnik.err) and geoid on 1,000,000 points with CR LF lines, tabs and
# D exponents. Prints the times of the large run on both.
# Usage: tests/windows_e2e.sh ROOT LINUX_BUILD WINDOWS_BUILD
set -euo pipefail
root=$1 linux=$2 windows=$3
export WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$windows/wine}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/linux" "$work/windows"
model=$root/data/egm96-de-15min.bin

varnik_runs() {  # program, folder
  local program=$1 dir=$2
  cd "$dir"
  printf '%s\n' "$model" "$root/data/points-ellipsoidal.txt" j j normal.txt | $program >/dev/null
  cp varnik.err err1.txt
  printf '%s\n' "$model" "$root/data/points-normal.txt" j n ellipsoidal.txt | $program >/dev/null
  printf '%s\n' "$model" "$root/data/points.txt" n n.txt | $program >/dev/null
  printf '%s\n' "$model" nix.txt | $program >/dev/null || true  # a failed run: its varnik.err
  cd - >/dev/null
}
varnik_runs "$linux/console/varnik" "$work/linux"
varnik_runs "wine $windows/console/varnik.exe" "$work/windows"
for f in normal.txt ellipsoidal.txt n.txt err1.txt varnik.err; do
  cmp "$work/linux/$f" "$work/windows/$f"
done

# Names with umlauts, given on the command line and typed at varnik's prompt.
cp "$root/data/points-ellipsoidal.txt" "$work/Höhen.txt"
(cd "$work" && wine "$windows/app/geoid.com" --modell "$model" --eingabe Höhen.txt --ausgabe windows/Ergebnis-Höhen.txt >/dev/null)
(cd "$work" && printf '%s\n' "$model" Höhen.txt j j windows/Ergebnis-ä.txt | wine "$windows/console/varnik.exe" >/dev/null)
"$linux/app/geoid" --modell "$model" --eingabe "$work/Höhen.txt" --ausgabe "$work/linux/Ergebnis-Höhen.txt" >/dev/null
cmp "$work/linux/Ergebnis-Höhen.txt" "$work/windows/Ergebnis-Höhen.txt"
cmp "$work/linux/normal.txt" "$work/windows/Ergebnis-ä.txt"

python3 - "$work/points.txt" <<'PY'
import random, sys
r = random.Random(7)
with open(sys.argv[1], "w", newline="") as f:
    for k in range(1000000):
        b, l, h = r.uniform(46.0, 57.0), r.uniform(2.0, 17.0), r.uniform(-50, 3000)
        if k % 3 == 0:
            f.write("P%d\t%.8f\t%.8f\t%.3f\r\n" % (k, b, l, h))
        else:
            f.write("P%d %.9f %.9fD0 %.4f\n" % (k, b, l, h))
PY
now() { date +%s.%N; }
t0=$(now)
"$linux/app/geoid" --modell "$model" --eingabe "$work/points.txt" --ausgabe "$work/linux/large.txt" --punktnummer 8 \
  --ausgabeformat 4 >/dev/null
t1=$(now)
(cd "$work" && wine "$windows/app/geoid.com" --modell "$model" --eingabe points.txt --ausgabe windows/large.txt \
  --punktnummer 8 --ausgabeformat 4 >/dev/null)
t2=$(now)
cmp "$work/linux/large.txt" "$work/windows/large.txt"
python3 -c "print('1,000,000 points: Linux %.2f s, wine %.2f s; results identical' % ($t1 - $t0, $t2 - $t1))"
echo "windows e2e ok: varnik's three runs and varnik.err, names with umlauts, geoid on 1,000,000 points"
