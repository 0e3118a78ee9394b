#!/usr/bin/env bash
# The match runner records replays and checks them: seeded bot matches at 50 and 240 frames per
# second, and matches of three rounds, play back headless to the same hashes and end; a damaged file, a missing one and
# options that do not go together are refused (2).
# Usage: replay_runner_test.sh RUNNER GAME_DIR
set -u
runner=$1 game=$2 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$game/image/letter_white.png" ] || { echo "no generated content: skipped"; exit 77; }
grep -q '"idle"' "$game/data.json" || { echo "no generated fighters: skipped"; exit 77; }
cd "$game"

# FPS and rounds: single knock-outs at 50 and 240, and matches of up to three rounds (each
# round's winner kept and played back).
outcome='"winner":[0-9]*,"frames":[0-9]*\(,"rounds":\[[0-9,]*\]\)\?'
for run in 50:1 240:1 100:3; do
  fps=${run%:*} rounds=${run#*:} name=$fps-$rounds
  "$runner" --seed 5 --matches 3 --fps "$fps" --rounds "$rounds" --max-seconds 20 \
    --record "$work/r$name.qrxreplay" > "$work/recorded$name" || fail "recording at $fps FPS"
  for seed in 5 6 7; do
    file="$work/r$name-$seed.qrxreplay"
    [ -s "$file" ] || fail "no replay $file"
    line=$("$runner" --replay "$file") || fail "replay of seed $seed at $fps FPS, $rounds rounds did not check out"
    # The same outcome as when it was recorded.
    recorded=$(grep "\"seed\":$seed," "$work/recorded$name" | grep -o "$outcome")
    played=$(echo "$line" | grep -o "$outcome")
    [ "$recorded" = "$played" ] || fail "seed $seed at $fps FPS: recorded $recorded, played $played"
  done
done

# A match under the first fight rules keeps them in its replay and plays back by them.
"$runner" --seed 5 --matches 1 --rules 1 --max-seconds 20 --record "$work/first.qrxreplay" \
  > "$work/recorded-first" || fail "recording under the first rules"
played=$("$runner" --replay "$work/first.qrxreplay") || fail "a replay under the first rules did not check out"
[ "$(echo "$played" | grep -o '"winner":[0-9]*,"frames":[0-9]*')" = \
  "$(grep -o '"winner":[0-9]*,"frames":[0-9]*' "$work/recorded-first")" ] || fail "first rules: another end"

# A byte changed in the middle of the file: refused as damaged, never played.
file="$work/r50-1-5.qrxreplay"
size=$(stat -c %s "$file")
cp "$file" "$work/damaged.qrxreplay"
printf '\x55' | dd of="$work/damaged.qrxreplay" bs=1 seek=$((size / 2)) conv=notrunc 2> /dev/null
"$runner" --replay "$work/damaged.qrxreplay" > /dev/null 2> "$work/err"
[ $? -eq 2 ] || fail "a damaged replay was not refused"
grep -q "damaged replay" "$work/err" || fail "no reason given: $(cat "$work/err")"
"$runner" --replay "$work/none.qrxreplay" > /dev/null 2>&1
[ $? -eq 2 ] || fail "a missing replay was not refused"
"$runner" --replay "$file" --record "$work/x" > /dev/null 2>&1
[ $? -eq 2 ] || fail "--record with --replay was not refused"
echo "replays recorded and checked"
