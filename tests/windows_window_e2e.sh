#!/usr/bin/env bash
# geoid.exe from the Windows ZIP under wine on a virtual display, driven by the keyboard alone as
# an office user would: the model chosen through the file dialog, a point computed and N read
# back through the clipboard, a file computed through both file dialogs and compared byte for
# byte with the Linux program's result; "Beenden" ends the program. Also: geoid.exe is a window
# program and geoid.com a console program, and neither needs a DLL beyond Windows' own; typed in
# cmd, "geoid" runs geoid.com there (its help, its exit status); PROJ's data is found beside the
# programs wherever the ZIP was unpacked.
# With SHOTS=<folder>, the point form and the file form are saved there as PNG.
# Usage: tests/windows_window_e2e.sh ZIP LINUX_GEOID
set -euo pipefail
zip=$1 linux_geoid=$2
export WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:?the wine prefix of the Windows build}
work=$(mktemp -d)
xvfb=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "windows window e2e: $*" >&2; exit 1; }

# The ZIP unpacked into a folder whose name has a blank, as users' folders do.
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work/Mein Ordner"
folder=$(echo "$work/Mein Ordner"/geoid-*-win64)
[ -f "$folder/geoid.exe" ] && [ -f "$folder/geoid.com" ] || fail "geoid.exe and geoid.com are not in the ZIP"

# The PE subsystem (2: window, 3: console) and the DLLs each program imports.
subsystem() { python3 -c 'import struct, sys
d = open(sys.argv[1], "rb").read()
print(struct.unpack_from("<H", d, struct.unpack_from("<I", d, 0x3c)[0] + 24 + 68)[0])' "$1"; }
[ "$(subsystem "$folder/geoid.exe")" = 2 ] || fail "geoid.exe is not a window program"
[ "$(subsystem "$folder/geoid.com")" = 3 ] || fail "geoid.com is not a console program"
system_dlls='^(ADVAPI32|COMCTL32|comdlg32|GDI32|KERNEL32|msvcrt|ole32|OLEAUT32|SHELL32|USER32|WS2_32)\.dll$'
for program in geoid.exe geoid.com varnik.exe; do
  x86_64-w64-mingw32-objdump -p "$folder/$program" | sed -n 's/^\s*DLL Name: //p' | grep -Eiv "$system_dlls" \
    && fail "$program needs a DLL beyond Windows' own"
done

# Typed in cmd, "geoid" with options is geoid.com on that console: its output, its exit status.
help=$(cd "$folder" && wine cmd /c "geoid /?" 2>&1 | tr -d '\r')
case "$help" in *"Aufruf: "*"--modell"*) ;; *) fail "geoid /? in cmd did not show the help";; esac
# cmd /c ends with the ERRORLEVEL its command left.
status=0
(cd "$folder" && wine cmd /c "geoid --modell fehlt.bin --eingabe daten\\points.txt --ausgabe aus.txt" >/dev/null 2>&1) || status=$?
[ "$status" = 1 ] || fail "cmd saw ERRORLEVEL $status after a refused run, not 1"

# PROJ's data is found beside the programs, in a folder with a blank and an umlaut, with no
# setting in the environment: Gauß-Krüger through BeTA2007.
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work/Vermessung Süd"
south=$(echo "$work/Vermessung Süd"/geoid-*-win64)
(cd "$south" && env -u PROJ_DATA -u PROJ_LIB wine geoid.com --modell 'daten\egm96-de-15min.bin' --eingabeformat 8 \
  --eingabe 'daten\koordinaten-format-8-gauss-krueger-dhdn.txt' --ausgabe ergebnis.txt >/dev/null 2>"$work/gk.err") \
  || fail "Gauß-Krüger failed in a folder with an umlaut: $(cat "$work/gk.err")"
grep -q "BETA2007.gsb" "$work/gk.err" || fail "no operation through BeTA2007: $(cat "$work/gk.err")"

# A display of its own, and a wine of its own on it (a wine left running from an earlier run
# would keep showing windows on the display it started with).
wineserver -k 2>/dev/null || true
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
read -r -t 20 display <&3 || fail "no virtual display"
xvfb=$(pgrep -n -x Xvfb)
export DISPLAY=:$display

