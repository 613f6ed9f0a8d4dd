#!/usr/bin/env bash
# geoidmodell on a dense model: the area of the sample at 20" (1801 x 2521 = 4.5 million nodes),
# out to GTX and GeoTIFF and back in; wall time and peak memory of each, and whether the round
# trip gave the same bytes. Usage: bench/geoidmodell.sh   (builds first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup"
cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DGEOID_BENCH=ON -DBUILD_TESTING=OFF -DGEOID_GUI=ON >/dev/null
cmake --build "$root/build-bench" -j"$(nproc)" --target geoidmodell make_dense_model >/dev/null
tool=$root/build-bench/geoidmodell/geoidmodell
work=$root/build/bench-e2e
mkdir -p "$work" && cd "$work"
[ -f sample.bin ] || cp "$root/data/egm96-de-15min.bin" sample.bin
[ -f dense.bin ] || "$root/build-bench/bench/make_dense_model" sample.bin dense.bin
rm -f dense-out.gtx dense-out.tif dense-gtx.bin dense-tif.bin
run() {  # label, arguments...
  local label=$1; shift
  /usr/bin/time -f "$label: %e s, peak RSS %M KiB" "$tool" "$@"
}
run "model -> GTX    " dense.bin dense-out.gtx
run "GTX -> model    " dense-out.gtx dense-gtx.bin
run "model -> GeoTIFF" dense.bin dense-out.tif
run "GeoTIFF -> model" dense-out.tif dense-tif.bin
for f in dense-gtx.bin dense-tif.bin; do
  cmp -s dense.bin "$f" && echo "$f: same bytes as dense.bin" || { echo "$f: DIFFERENT"; exit 1; }
done
