#!/usr/bin/env bash
# The Windows console programs on a console of their own (wine's, on a terminal under tmux): an
# umlaut shows as its letter, not as its two UTF-8 bytes, while a pipe still gets the UTF-8
# bytes; varnik.exe on a console of its own (as after a double click) keeps its last words on
# the screen until a key is pressed, and started from cmd it ends at once.
# Usage: tests/windows_console.sh GEOID_COM VARNIK_EXE MODEL POINTS   (under WINEPREFIX)
set -euo pipefail
geoid=$(realpath "$1") varnik=$(realpath "$2") model=$(realpath "$3") points=$(realpath "$4")
export WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:?the wine prefix of the Windows build}
session=geoid-console-$$
work=$(mktemp -d)
cleanup() {
  tmux kill-session -t "$session" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "windows console: $*" >&2; exit 1; }
screen() { tmux capture-pane -p -t "$session"; }
wait_screen() {  # a text the console is to show
  for _ in $(seq 1 150); do
    screen | grep -qF -- "$1" && return 0
    sleep 0.2
  done
  fail "the console never showed \"$1\": $(screen)"
}
on_console() {  # a command line, run on a terminal of its own
  tmux kill-session -t "$session" 2>/dev/null || true
  tmux new-session -d -s "$session" -x 160 -y 40 "cd '$work' && $1; echo \"ENDE \$?\"; sleep 60"
}
answer() { tmux send-keys -t "$session" -l "$1"; tmux send-keys -t "$session" Enter; }
win() { winepath -w "$1"; }

# A message with an umlaut, on the console and into a pipe.
on_console "wine '$geoid' --modell fehlt.bin --eingabe x.txt --ausgabe y.txt"
wait_screen "ENDE 1"
screen | grep -qF "Fehler beim Öffnen der Datei: fehlt.bin" || fail "the umlaut is garbled on the console: $(screen)"
bytes=$(cd "$work" && wine "$geoid" --modell fehlt.bin --eingabe x.txt --ausgabe y.txt 2>&1 | od -An -tx1 | tr -d ' \n' || true)
case $bytes in *c39666666e656e*) ;; *) fail "a pipe did not get the UTF-8 bytes of Öffnen: $bytes";; esac

# varnik on a console of its own: after its last prompt it waits for a key.
varnik_run() {  # how varnik is started
  on_console "$1"
  wait_screen "Name der Geoiddatei:"
  answer "$(win "$model")"
  wait_screen "Punkten:"
  answer "$(win "$points")"
  wait_screen "(j/n):"
  answer j
  wait_screen "(j/n):"
  answer j
  wait_screen "Name der Ausgabedatei:"
  answer "$(win "$work")\\ergebnis-$2.txt"
}
varnik_run "wine '$varnik'" eigen
wait_screen " Taste druecken, um das Fenster zu schliessen."
sleep 1
screen | grep -q "ENDE" && fail "varnik ended before a key was pressed"
tmux send-keys -t "$session" x
wait_screen "ENDE 0"
[ -s "$work/ergebnis-eigen.txt" ] || fail "varnik wrote no result"

# Started from cmd, whose console it is, varnik ends at once.
cp "$varnik" "$work/varnik.exe"
varnik_run "wine cmd /c varnik.exe" cmd
wait_screen "ENDE 0"
screen | grep -qF "Taste druecken" && fail "varnik started from cmd waited for a key"
cmp "$work/ergebnis-eigen.txt" "$work/ergebnis-cmd.txt"
echo "windows console ok: umlauts on the console, UTF-8 into a pipe, varnik waits on its own console only"
