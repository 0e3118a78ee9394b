#!/usr/bin/env bash
# Replays agree across builds: 20 seeded bot matches (mixed classes and stages, at 50, 100 and
# 240 frames per second) recorded with one build's match runner are checked, hash by hash, by
# the same runner and by another build's (CI: Release against AddressSanitizer and
# UndefinedBehaviorSanitizer), together with any replays found in EXTRA_DIR (CI: the one the
# real game recorded in a window under Xvfb with real key presses).
# Usage: tools/replay-determinism.sh RECORDING_BUILD CHECKING_BUILD [EXTRA_DIR]
set -u
recorder=$(realpath "$1")/quarrelix-match checker=$(realpath "$2")/quarrelix-match
game=$(realpath "$1")/game extra=${3:-}
[ -x "$recorder" ] && [ -x "$checker" ] || { echo "usage: $0 RECORDING_BUILD CHECKING_BUILD [EXTRA_DIR]" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$game"
seed=1
for fps in 50 100 240; do
  count=7
  [ $fps = 240 ] && count=6
  "$recorder" --seed $seed --matches $count --fps $fps --max-seconds 60 \
    --record "$work/bots-$fps.qrxreplay" > /dev/null || { echo "recording failed at $fps FPS" >&2; exit 1; }
  seed=$((seed + count))
done
[ -n "$extra" ] && [ -d "$extra" ] && cp "$extra"/*.qrxreplay "$work/" 2> /dev/null
failures=0 checked=0
for file in "$work"/*.qrxreplay; do
  for runner in "$recorder" "$checker"; do
    if ! "$runner" --replay "$file" > /dev/null 2> "$work/err"; then
      echo "FAIL: $(basename "$file") with $runner: $(cat "$work/err")" >&2
      failures=$((failures + 1))
    fi
  done
  checked=$((checked + 1))
done
echo "replays: $checked checked with both builds, $failures failures"
[ $checked -ge 20 ] && [ $failures -eq 0 ]
