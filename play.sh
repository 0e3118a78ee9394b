#!/usr/bin/env bash
# Installs what is missing, builds the game and its content, and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)" --target quarrelix all
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: run ./play.sh from a desktop session, or use the headless tools (see README.md)." >&2
  exit 1
fi
cd build/game
exec ./quarrelix "$@"
