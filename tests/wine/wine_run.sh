#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the build's own throwaway prefix:
#   wine_run.sh PREFIX program.exe [args...]
#   wine_run.sh PREFIX --init          (only make sure the prefix exists and is started)
# CTest uses it as the emulator of the Wine test programs. The prefix is created on first
# use (wineboot -i, under a lock so parallel starts do not race); never ~/.wine.
# TW_WINE_TIMEOUT (seconds, default 110) bounds one program; it then ends with status 124.
set -uo pipefail

if (($# < 2)); then
  echo "usage: $0 PREFIX program.exe [args...] | $0 PREFIX --init" >&2
  exit 2
fi
prefix=$1
shift
case "$prefix" in
  /*) ;;
  *) prefix="$PWD/$prefix" ;;
esac

export WINEPREFIX="$prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Debian 12 ships the 64-bit loader as /usr/lib/wine/wine64 behind the `wine` command;
# other systems have wine64 on the PATH.
if command -v wine64 >/dev/null 2>&1; then
  WINE=wine64
elif command -v wine >/dev/null 2>&1; then
  WINE=wine
else
  echo "wine_run.sh: no wine64 or wine command (run scripts/deps.sh)" >&2
  exit 127
fi

mkdir -p "$(dirname "$prefix")"
(
  flock -w 300 9 || { echo "wine_run.sh: prefix lock timed out" >&2; exit 1; }
  if [[ ! -f "$prefix/.tw-ready" ]]; then
    rm -rf "$prefix"
    if ! timeout 300 "$WINE" wineboot -i </dev/null >/dev/null 2>&1 9>&-; then
      echo "wine_run.sh: wineboot -i failed for $prefix" >&2
      exit 1
    fi
    touch "$prefix/.tw-ready"
  fi
  # Keep the prefix's wineserver and Wine's own background programs (services, explorer)
  # running between programs, started here with no output attached: started by a test
  # program they would inherit its output and hold CTest's pipe open until they end, and
  # every program would pay their start again. None of them may inherit the lock (fd 9):
  # they would hold it for as long as they run.
  if wineserver -p60 </dev/null >/dev/null 2>&1 9>&-; then
    timeout 120 "$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&-
  fi
) 9>"$prefix.lock" || exit 1

if [[ "$1" == "--init" ]]; then
  exit 0
fi

# The program's output goes through files, so nothing it starts can keep the caller's
# pipes open; Windows programs end lines with CR LF, CTest's test discovery reads lines.
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
timeout -k 5 "${TW_WINE_TIMEOUT:-110}" "$WINE" "$@" </dev/null >"$out" 2>"$err"
rc=$?
tr -d '\r' <"$out"
tr -d '\r' <"$err" >&2
if ((rc == 124)); then
  echo "wine_run.sh: $1 did not end within ${TW_WINE_TIMEOUT:-110} s" >&2
fi
exit "$rc"
