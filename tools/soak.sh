#!/usr/bin/env bash
# Soak test (not part of the normal test run): many bot matches across every class pair and
# every stage, with the match runner built with AddressSanitizer; reports crashes, leaks and
# memory growth over a long run.
# Usage: tools/soak.sh [MATCHES_PER_PAIR_AND_STAGE]   (default 2)
set -u
cd "$(dirname "$0")/.."
per=${1:-2}
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null && cmake --build build -j "$(nproc)" >/dev/null || exit 1
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRX_SANITIZE=ON >/dev/null &&
  cmake --build build-asan -j "$(nproc)" --target quarrelix-match >/dev/null || exit 1
runner=$PWD/build-asan/quarrelix-match
playable=$PWD/build/quarrelix-balance # names the playable classes
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for entry in data.json image sound music; do ln -s "$PWD/build/game/$entry" "$work/$entry"; done
cd "$work"
classes=$("$playable" --playable --data data.json) || exit 1
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1

matches=0 crashes=0 seed=1000
for a in $classes; do
  for b in $classes; do
    for stage in 0 1 2; do
      out=$("$runner" --p1 "$a" --p2 "$b" --stage "$stage" --seed "$seed" --matches "$per" 2>err.txt)
      status=$?
      seed=$((seed + per))
      if [ $status -ne 0 ]; then
        crashes=$((crashes + 1))
        echo "CRASH or LEAK: --p1 $a --p2 $b --stage $stage (exit $status)"; head -n 20 err.txt
      else
        matches=$((matches + $(echo "$out" | wc -l)))
      fi
    done
  done
done
echo "soak: $matches matches over every class pair and stage, $crashes failing runs"

# Memory over one long run: what the first match leaves resident against the last.
"$runner" --seed 7 --matches 150 --bench >/dev/null 2>bench.txt || { echo "long run failed"; cat bench.txt; exit 1; }
cat bench.txt
[ $crashes -eq 0 ]