wait_for() {  # window title (a regular expression); prints the window
  local w
  for _ in $(seq 1 300); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  fail "no window \"$1\""
}
keys() { xdotool windowfocus --sync "$1"; shift; xdotool key --delay 60 "$@"; }
typed() { xdotool windowfocus --sync "$1"; xdotool type --delay 25 "$2"; }
copied() {  # the focused field's text through the clipboard
  printf 'leer' | xclip -selection clipboard -i >/dev/null 2>&1
  keys "$1" ctrl+a ctrl+c
  sleep 0.5
  xclip -selection clipboard -o 2>/dev/null
}
shot() { [ -n "${SHOTS:-}" ] && sleep 0.5 && import -window "$1" "$SHOTS/$2" || true; }

(cd "$folder" && exec wine geoid.exe >/dev/null 2>&1) &
start=$(wait_for '^Quasigeoidhöhenberechnung$')

# The model, through the file dialog: its full path typed (a folder with a blank) and Return.
keys "$start" alt+q
dialog=$(wait_for '^Name des Geoidmodells$')
typed "$dialog" "$(winepath -w "$folder/daten/egm96-de-15min.bin")"
keys "$dialog" Return
sleep 1

# A point: B, L, h typed, Return computes and the keyboard returns to B; from there Shift+Tab
# goes back past the radio button and X, Y, Z round to the button, H and N, which are read back
# through the clipboard (without the blanks that pad them).
keys "$start" alt+i
point=$(wait_for '^Quasigeoidberechnung Interaktive Eingabe')
typed "$point" '52.5163'; keys "$point" Tab
typed "$point" '13.3777'; keys "$point" Tab
typed "$point" '80.412'; keys "$point" Return
sleep 1
keys "$point" shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
h=$(copied "$point")
keys "$point" shift+Tab
n=$(copied "$point")
[ "$n" = 39.561 ] && [ "$h" = 40.851 ] || fail "N '$n' and H '$h' instead of 39.561 and 40.851"
shot "$point" windows-point-form.png

# A file: both names through the file dialogs, then "Berechnen" and the closing message.
keys "$point" alt+d
file=$(wait_for '^Quasigeoidberechnung Dateieingabe$')
keys "$file" alt+e
dialog=$(wait_for '^Name der Koordinatendatei$')
typed "$dialog" "$(winepath -w "$folder/daten/koordinaten-format-2-bl-dezimal.txt")"
keys "$dialog" Return
sleep 1
keys "$file" alt+u
dialog=$(wait_for '^Name der Ergebnisdatei$')
typed "$dialog" "$(winepath -w "$folder/Ergebnis.txt")"
keys "$dialog" Return
sleep 1
shot "$file" windows-file-form.png
keys "$file" alt+r
done_box=$(wait_for '^Berechnung beendet$')
keys "$done_box" Return

# A long run: the progress dialog appears, Escape stops it as "Abbrechen" does; the lines of the
# points computed so far stay in the new result, fewer than the input has.
python3 -c 'import sys
with open(sys.argv[1], "w") as f:
    for k in range(6000000): f.write("%.6f %.6f 100.0\n" % (47.5 + (k % 800) * 0.01, 6.0 + (k % 900) * 0.01))' "$folder/viele.txt"
keys "$file" alt+e
dialog=$(wait_for '^Name der Koordinatendatei$')
typed "$dialog" "$(winepath -w "$folder/viele.txt")"
keys "$dialog" Return
sleep 1
keys "$file" alt+u
dialog=$(wait_for '^Name der Ergebnisdatei$')
typed "$dialog" "$(winepath -w "$folder/viele-Ergebnis.txt")"
keys "$dialog" Return
sleep 1
keys "$file" alt+r
progress=$(wait_for '^Berechnung$')
keys "$progress" Escape
done_box=$(wait_for '^Berechnung beendet$')
keys "$done_box" Return
lines=$(wc -l < "$folder/viele-Ergebnis.txt")
[ "$lines" -gt 0 ] && [ "$lines" -lt 6000000 ] || fail "Escape in the progress dialog left $lines lines, not a part of 6000000"
keys "$file" alt+b
for _ in $(seq 1 50); do pgrep -f 'geoid\.exe' >/dev/null || break; sleep 0.2; done
pgrep -f 'geoid\.exe' >/dev/null && fail "geoid.exe did not end on Beenden"

"$linux_geoid" --modell "$folder/daten/egm96-de-15min.bin" --eingabe "$folder/daten/koordinaten-format-2-bl-dezimal.txt" \
  --ausgabe "$work/linux.txt" >/dev/null
cmp "$work/linux.txt" "$folder/Ergebnis.txt" || fail "the file form's result differs from Linux's"
echo "windows window e2e ok: model, point (N $n, H $h), file through the file dialogs as on Linux, Escape stops a long run after $lines points, Beenden"
