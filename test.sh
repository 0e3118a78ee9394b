#!/usr/bin/env bash
# Installs what is missing, builds everything (game, tools, content, tests) and runs the tests.
set -euo pipefail
cd "$(dirname "$0")"
start=$SECONDS
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)"
echo "test.sh: built in $((SECONDS - start)) s"
start=$SECONDS
ctest --test-dir build --output-on-failure -j "$(nproc)"
echo "test.sh: tests ran in $((SECONDS - start)) s"
