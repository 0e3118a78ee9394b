#!/usr/bin/env bash
# Balance report: Hard bot against Hard bot over every ordered pair of playable classes and
# every stage, on both cores; prints each class's win rate.
# Usage: tools/balance.sh [MATCHES_PER_PAIR_AND_STAGE]   (default 5)
set -u
cd "$(dirname "$0")/.."
per=${1:-5}
runner=$PWD/build/quarrelix-match
[ -x "$runner" ] || { echo "build first: ./test.sh or cmake --build build" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for entry in data.json image sound music; do ln -s "$PWD/build/game/$entry" "$work/$entry"; done
cd "$work"
python3 - "$runner" "$per" "$(nproc)" <<'PY'
import json, subprocess, sys
from concurrent.futures import ThreadPoolExecutor
runner, per, cores = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
data = json.load(open("data.json"))
names = {i: c.get("name", str(i)) for i, c in enumerate(data["class"])}
playable = [i for i, c in enumerate(data["class"]) if not c.get("toBeAdded") and not c.get("notSelectable")]
jobs = []
seed = 1
for a in playable:
    for b in playable:
        for stage in range(3):
            jobs.append([runner, "--p1", str(a), "--p2", str(b), "--stage", str(stage),
                         "--seed", str(seed), "--matches", str(per)])
            seed += per
def run(cmd):
    return subprocess.run(cmd, capture_output=True, text=True, check=True).stdout
wins = {i: 0 for i in playable}; played = {i: 0 for i in playable}; draws = 0; total = 0
seconds = 0.0
with ThreadPoolExecutor(max_workers=cores) as pool:
    for out in pool.map(run, jobs):
        for line in out.splitlines():
            m = json.loads(line)
            a, b = m["p1"]["class"], m["p2"]["class"]
            total += 1
            seconds += m["gameSeconds"]
            if a == b:
                continue  # a mirror match tells nothing about the class
            played[a] += 1; played[b] += 1
            if m["winner"] == 1: wins[a] += 1
            elif m["winner"] == 2: wins[b] += 1
            else: draws += 1
print(f"{total} Hard-against-Hard matches ({per} per ordered pair and stage), "
      f"average {seconds / max(total, 1):.1f} s of game time, {draws} without a winner")
print(f"{'class':<10} {'won':>5} {'of':>5} {'rate':>6}")
for i in sorted(playable, key=lambda i: -wins[i] / max(played[i], 1)):
    print(f"{names[i]:<10} {wins[i]:>5} {played[i]:>5} {100 * wins[i] / max(played[i], 1):>5.1f}%")
PY
