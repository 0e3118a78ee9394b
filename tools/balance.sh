#!/usr/bin/env bash
# The balance report: three sets of headless bot matches with the match runner on every core,
# then quarrelix-balance writes balance/report.md and the pair matrix's heat map
# balance/matrix.png from their lines (balance/hard.jsonl, levels.jsonl, passive.jsonl).
#  1. Hard against Hard: every ordered pair of two different playable classes on every stage,
#     N matches each, stances drawn.
#  2. Bot levels: Hard against Medium and Medium against Easy, classes, stances and stages drawn,
#     5N matches with the stronger bot as player one and 5N with it as player two.
#  3. Against a passive opponent: each playable class as a bot of each level against every other
#     playable class standing still (level 0), N/4 matches (at least 1) each, stages drawn.
# Every match has a seed of its own. A runner that fails stops the run; no report is written.
# Usage: tools/balance.sh [N]   (default 40: 120 matches an ordered pair, so that a pairing's
# rate, both orders pooled, is known to about 6 points; with 60 it swings by about 9)
# QRX_BUILD_DIR (default build) names the build whose runner, report tool and content are used,
# QRX_BALANCE_DIR (default balance) where the results go, QRX_BALANCE_SEED (default 1) the first
# match's seed (another one plays held-out matches, that no tuning has seen).
set -euo pipefail
cd "$(dirname "$0")/.."
per=${1:-40}
[[ $per =~ ^[1-9][0-9]*$ ]] || { echo "usage: tools/balance.sh [N]   (N: 1 or more)" >&2; exit 2; }
build=${QRX_BUILD_DIR:-build}
out=${QRX_BALANCE_DIR:-balance}
[[ $build = /* ]] || build=$PWD/$build
runner=$build/quarrelix-match
report=$build/quarrelix-balance
data=$build/game/data.json
for tool in "$runner" "$report"; do
  [ -x "$tool" ] || { echo "balance: $tool is missing; build first: ./test.sh or cmake --build build" >&2; exit 1; }
done
[ -f "$data" ] || { echo "balance: no generated content in $build/game; build first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for entry in data.json image sound music; do ln -s "$build/game/$entry" "$work/$entry"; done
mkdir "$work/out"

read -r -a classes <<< "$("$report" --playable --data "$data")"
[ ${#classes[@]} -ge 2 ] || { echo "balance: fewer than two playable classes in $data" >&2; exit 1; }
# The stages are the game's own, not data: the runner names how many when asked for one too far.
stages=$(cd "$work" && "$runner" --stage 999999 2>&1 >/dev/null \
         | sed -n 's/.*no stage 999999 (\([0-9]*\) stages).*/\1/p') || true
[[ $stages =~ ^[1-9][0-9]*$ ]] || { echo "balance: the runner did not tell its stage count" >&2; exit 1; }

# The job list, one runner run a line: SET SEED MATCHES RUNNER-OPTIONS. Seeds run on from job to
# job, so that no two matches share one.
seed=${QRX_BALANCE_SEED:-1}
[[ $seed =~ ^[1-9][0-9]*$ ]] || { echo "balance: QRX_BALANCE_SEED must be 1 or more" >&2; exit 2; }
jobs=$work/jobs
: > "$jobs"
job() { # SET MATCHES RUNNER-OPTIONS...
  local set=$1 matches=$2
  shift 2
  echo "$set $seed $matches $*" >> "$jobs"
  seed=$((seed + matches))
}
for a in "${classes[@]}"; do
  for b in "${classes[@]}"; do
    [ "$a" = "$b" ] && continue
    for ((stage = 0; stage < stages; stage++)); do
      job hard "$per" --p1 "$a" --p2 "$b" --p1-level 3 --p2-level 3 --stage "$stage"
    done
  done
done
for pair in 3:2 2:1; do
  strong=${pair%:*} weak=${pair#*:}
  for ((run = 0; run < 5; run++)); do # 5N a side, in runs of N for the cores to share
    job levels "$per" --p1-level "$strong" --p2-level "$weak"
    job levels "$per" --p1-level "$weak" --p2-level "$strong"
  done
done
passiveMatches=$((per / 4 > 0 ? per / 4 : 1))
for a in "${classes[@]}"; do
  for level in 1 2 3; do
    for b in "${classes[@]}"; do
      [ "$a" = "$b" ] && continue
      job passive "$passiveMatches" --p1 "$a" --p1-level "$level" --p2 "$b" --p2-level 0
    done
  done
done

count() { awk -v set="$1" '$1 == set { n += $3 } END { print n + 0 }' "$jobs"; }
cores=$(nproc)
echo "balance: $(count hard) Hard-against-Hard, $(count levels) bot-level and $(count passive)" \
     "passive-opponent matches in $(wc -l < "$jobs") runner jobs on $cores cores..." >&2

runJob() { # SET SEED MATCHES RUNNER-OPTIONS...
  local set=$1 seed=$2 matches=$3
  shift 3
  local file=$work/out/$set-$seed
  if ! (cd "$work" && "$runner" --seed "$seed" --matches "$matches" --details "$@" \
          > "$file.jsonl" 2> "$file.err"); then
    echo "balance: quarrelix-match failed: --seed $seed --matches $matches $*" >&2
    sed 's/^/  /' "$file.err" >&2
    exit 255 # xargs starts no other job
  fi
  if [ "$(wc -l < "$file.jsonl")" -ne "$matches" ]; then
    echo "balance: quarrelix-match --seed $seed --matches $matches $* printed" \
         "$(wc -l < "$file.jsonl") lines" >&2
    exit 255
  fi
}
export -f runJob
export work runner
started=$SECONDS
if ! xargs -P "$cores" -L 1 bash -c 'runJob "$@"' _ < "$jobs" 2> "$work/xargs.err"; then
  grep -v '^xargs: ' "$work/xargs.err" >&2 || true
  echo "balance: a match runner failed; no report written" >&2
  exit 1
fi
cat "$work/xargs.err" >&2

mkdir -p "$out"
for set in hard levels passive; do
  awk -v set="$set" '$1 == set { print $2 }' "$jobs" \
    | while read -r first; do cat "$work/out/$set-$first.jsonl"; done > "$out/$set.jsonl"
done
echo "balance: matches run in $((SECONDS - started)) s" >&2
"$report" "$out" --data "$data" --command "tools/balance.sh $per"
