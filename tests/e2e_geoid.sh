#!/usr/bin/env bash
# End-to-end smoke test: the real geoid on a virtual X display, driven with xdotool as a user
# would: choose the sample model through the file dialog, open Info, open the point form, type
# a latitude outside the checks' bounds and press Return, "Beenden". A listener on the
# accessibility bus (AT-SPI, its own D-Bus session) checks that the reason under the field is
# announced as an alert. Usage: e2e_geoid.sh GEOID_BINARY SCREENSHOTS_TOOL SAMPLE_MODEL
set -euo pipefail
if [ -z "${DISPLAY:-}" ] || [ "${E2E_INNER:-}" != 1 ]; then
  exec env E2E_INNER=1 dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
geoid=$1 tool=$2 model=$3
work=$(mktemp -d)
trap 'kill "$pid" "${bus:-}" "${listener:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/xdg && mkdir -m 700 "$XDG_RUNTIME_DIR"
setxkbmap de 2>/dev/null || true
cp "$model" "$work/modell.bin"
cd "$work"

# Centres of the menu commands relative to the window, as Qt lays them out on this display.
declare -A menu
while read -r text x y; do menu[$text]="$x $y"; done < <("$tool" --menu-geometry 2>/dev/null)

fail() {
  echo "FAIL: $*"
  [ -s "$work/stderr.txt" ] && tail -40 "$work/stderr.txt"
  exit 1
}
find_window() {  # title regex; waits up to 5 s
  local id
  id=$(timeout 5 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1) || true
  [ -n "$id" ] || fail "no window '$1'"
  echo "$id"
}
gone() {  # title regex; waits up to 5 s for it to disappear
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window '$1' still open"
}
click_menu() {  # window id, command
  local pos=${menu[$2]:-}
  [ -n "$pos" ] || fail "no menu command $2"
  # shellcheck disable=SC2086
  xdotool mousemove --window "$1" $pos click 1
}

# The accessibility bus, and a listener on it for what a screen reader is told of alerts.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
sleep 1
/usr/bin/python3 "$(dirname "$0")/a11y_listen.py" 60 >"$work/alerts.txt" 2>&1 &
listener=$!
for _ in $(seq 50); do grep -q listening "$work/alerts.txt" 2>/dev/null && break; sleep 0.1; done

# With the bridge to the accessibility bus, Qt keeps a few objects of its own until exit (88 and
# 20 bytes in libQt6Gui, no frame of ours): a sanitizer build does not count them as leaks here;
# every other suite checks leaks as usual.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$geoid" 2>"$work/stderr.txt" &
pid=$!
win=$(find_window '^Quasigeoidhöhenberechnung$')
xdotool windowfocus --sync "$win" 2>/dev/null || true

# Choose the model through Qt's own file dialog.
click_menu "$win" Quasigeoidmodell
dlg=$(find_window '^Name des Geoidmodells$')
sleep 0.3
xdotool type --delay 20 "$work/modell.bin"
sleep 0.3
xdotool key Return
sleep 0.5
# A completion list may have taken the first Return.
if xdotool search --onlyvisible --name '^Name des Geoidmodells$' >/dev/null 2>&1; then xdotool key Return; fi
gone '^Name des Geoidmodells$'
echo "ok: model chosen through the file dialog ($dlg)"

# Info opens and closes.
click_menu "$win" Info
find_window '^Info$' >/dev/null
xdotool key Escape
gone '^Info$'
echo "ok: Info"

# The point form opens only when the model was accepted.
click_menu "$win" Interaktive_Eingabe
form=$(find_window '^Quasigeoidberechnung Interaktive Eingabe - Koordinaten im ETRS89$')
echo "ok: point form"

# A latitude outside the bounds, then Return: the reason appears under the column and is
# announced as an alert.
xdotool windowfocus --sync "$form" 2>/dev/null || true
xdotool type --delay 20 "99"
xdotool key Return
reason='B: Zahl zwischen 47.23 und 55.98'
for _ in $(seq 50); do grep -qF "alert|object:property-change:accessible-name|$reason" "$work/alerts.txt" && break; sleep 0.1; done
grep -qF "alert|object:property-change:accessible-name|$reason" "$work/alerts.txt" ||
  fail "no alert on the accessibility bus: $(cat "$work/alerts.txt")"
echo "ok: the reason is announced on the accessibility bus"

click_menu "$form" Beenden
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "geoid still running after Beenden"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
echo "ok: Beenden, exit status 0"
echo "1 passed, 0 failed"
