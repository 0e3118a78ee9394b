#!/usr/bin/env bash
# The match runner: ten seconds of a fight without input at 50, 100 and 240 frames per second
# are 500, 1000 and 2400 fight frames, with full life and no winner; bad options, and a stage,
# class or stance that is not there, give 2; matches of three rounds list each round's winner;
# --realtime keeps game time to the wall clock; the benchmarks of a drawn match and of the menus
# report what tools/bench.sh reads; a run without controllers leaves the machine's devices alone.
# Usage: match_runner_test.sh RUNNER GAME_DIR
set -u
runner=$1 game=$2 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$game/image/letter_white.png" ] || { echo "no generated content: skipped"; exit 77; }

# The generated content with its own fighters when it has them, else three small classes.
for entry in image sound music; do ln -s "$game/$entry" "$work/$entry"; done
classes=$(grep -o '"toBeAdded"' "$game/data.json" | wc -l)
if grep -q '"idle"' "$game/data.json"; then
  ln -s "$game/data.json" "$work/data.json"
else
  cat > "$work/data.json" <<'JSON'
{"class": [{"id": 0, "idle": {"type": 1, "looped": 1, "frames": [{"length": 5}]}, "stance": [{}]},
           {"id": 1, "idle": {"type": 1, "looped": 1, "frames": [{"length": 5}], "frontWind": [null]},
            "stance": [{}]},
           {"id": 2, "idle": {"type": 1, "looped": 1, "frames": [{"length": 5}]}, "stance": [{}]}]}
JSON
fi
: "$classes"

# A top-level number of a runner line (the first key of that name).
number() { echo "$2" | grep -o "\"$1\":[0-9.e+-]*" | head -1 | cut -d: -f2; }

for pair in 50:500 100:1000 240:2400; do
  fps=${pair%:*} frames=${pair#*:}
  line=$(cd "$work" && "$runner" --p1-level 0 --p2-level 0 --max-seconds 10 --fps "$fps" --seed 7) \
    || fail "runner failed at $fps frames per second"
  echo "$line"
  echo "$line" | grep -q "\"frames\":$frames," || fail "expected $frames frames at $fps: $line"
  echo "$line" | grep -q '"winner":0' || fail "a winner without input at $fps"
  # Both sides' life and maximum, in order: p1's, then p2's.
  lives=$(echo "$line" | grep -o '"life":-\?[0-9]*' | cut -d: -f2 | tr '\n' ' ')
  maxima=$(echo "$line" | grep -o '"maxLife":-\?[0-9]*' | cut -d: -f2 | tr '\n' ' ')
  [ -n "$lives" ] && [ "$lives" = "$maxima" ] || fail "life not full at $fps: $lives/ $maxima"
  [ "$(number gameSeconds "$line")" = 10 ] || fail "not 10 s of game time at $fps: $line"
done
for bad in "--fps 75" "--p1 x" "--size 10" "--bogus 1" "--matches 0" "--render fast" \
           "--stage -3" "--stage 99" "--p1 99" "--p2 0:7" "--p1 0:-1" "--rounds 2"; do
  (cd "$work" && "$runner" $bad >/dev/null 2>"$work/stderr"); status=$?
  [ $status -eq 2 ] || fail "'$bad' gave $status, expected 2"
  grep -q "^usage:" "$work/stderr" || fail "'$bad' without the usage: $(cat "$work/stderr")"
done
grep -q "no stance 7 in class 0 for --p2" <(cd "$work" && "$runner" --p2 0:7 2>&1) \
  || fail "an unknown stance is not named"

# Real time: two seconds of frames really paced at 100 per second; the fight loop's game time
# keeps to its wall time (loose bounds: a busy machine oversleeps).
line=$(cd "$work" && "$runner" --realtime --p1-level 0 --p2-level 0 --max-seconds 2 --fps 100 \
       --seed 7) || fail "runner failed with --realtime"
echo "$line"
[ "$(number frames "$line")" = 200 ] || fail "not 200 frames with --realtime: $line"
# Really paced, not run as fast as it can; game time within a tenth of wall time.
awk -v game="$(number gameSeconds "$line")" -v wall="$(number wallSeconds "$line")" 'BEGIN {
  if (wall < 1.5) exit 1
  printf "realtime: game/wall %.4f\n", game / wall
  exit !(game / wall >= 0.9 && game / wall <= 1.1) }' || fail "game time does not keep to real time: $line"
# Headless without controllers, the runner never starts SDL's controller support and no event
# pump polls the devices (each such poll is a handful of system calls, every frame); the pumps
# themselves are counted, at least one a frame, so a count that stopped counting shows.
(cd "$work" && "$runner" --bench --p1-level 0 --p2-level 0 --max-seconds 2 --seed 7 >/dev/null \
  2>"$work/devices") || fail "the bench without drawing failed: $(cat "$work/devices")"
