#!/usr/bin/env bash
# Runs a GoogleTest executable split into SHARDS pieces with GoogleTest's own sharding, as many
# at once as the machine has cores: a slow suite (the sanitizer build's) keeps every core busy,
# and more pieces than cores even out the pieces that happen to hold the long tests. Each piece
# runs in a working directory of its own under WORK_DIR (tests write scratch files where they
# stand) and its output is printed whole when it ends, so that logs never interleave. Fails when
# any piece fails, or when the pieces did not run every test the executable lists.
# Usage: tools/gtest-shards.sh TEST_EXECUTABLE WORK_DIR [SHARDS]   (default SHARDS: 8)
# QRX_SHARD_JOBS sets how many pieces run at once (default: the number of cores).
set -uo pipefail
tests=$(realpath "$1") work=$2 shards=${3:-8}
jobs=${QRX_SHARD_JOBS:-$(nproc)}
[ -x "$tests" ] && [[ $shards =~ ^[1-9][0-9]*$ ]] || {
  echo "usage: tools/gtest-shards.sh TEST_EXECUTABLE WORK_DIR [SHARDS]" >&2
  exit 2
}
mkdir -p "$work"
work=$(realpath "$work")

# Tests the executable would run: listed ones, less the disabled ones GoogleTest skips.
listed=$("$tests" --gtest_list_tests | awk '
  /^[^ ]/ { suite = $1; next }
  { if (suite !~ /^DISABLED_/ && $1 !~ /^DISABLED_/) n++ }
  END { print n + 0 }')

declare -A piece_of # process id -> piece
run_piece() {
  local index=$1
  rm -rf "$work/shard-$index"
  mkdir -p "$work/shard-$index"
  (cd "$work/shard-$index" && GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$index exec "$tests") \
    >"$work/shard-$index.log" 2>&1
}
failed=() ran=0
report() { # PIECE STATUS: prints the piece's log and counts its tests
  local index=$1 status=$2 count
  echo "=== tests, piece $((index + 1)) of $shards (exit $status) ==="
  cat "$work/shard-$index.log"
  count=$(sed -nE 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' "$work/shard-$index.log")
  ran=$((ran + ${count:-0}))
  [ "$status" -eq 0 ] || failed+=("$((index + 1))")
}
next=0 running=0
while [ $next -lt "$shards" ] || [ $running -gt 0 ]; do
  if [ $next -lt "$shards" ] && [ $running -lt "$jobs" ]; then
    run_piece $next &
    piece_of[$!]=$next
    next=$((next + 1)) running=$((running + 1))
    continue
  fi
  wait -n -p done_pid
  status=$?
  report "${piece_of[$done_pid]}" $status
  running=$((running - 1))
done

echo "=== $ran of $listed tests ran in $shards pieces ==="
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: pieces ${failed[*]} of $shards (their output is above)" >&2
  exit 1
fi
[ "$ran" -eq "$listed" ] || { echo "FAILED: $listed tests listed but $ran ran" >&2; exit 1; }
