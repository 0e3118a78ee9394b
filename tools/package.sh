#!/usr/bin/env bash
# Builds the game's Debian package with CPack (quarrelix_VERSION_ARCH.deb, installing under
# /usr) from a Release build and prints the package's path on the last line.
# Usage: tools/package.sh [BUILD_DIR]   (default: build; configured and built when needed)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# dpkg-shlibdeps (dpkg-dev) finds the runtime libraries the package depends on.
tools/install-deps.sh --package >&2
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >&2
fi
cmake --build "$build" -j "$(nproc)" --target quarrelix game_content >&2
rm -f "$build"/quarrelix_*.deb
(cd "$build" && cpack -G DEB >&2)
package=$(ls "$build"/quarrelix_*.deb)
realpath "$package"
