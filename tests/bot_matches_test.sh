#!/usr/bin/env bash
# Bot matches on the generated content: the same seed gives the same match, and Hard beats
# Easy in a large majority of seeded matches, Medium in between.
# Usage: bot_matches_test.sh RUNNER GAME_DIR
set -u
runner=$1 game=$2 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
grep -q '"idle"' "$game/data.json" 2>/dev/null || { echo "no generated fighters: skipped"; exit 77; }
for entry in data.json image sound music; do ln -s "$game/$entry" "$work/$entry"; done
cd "$work"

strip() { sed 's/,"wallSeconds":[0-9.e+-]*//'; }
first=$("$runner" --seed 41 --matches 3 | strip) || fail "runner failed"
second=$("$runner" --seed 41 --matches 3 | strip) || fail "runner failed"
[ "$first" = "$second" ] || fail "the same seed gave different matches"
echo "$first" | grep -q '"winner":[12]' || fail "no knock-out in three Hard matches"

wins() { # level one, level two: prints player one's wins out of 20
  "$runner" --seed 500 --matches 20 --p1-level "$1" --p2-level "$2" --max-seconds 90 \
    | grep -c '"winner":1'
}
hardEasy=$(wins 3 1) mediumEasy=$(wins 2 1) hardMedium=$(wins 3 2)
echo "Hard beat Easy $hardEasy/20, Medium beat Easy $mediumEasy/20, Hard beat Medium $hardMedium/20"
[ "$hardEasy" -ge 16 ] || fail "Hard should beat Easy in a large majority"
[ "$hardMedium" -ge 11 ] || fail "Hard should beat Medium in most matches"
[ "$mediumEasy" -ge 8 ] || fail "Medium should hold its own against Easy"
echo "bot matches ok"
