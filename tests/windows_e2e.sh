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

# Gauß-Krüger and other systems through PROJ: in every zone, both ways, by format and by EPSG
# code, and a refusal; results, messages (operation lines included) and exit status as on Linux.
printf '%s\n' '2512345.678 5512345.678 100' '3512345.678 5412345.678 100' '4512345.000 5812345.000 100' \
  '5400000.000 5700000.000 100' > "$work/gk.txt"
cp "$root/data/koordinaten-format-2-bl-dezimal.txt" "$work/bl.txt"
crs_runs=(
  "--eingabe gk.txt --eingabeformat 8 --ausgabeformat 2"
  "--eingabe gk.txt --eingabeformat 8 --ausgabeformat 4 --zonenkennung"
  "--eingabe bl.txt --eingabeformat 2 --ausgabeformat 8"
  "--eingabe bl.txt --eingabeformat 2 --ausgabe-crs EPSG:31468"
  "--eingabe gk.txt --eingabe-crs EPSG:31467 --ausgabe-crs EPSG:4258"
  "--eingabe gk.txt --eingabe-crs EPSG:99999"
)
for k in "${!crs_runs[@]}"; do
  args=${crs_runs[$k]}
  linux_status=0 windows_status=0
  (cd "$work" && "$linux/app/geoid" --modell "$model" $args --ausgabe linux/crs$k.txt >linux/crs$k.out 2>linux/crs$k.err) || linux_status=$?
  (cd "$work" && wine "$windows/app/geoid.com" --modell "$model" $args --ausgabe windows/crs$k.txt >windows/crs$k.out 2>windows/crs$k.err) \
    || windows_status=$?
  [ "$linux_status" = "$windows_status" ] || { echo "$args: exit status $windows_status under wine, $linux_status on Linux"; exit 1; }
  for part in out err; do
    cmp <(tr -d '\r' < "$work/windows/crs$k.$part") "$work/linux/crs$k.$part" || { echo "$args: standard $part differs"; exit 1; }
  done
  if [ -f "$work/linux/crs$k.txt" ] || [ -f "$work/windows/crs$k.txt" ]; then cmp "$work/linux/crs$k.txt" "$work/windows/crs$k.txt"; fi
done
grep -q "BETA2007.gsb" "$work/windows/crs0.err" || { echo "no operation line through BeTA2007 under wine"; exit 1; }

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
echo "windows e2e ok: varnik's three runs and varnik.err, names with umlauts, Gauß-Krüger and CRSs through PROJ, geoid on 1,000,000 points"
