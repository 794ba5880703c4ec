#!/usr/bin/env bash
# The Wine test stage of test.sh, run inside a virtual display (xvfb-run):
#   wine_tests.sh BUILD_DIR [REGEX]
# Makes a fresh prefix in BUILD_DIR/wineprefix, runs the build's CTest tests one at a time
# under 64-bit Wine, stops that prefix's wineserver at the end, and turns the screenshots
# the tests saved (BUILD_DIR/screenshots/*.bmp) into PNG files. With REGEX only the tests
# whose CTest names match it run (ctest -R), e.g. 'wine\.StartupEvent\.'.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
filter=()
if (($# > 1)); then
  filter=(-R "$2")
fi
prefix="$build/wineprefix"

finish() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" timeout 30 wineserver -w >/dev/null 2>&1 || true
  shopt -s nullglob
  for bmp in "$build"/screenshots/*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
}
trap finish EXIT

rm -rf "$prefix" "$prefix.lock" "$build/screenshots"
mkdir -p "$build/screenshots"
t=$SECONDS
if ! bash "$root/tests/wine/wine_run.sh" "$prefix" --init; then
  echo "wine_tests.sh: could not create the Wine prefix $prefix" >&2
  exit 1
fi
echo "---- fresh Wine prefix: $(($SECONDS - t)) s"

# One test at a time: the tests share the prefix's registry and the display.
ctest --test-dir "$build" --output-on-failure -j1 --no-tests=error "${filter[@]}"
