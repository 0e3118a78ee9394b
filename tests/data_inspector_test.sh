#!/usr/bin/env bash
# The data inspector on the generated data and on broken files.
# Usage: data_inspector_test.sh INSPECTOR GAME_DIR
set -u
inspector=$1 game=$2 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

report=$(cd "$game" && "$inspector" data.json) || fail "generated data.json was refused"
echo "$report" | grep -q '"soundPools"' || fail "no sound pools reported"
echo "$report" | grep -q '"extension": ".wav"' || fail "no pool found its files"

printf '{"class": [{"name": "cut off' > "$work/truncated.json"
printf '\x00\xff\x13 not json at all' > "$work/garbage.json"
for file in truncated.json garbage.json missing.json; do
  out=$(cd "$work" && "$inspector" "$file" 2>&1 >/dev/null); status=$?
  [ $status -eq 1 ] || fail "$file: exit status $status, expected 1"
  echo "$out" | grep -q "Failed to open the data file" || fail "$file: no message ($out)"
done
"$inspector" >/dev/null 2>&1; [ $? -eq 2 ] || fail "no argument should give the usage and 2"
echo "data inspector ok"