devices=$(grep "^devices:" "$work/devices") || fail "the bench lacks its devices line: $(cat "$work/devices")"
echo "$devices"
echo "$devices" | awk '{
  starts = $5; polls = $7; pumps = $11; frames = $15
  if (starts != 0) { print "controller support started " starts " times"; exit 1 }
  if (polls != 0) { print polls " device polls"; exit 1 }
  if (frames < 200 || pumps < frames) { print pumps " pumps over " frames " frames"; exit 1 } }' \
  || fail "devices touched by a run without controllers: $devices"
# The benchmarks: a drawn match reports its set-up and the frame times of fight and intro;
# the menus (through the real state loop, options included) report each screen and leave no
# settings file behind.
if grep -q '"idle"' "$game/data.json"; then
  (cd "$work" && "$runner" --bench --render software --max-seconds 2 --seed 7 >/dev/null 2>"$work/bench") \
    || fail "the match bench failed: $(cat "$work/bench")"
  for label in "start-up:" "match set-up: first" "fight frames: median" "intro frames: median" \
               "match frames: median"; do
    grep -q "^$label" "$work/bench" || fail "the match bench lacks '$label': $(cat "$work/bench")"
  done
  (cd "$work" && "$runner" --menus --render software >/dev/null 2>"$work/menus") \
    || fail "the menu bench failed: $(cat "$work/menus")"
  for screen in "two-player class selection" "fighter viewer" "options" "fade out"; do
    grep -q "^menu $screen: median [0-9.]* ms, 99th percentile" "$work/menus" \
      || fail "the menu bench lacks '$screen': $(cat "$work/menus")"
  done
  cat "$work/menus"
  ! ls "$work" | grep -qi settings || fail "the benches left a settings file: $(ls "$work")"
fi
# Matches of up to three rounds: each line lists the rounds played (two at least), and the
# match's winner is the player who won the most of them.
if grep -q '"idle"' "$game/data.json"; then
  (cd "$work" && "$runner" --rounds 3 --seed 7 --matches 3 --max-seconds 30 2>/dev/null) > "$work/rounds" \
    || fail "--rounds 3 failed"
  awk '{ if (!match($0, /"rounds":\[[0-9,]*\]/)) { print "no rounds: " $0; exit 1 }
         n = split(substr($0, RSTART + 10, RLENGTH - 11), r, ","); one = 0; two = 0
         for (i = 1; i <= n; i++) { one += r[i] == 1; two += r[i] == 2 }
         w = one > two ? 1 : two > one ? 2 : 0
         if (n < 2 || $0 !~ "\"winner\":" w ",") { print "rounds and winner: " $0; exit 1 } }' \
    "$work/rounds" || fail "--rounds 3: $(cat "$work/rounds")"
fi
# A whole arcade ladder: one line per fight, player one always of its class, each other
# playable class met (again after a loss), then the closing line; the same again for the seed.
if grep -q '"idle"' "$game/data.json"; then
  arcade() { (cd "$work" && "$runner" --arcade 1:0 --seed 11 --max-seconds 30 2>/dev/null) | sed 's/,"wallSeconds":[^}]*//'; }
  ladder=$(arcade) || fail "the arcade ladder failed"
  [ "$ladder" = "$(arcade)" ] || fail "the arcade ladder differs for one seed"
  echo "$ladder" | tail -n 1 | grep -Eq '^\{"cleared":(true|false),"seconds":[0-9.]+,"continues":[0-9]+\}$' \
    || fail "no closing line: $ladder"
  echo "$ladder" | head -n -1 | awk -v last="$(echo "$ladder" | tail -n 1)" '
    { if ($0 !~ /"p1":\{"class":1,"stance":0,/) { print "player one changed: " $0; exit 1 }
      match($0, /"p2":\{"class":[0-9]+/); met[substr($0, RSTART + 13, RLENGTH - 13)] = 1
      if ($0 !~ /"winner":1/) losses++ }
    END { n = 0; for (c in met) n++
          if (n < 2 || met[1]) { print "opponents met: " n; exit 1 }
          if (last ~ /"cleared":true/ && last !~ "\"continues\":" losses + 0 "}") { print "continues: " last; exit 1 } }' \
    || fail "the ladder's lines: $ladder"
  # Survival: fights until player one loses, its class and stance kept, then the wins.
  run=$(cd "$work" && "$runner" --survival 2:0 --seed 3 --max-seconds 30 2>/dev/null) || fail "survival failed"
  echo "$run" | tail -n 1 | grep -Eq '^\{"wins":[0-9]+,"seconds":[0-9.]+\}$' || fail "no survival closing line: $run"
  wins=$(echo "$run" | tail -n 1 | sed 's/.*"wins":\([0-9]*\).*/\1/')
  [ "$(echo "$run" | head -n -1 | grep -c '"p1":{"class":2,"stance":0,')" = "$((wins + 1))" ] \
    || fail "survival: $wins wins but these fights: $run"
fi
echo "match runner ok"
