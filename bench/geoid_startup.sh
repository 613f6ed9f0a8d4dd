#!/usr/bin/env bash
# Time from starting geoid to its first shown window, on a virtual X display; median of N runs.
# Usage: bench/geoid_startup.sh [runs]   (builds first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-9}
if [ "${STARTUP_INNER:-}" != 1 ]; then
  "$root/scripts/setup"
  "$root/scripts/build" >/dev/null
  exec env STARTUP_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$runs"
fi
export XDG_RUNTIME_DIR=$(mktemp -d)
times=()
for _ in $(seq "$runs"); do
  t0=$(date +%s%N)
  "$root/build/app/geoid" 2>/dev/null &
  pid=$!
  # Poll every 10 ms (xdotool's own --sync waits in steps of half a second).
  until xdotool search --onlyvisible --name '^Quasigeoidhöhenberechnung$' >/dev/null 2>&1; do sleep 0.01; done
  t1=$(date +%s%N)
  kill "$pid"; wait "$pid" 2>/dev/null || true
  times+=($(( (t1 - t0) / 1000000 )))
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "start to first window (ms), $runs runs: $(echo $sorted)"
echo "median: $(echo "$sorted" | sed -n "$(( (runs + 1) / 2 ))p") ms"
