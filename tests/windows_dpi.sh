#!/usr/bin/env bash
# The window's suite on the Win32 controls at 150 % and 200 % (wine's LogPixels 144 and 192):
# every digit still shows in its field, every window stays on the screen (scrolling what does
# not fit), and a point still computes. The scale is set back to 100 % at the end.
# Usage: tests/windows_dpi.sh WINDOW_TEST_EXE   (under WINEPREFIX, on a display)
set -euo pipefail
test_exe=$1
scale() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  # Read by each program of the prefix when it starts: the next one runs at this scale.
}
trap 'scale 96' EXIT
for dpi in 144 192; do
  scale "$dpi"
  echo "LogPixels $dpi"
  wine "$test_exe" --gtest_filter='Window.EveryNumber*:Window.APoint*:Window.ModelUnlocks*'
done
