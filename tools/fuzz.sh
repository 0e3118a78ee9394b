#!/usr/bin/env bash
# Builds the readers' fuzz targets (clang: libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs each for SECONDS on one core, then prints per target the executions,
# executions per second and findings. Exits non-zero on any crash, leak, timeout or
# out-of-memory; the inputs that caused them stay in build-fuzz/fuzz-findings/TARGET/.
# Usage: tools/fuzz.sh SECONDS [TARGET...]   (targets: json data settings png wav ogg replay packets lobby)
#        tools/fuzz.sh --build   (only builds the targets: CI builds them on every core first,
#        then fuzzes on one core beside the window tests)
# QRX_FUZZ_JOBS sets how many targets run at once (default: 2, one per core of our machines).
# Seeds: tests/fuzz/seeds/, and pieces of the generated content in build/game when it is there.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=${1:-}
build_only=false
[ "$seconds" = --build ] && build_only=true seconds=1
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: tools/fuzz.sh SECONDS [TARGET...] | --build" >&2
  exit 2
fi
shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(json data settings png wav ogg replay packets lobby)
jobs=${QRX_FUZZ_JOBS:-2}

build=$root/build-fuzz
game=$root/build/game
corpora=$build/fuzz-corpus     # grows from run to run
findings=$build/fuzz-findings  # crashing inputs and their logs
logs=$build/fuzz-logs

# The compiler cache comes from CMakeLists.txt, set up so that a clone elsewhere hits it too.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRX_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
cmake --build "$build" -j "$(nproc)" --target fuzz_targets >"$build/fuzz-build.log" 2>&1 || {
  tail -n 30 "$build/fuzz-build.log" >&2
  exit 1
}
$build_only && exit 0

# Per target: the longest input (bytes) and whether the JSON dictionary helps.
max_len() {
  case $1 in
    json) echo 8192 ;; data) echo 65536 ;; settings) echo 4096 ;;
    png) echo 16384 ;; wav) echo 16384 ;; ogg) echo 16384 ;; replay) echo 16384 ;;
    packets) echo 1024 ;; # twice the largest packet: oversize ones are tried too
    lobby) echo 2400 ;;   # twice the largest lobby message
  esac
}

# Seeds: the committed ones, then pieces of the generated content.
mkdir -p "$logs" "$findings"
made=$build/fuzz-made-seeds
rm -rf "$made"
if [ -f "$game/data.json" ]; then
  "$build/fuzz/fuzz_seeds" "$game" "$made" >"$logs/seeds.log" 2>&1 ||
    echo "fuzz_seeds failed (see $logs/seeds.log); going on with the committed seeds" >&2
else
  echo "no generated content in $game (build the game first): committed seeds only" >&2
fi
seed() { # TARGET FILE...: copies files into the target's working corpus
  local target=$1
  shift
  mkdir -p "$corpora/$target"
  for file in "$@"; do [ -f "$file" ] && cp "$file" "$corpora/$target/seed-$(basename "$file")"; done
}
for target in "${targets[@]}"; do
  [ -d "tests/fuzz/seeds/$target" ] || { echo "unknown target: $target" >&2; exit 2; }
  rm -rf "${findings:?}/$target" "$logs/$target.log" # what a run finds is what this run found
  seed "$target" tests/fuzz/seeds/"$target"/*
done
seed json tests/fuzz/seeds/settings/* "$made"/settings/*
seed data "$made"/data/*
seed settings "$made"/settings/*
if [ -d "$game" ]; then
  # Small files only: a few of each size class, found the same way every run.
  seed png $(find "$game/image" -name '*.png' -size -4k 2>/dev/null | sort | awk 'NR % 60 == 1')
  seed wav $(ls -S "$game"/sound/*.wav 2>/dev/null | tail -n 3)
  seed ogg $(ls -S "$game"/sound/*.ogg 2>/dev/null | tail -n 1)
fi

# The sanitizers' settings of a target. LeakSanitizer matches suppressions against the stack
# recorded at allocation, and libvorbisfile has no frame pointers for the fast unwinder: the
# Ogg target unwinds allocations the slow way, only as deep as ov_open_callbacks (seven
# frames), which costs it about half its speed instead of two thirds.
sanitizer_env() {
  local asan=""
  [ "$1" = ogg ] && asan=fast_unwind_on_malloc=0:malloc_context_size=7
  echo "ASAN_OPTIONS=$asan"
  echo "LSAN_OPTIONS=suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0"
  echo "UBSAN_OPTIONS=print_stacktrace=1"
}

run_target() {
  local target=$1 extra=()
  case $target in json | data | settings | replay) extra=(-dict="$root/tests/fuzz/json.dict") ;; esac
  mkdir -p "$findings/$target" "$corpora/$target"
  # Fork mode with crashes ignored: the run goes on for the whole time after a finding, and
  # every finding is kept. Inputs that readers take by path are written to a RAM directory.
  local work
  work=$(mktemp -d "${TMPDIR:-/dev/shm}/qrx-fuzz.XXXXXX" 2>/dev/null || mktemp -d)
  local environment
  mapfile -t environment < <(sanitizer_env "$target")
  cd "$work" && env QRX_FUZZ_DIR="$work" "${environment[@]}" \
    "$build/fuzz/fuzz_$target" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$seconds" -print_funcs=0 -max_len="$(max_len "$target")" -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$findings/$target/" "${extra[@]}" "$corpora/$target" \
    >"$logs/$target.log" 2>&1
  # Fork mode's log does not show why a job failed: each finding runs once more on its own,
  # its report kept beside it.
  local finding
  for finding in $(ls "$findings/$target" | grep -E '^(crash|leak|timeout|oom)-[0-9a-f]+$' | head -n 20); do
    env QRX_FUZZ_DIR="$work" "${environment[@]}" "$build/fuzz/fuzz_$target" -timeout=10 \
      -rss_limit_mb=2048 "$findings/$target/$finding" >"$findings/$target/$finding.log" 2>&1
  done
  rm -rf "$work"
}

pids=()
for target in "${targets[@]}"; do
  run_target "$target" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}"
    pids=("${pids[@]:1}")
  fi
done
wait

failed=0
printf '%-9s %12s %9s %9s  %s\n' target executions exec/s findings ""
for target in "${targets[@]}"; do
  log=$logs/$target.log
  # Fork mode's last progress line: "#RUNS: cov: ... exec/s N oom/timeout/crash: A/B/C ...".
  last=$(grep -oE '#[0-9]+: cov: .*' "$log" | tail -n 1)
  runs=$(sed -nE 's/^#([0-9]+):.*/\1/p' <<<"$last")
  rate=$(sed -nE 's/.* exec\/s ([0-9]+).*/\1/p' <<<"$last")
  count=$(ls "$findings/$target" | grep -cE '^(crash|leak|timeout|oom)-[0-9a-f]+$')
  note=""
  if [ -z "$runs" ]; then
    note="did not run: see $log"
    failed=1
  elif [ "$count" -gt 0 ]; then
    note="kept in $findings/$target"
    cp "$log" "$findings/$target/fuzz-run.txt"
    failed=1
  fi
  printf '%-9s %12s %9s %9s  %s\n' "$target" "${runs:--}" "${rate:--}" "$count" "$note"
  # One line per kind of finding: the summary of its report.
  cat "$findings/$target"/*.log 2>/dev/null | grep -h '^SUMMARY:' |
    sed -E 's/^==[0-9]+== ?//' | sort | uniq -c | sed 's/^/            /'
done
exit $failed
