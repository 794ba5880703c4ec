#!/usr/bin/env bash
# Builds TallowickEx.exe (x86_64) and runs it under 64-bit Wine in a fresh throwaway prefix,
# build/run-prefix, seeded with the demo machine of demo/demo_machine.reg.
#   With a display (DISPLAY set): opens the program and waits until you close it.
#   Without one: runs it on a virtual display, waits for its window, saves the screen as
#   build/screenshot-run.png and closes the program its own way, with a second start
#   "TallowickEx.exe -Q".
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
prefix="$root/build/run-prefix"
exe="$root/build/win64/TallowickEx.exe"
screenshot="$root/build/screenshot-run.png"
demo_reg="$root/demo/demo_machine.reg"

wine_in_prefix() { bash "$root/tests/wine/wine_run.sh" "$prefix" "$@"; }
stop_prefix() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" timeout 30 wineserver -w >/dev/null 2>&1 || true
}
seed_prefix() {
  local winpath="Z:${demo_reg//\//\\}"
  if ! wine_in_prefix regedit.exe /s "$winpath"; then
    echo "run.sh: seeding the prefix with $demo_reg failed" >&2
    return 1
  fi
  place_startup_files
}

# The demo user's Startup folder gets a shortcut, a batch file and a desktop.ini, and
# win.ini a program in its run= list.
place_startup_files() {
  local user_dir startup ini="$prefix/drive_c/windows/win.ini"
  user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
  if [[ -n "$user_dir" ]]; then
    startup="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp"
    mkdir -p "$startup" && cp "$root/demo/startup/"* "$startup/"
  fi
  local entry='run=C:\Program Files\Glimmer\glimmer.exe'
  if [[ -f "$ini" ]] && grep -qi '^\[windows\]' "$ini"; then
    ENTRY="$entry" perl -0pi -e 's/^(\[windows\][^\n]*\n)/$1$ENV{ENTRY}\r\n/mi' "$ini"
  else
    printf '[windows]\r\n%s\r\n' "$entry" >> "$ini"
  fi
}

# The first visible top-level window whose title begins with "Tallowick", within $1 s.
wait_for_window() {
  local deadline=$((SECONDS + $1))
  while ((SECONDS < deadline)); do
    if command -v xdotool >/dev/null 2>&1; then
      xdotool search --onlyvisible --name '^Tallowick' >/dev/null 2>&1 && return 0
    elif xwininfo -root -tree 2>/dev/null | grep -q '"Tallowick'; then
      return 0
    fi
    kill -0 "$2" 2>/dev/null || return 1
    sleep 0.5
  done
  return 1
}

# Waits at most $2 s for process $1 to end; its status in $status.
wait_for_end() {
  local deadline=$((SECONDS + $2))
  while kill -0 "$1" 2>/dev/null; do
    ((SECONDS < deadline)) || return 1
    sleep 0.5
  done
  wait "$1"
  status=$?
  return 0
}

headless_run() {
  trap stop_prefix EXIT
  seed_prefix || return 1
  TW_WINE_TIMEOUT=300 wine_in_prefix "$exe" &
  local pid=$!
  if ! wait_for_window 60 "$pid"; then
    echo "run.sh: no Tallowick window appeared within 60 s" >&2
    import -window root "$screenshot" 2>/dev/null
    kill "$pid" 2>/dev/null
    return 1
  fi
  sleep 2 # let the pages paint
  import -window root "$screenshot" && echo "run.sh: screenshot saved as $screenshot"
  TW_WINE_TIMEOUT=60 wine_in_prefix "$exe" -Q
  if ! wait_for_end "$pid" 60; then
    echo "run.sh: TallowickEx.exe did not end within 60 s of -Q" >&2
    kill "$pid" 2>/dev/null
    return 1
  fi
  echo "run.sh: TallowickEx.exe ended with status $status"
  return "$status"
}

if [[ "${1:-}" == "--headless-stage" ]]; then
  headless_run
  exit $?
fi

bash scripts/deps.sh || exit 1
if [[ -f build/win64/CMakeCache.txt ]] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' build/win64/CMakeCache.txt; then
  rm -rf build/win64
fi
toolchain=()
[[ -f build/win64/CMakeCache.txt ]] || toolchain=("-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-x86_64.cmake")
cmake -S . -B build/win64 -G Ninja -DCMAKE_BUILD_TYPE=Release "${toolchain[@]}" || exit 1
cmake --build build/win64 -j "${TW_JOBS:-2}" --target TallowickEx || exit 1

stop_prefix
rm -rf "$prefix" "$prefix.lock"
if [[ -n "${DISPLAY:-}" ]]; then
  trap stop_prefix EXIT
  seed_prefix || exit 1
  TW_WINE_TIMEOUT=0 wine_in_prefix "$exe"
  exit $?
fi
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --headless-stage
