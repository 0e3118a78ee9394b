#!/usr/bin/env bash
# The data inspector on the generated data, on broken files and on data the game would refuse
# or misread. Usage: data_inspector_test.sh INSPECTOR GAME_DIR
set -u
inspector=$1 game=$2 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

report=$(cd "$game" && "$inspector" --strict data.json 2>"$work/warnings") \
  || fail "generated data.json was refused or warned about: $(cat "$work/warnings")"
echo "$report" | grep -q '"soundPools"' || fail "no sound pools reported"
echo "$report" | grep -q '"extension": ".wav"' || fail "no pool found its files"
[ -s "$work/warnings" ] && fail "warnings on the generated data: $(cat "$work/warnings")"

# A report that cannot be written is a failure.
(cd "$game" && "$inspector" data.json >/dev/full 2>"$work/full"); status=$?
[ $status -eq 1 ] || fail "writing to a full disk gave exit status $status"
grep -q "cannot write the report" "$work/full" || fail "no message for a failed write"

# A missing file and a malformed one are told apart; a syntax error says where it is.
out=$(cd "$work" && "$inspector" missing.json 2>&1 >/dev/null); status=$?
[ $status -eq 1 ] || fail "missing.json: exit status $status, expected 1"
echo "$out" | grep -q "cannot read missing.json" || fail "missing.json: $out"
printf '{"class": [{"name": "cut off' > "$work/truncated.json"
printf '\x00\xff\x13 not json at all' > "$work/garbage.json"
printf '{"class": [\n  {"name": "a"},,\n]}' > "$work/comma.json"
for case in "truncated.json:line 1, column 29" "garbage.json:line 1, column 1" \
    "comma.json:line 2, column 17"; do
  file=${case%%:*} where=${case#*:}
  out=$(cd "$work" && "$inspector" "$file" 2>&1 >/dev/null); status=$?
  [ $status -eq 1 ] || fail "$file: exit status $status, expected 1"
  echo "$out" | grep -q "$file is not valid JSON: $where" || fail "$file: $out"
done
# Nesting past what the game reads is refused like any malformed file, without a crash.
{ head -c 30000 /dev/zero | tr '\0' '['; head -c 30000 /dev/zero | tr '\0' ']'; echo; } > "$work/deep.json"
out=$(cd "$work" && "$inspector" deep.json 2>&1 >/dev/null); status=$?
[ $status -eq 1 ] || fail "deep.json: exit status $status, expected 1"
echo "$out" | grep -q "deep.json is not valid JSON: line 1, column" || fail "deep.json: $out"

# Data that loads but that the game would refuse or misread: warnings, exit 0 (3 with --strict).
cat > "$work/odd.json" <<'EOF'
{"soundPool": [{"id": 0, "name": "none"}, {"id": 300, "name": "x", "next": 3}],
 "soundClass": [{"blocked": 9}],
 "soundMaterial": [{"cut": 4}],
 "class": [{"name": "a", "idle": {"type": 1, "frames": [{"clone": -1, "path": "image/gone", "sound": 12}]},
            "stance": [{"name": "s", "material": [7]}]},
           {"name": "b", "id": 5, "idle": {"type": 2}}]}
EOF
# Pool "none"'s second variant cannot be played: named with the reason, the others are fine.
mkdir -p "$work/sound"
cp "$game/sound/counter.ogg" "$work/sound/none1.ogg" 2>/dev/null || true
printf 'OggS, but nothing of the kind' > "$work/sound/none2.ogg"
(cd "$work" && "$inspector" odd.json >/dev/null 2>"$work/odd"); status=$?
[ $status -eq 0 ] || fail "odd.json: exit status $status, expected 0"
for expected in "only 2 classes" 'class 1 ("b"): its idle animation has no "frontWind"' \
    '"id" 5 differs from its position' 'its "idle" animation has type 2' \
    '"id" 300 is outside 0-254' '"next" 3 is not an earlier sound pool' \
    '"blocked" 9 is not a sound pool' '"cut" 4 is not a sound class' \
    'names a sound material that is not there' '"sound" 12 is not a sound pool' \
    'picture "image/gone.png" is missing' \
    'sound file "sound/none2.ogg" cannot be played: the file ends within an Ogg page'; do
  grep -qF "$expected" "$work/odd" || fail "odd.json: no warning \"$expected\" in: $(cat "$work/odd")"
done
(cd "$work" && "$inspector" --strict odd.json >/dev/null 2>&1); status=$?
[ $status -eq 3 ] || fail "odd.json --strict: exit status $status, expected 3"

# Frame tables. Brawler (strength 7, agility 6, weight 5, blunt 7), jab: frames of 2, 3 (the
# hit: 7 blunt, stun 9, canDoNext 1), 2, 4 ticks, recovery 12. The first frame stays 3 ticks,
# so the hit is current at ticks 3-5; the attack ends at 12 with a wait of 12 / 1.6 = 7.5,
# down to 5 or less at tick 15. Damage 7 x (2 x 14 + 5 + 100) / 100 = 9; stun against the
# neutral defender 9 x (5 + 7 + 10) / 10 = 19; advantage 19 - (15 - 3 - 1) = +8.
table=$(cd "$game" && "$inspector" --frames bRaWlEr data.json) || fail "--frames brawler failed"
echo "$table" | head -1 | grep -q "Brawler, stance Street, against a defender with neutral statistics" \
  || fail "frame table header: $(echo "$table" | head -1)"
row=$(echo "$table" | awk '$1 == "1" && $2 == "jab"')
[ "$(echo "$row" | awk '{print $3, $4, $5, $6, $7, $8, $9, $10, $11}')" = "3 3 9 15 4 19 +8 9 blunt" ] \
  || fail "jab row: $row"
echo "$table" | awk '{print $1}' | grep -qx "1>5" || fail "no follow-up row 1>5 in: $table"
# Stance Iron fist (strength +1, agility -1, speed -1, blunt +1) by index: damage 7 x (2 x 16 +
# 5 + 100) / 100 = 9; the wait 12 / 1.5 = 8 is 5 at the start of tick 15 as well; stun
# 9 x 23 / 10 = 20, advantage +9.
(cd "$game" && "$inspector" --frames 0:2 --json data.json) > "$work/frames.json" \
  || fail "--frames 0:2 --json failed"
grep -q '^    "class": "Brawler",$' "$work/frames.json" && grep -q '^    "stance": "Iron fist",$' \
  "$work/frames.json" || fail "frame table JSON: $(head -c 300 "$work/frames.json")"
# The jab's object (one key a line, as written), spaces and line ends dropped.
jab=$(awk '/"path": "1",/ {on = 1} on && /"path": "1>/ {exit} on' "$work/frames.json" | tr -d ' \n')
want='"path":"1","stances":["neutral"],"attack":"jab","hasActiveFrames":true,"startup":3,'
want+='"active":3,"recovery":9,"recoveryWait":8,"total":15,"followUpFrom":4,"stunOnHit":20,'
want+='"advantageOnHit":9,"activeFrames":[{"frame":1,"firstTick":3,"ticks":3,"damage":9,'
want+='"damageType":"blunt","stun":20}]},{'
[ "$jab" = "$want" ] || fail "frame table JSON, the jab: $jab"
# At 60 frames per second the frames stand beside the ticks: 15 ticks are 18 frames.
(cd "$game" && "$inspector" --frames Brawler:street --fps 60 data.json) | awk '$1 == "1"' \
  | grep -qF "15 (18.0)" || fail "--fps 60 shows no frames"
for which in Nobody Brawler:Zen Brawler:7; do
  out=$(cd "$game" && "$inspector" --frames "$which" data.json 2>&1 >/dev/null); status=$?
  [ $status -eq 4 ] || fail "--frames $which: exit status $status, expected 4"
  echo "$out" | grep -q "no \(class\|stance\)" || fail "--frames $which: $out"
done
(cd "$game" && "$inspector" --json data.json >/dev/null 2>&1); status=$?
[ $status -eq 2 ] || fail "--json without --frames: exit status $status, expected 2"

"$inspector" >/dev/null 2>&1; [ $? -eq 2 ] || fail "no argument should give the usage and 2"
echo "data inspector ok"
