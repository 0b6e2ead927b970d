#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the benchmarks and the
# fuzzers need. Idempotent: does nothing when all of them are present.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ make pkg-config clang llvm libclang-rt-14-dev
  zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools qt6-l10n-tools libqt6opengl6-dev libgl-dev
  fonts-liberation poppler-utils libdynamite-dev
  xvfb xauth desktop-file-utils shared-mime-info dpkg-dev
  libxlsxwriter-dev libzip-dev libexpat1-dev ccache linux-perf
  # The Windows build (make test-windows): the MinGW-w64 compiler and zlib
  # for the Windows target, Google Test's sources to build it for that
  # target, Wine (64-bit alone, no i386) to run the tests, makensis for the
  # installer.
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine nsis
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
