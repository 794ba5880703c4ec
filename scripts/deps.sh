#!/usr/bin/env bash
# Installs what both builds and their tests need on a Debian 12 machine. Idempotent: only
# missing packages are installed, and the package lists are refreshed once, only then.
set -euo pipefail

TW_PACKAGES=(
  # native build and tests
  cmake ninja-build g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev liblnk-dev
  # Windows build (posix thread model: GCC 12's win32 model lacks std::mutex)
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  # Windows tests: 64-bit Wine (the `wine` package gives the `wine` command), a virtual
  # display, screenshots and window inspection
  wine64 wine fonts-wine xvfb xauth imagemagick x11-utils xdotool procps
)

tw_missing_packages() {
  local p status
  for p in "${TW_PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [[ "$status" == installed ]] || echo "$p"
  done
}

mapfile -t missing < <(tw_missing_packages)
if ((${#missing[@]})); then
  echo "deps: installing ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO=sudo; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q "${missing[@]}"
fi

# The Windows build compiles SQLite from its amalgamation, fetched at a pinned version and
# checked against a known checksum. Not wired in yet: this is where it goes.
tw_fetch_sqlite_amalgamation() {
  :
}
tw_fetch_sqlite_amalgamation
