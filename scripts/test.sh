#!/usr/bin/env bash
# Builds everything and runs every test:
#   build/native  the Linux build against the simulated machine (sanitizers on), tests by ctest
#   build/win64   TallowickEx.exe for x86_64 and its tests, run under 64-bit Wine on Xvfb
#   build/win32   TallowickEx.exe for i686 and its tests, compiled and linked only
# Every stage runs even when an earlier one failed; the exit status is non-zero when any did.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${TW_JOBS:-2}
failed=()
start_all=$SECONDS

stage_time() { echo "---- $1: $2 ($(($SECONDS - $3)) s)"; }

# Configures (Ninja) and builds one build folder: build DIR TOOLCHAIN_FILE|"" CMAKE_ARGS...
# A folder made earlier by another generator is made anew; the toolchain of a folder is
# fixed when it is first configured.
build() {
  local dir=$1 toolchain=$2
  shift 2
  if [[ -f "$dir/CMakeCache.txt" ]] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$dir/CMakeCache.txt"; then
    rm -rf "$dir"
  fi
  if [[ -n "$toolchain" && ! -f "$dir/CMakeCache.txt" ]]; then
    set -- "$@" "-DCMAKE_TOOLCHAIN_FILE=$toolchain"
  fi
  cmake -S . -B "$dir" -G Ninja "$@" && cmake --build "$dir" -j "$jobs"
}

t=$SECONDS
if ! bash scripts/deps.sh; then
  echo "test.sh: installing the build and test dependencies failed" >&2
  exit 1
fi
stage_time deps done $t

declare -A built
for b in native win64 win32; do
  t=$SECONDS
  echo "==== build/$b"
  case $b in
    native) args=("" -DCMAKE_BUILD_TYPE=Debug -DTW_SANITIZE=ON) ;;
    win64) args=("$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release) ;;
    win32) args=("$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release) ;;
  esac
  if build "build/$b" "${args[@]}"; then
    built[$b]=1
    stage_time "build/$b" built $t
  else
    failed+=("build/$b")
    stage_time "build/$b" FAILED $t
  fi
done

if [[ -n "${built[native]:-}" ]]; then
  t=$SECONDS
  echo "==== native tests"
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
  if ctest --test-dir build/native --output-on-failure -j "$jobs" --no-tests=error; then
    stage_time "native tests" passed $t
  else
    failed+=("native tests")
    stage_time "native tests" FAILED $t
  fi
fi

if [[ -n "${built[win64]:-}" ]]; then
  t=$SECONDS
  echo "==== Wine tests (build/win64)"
  if xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/wine_tests.sh build/win64; then
    stage_time "Wine tests" passed $t
  else
    failed+=("Wine tests")
    stage_time "Wine tests" FAILED $t
  fi
fi

echo "==== total $(($SECONDS - start_all)) s"
if ((${#failed[@]})); then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all builds and tests passed"
