#!/usr/bin/env bash
# The balance report end to end. First, a few real runner lines of each set go through
# quarrelix-balance: report.md has its sections, one row per target, the header's counts and a
# class's win rate as counted from the lines; matrix.png is a PNG of 900x700; a bad line or a
# missing set fails naming it. Then tools/balance.sh 2 runs with a stand-in runner that echoes
# its options as match lines: its job list plays every ordered pair on every stage, both sides
# of each level pairing and every class against every passive one (2/4 rounds down to none: one
# match each), each match with a seed of its own; a runner that fails stops it with a message
# and no report.
# Usage: balance_report_test.sh RUNNER REPORT_TOOL GAME_DIR BALANCE_SCRIPT
set -u
runner=$1 tool=$2 game=$3 script=$4 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
grep -q '"idle"' "$game/data.json" 2>/dev/null || { echo "no generated fighters: skipped"; exit 77; }
for entry in data.json image sound music; do ln -s "$game/$entry" "$work/$entry"; done
data=$game/data.json
sets=$work/sets
mkdir "$sets"

# Real lines: the first two classes both ways round, two level pairings, a passive opponent.
run() { (cd "$work" && "$runner" --details --max-seconds 60 "$@") || fail "runner failed: $*"; }
{ run --seed 1 --matches 2 --p1 0 --p2 1 --stage 0; run --seed 3 --matches 2 --p1 1 --p2 0 --stage 1; } \
  > "$sets/hard.jsonl"
{ run --seed 5 --matches 2 --p1-level 3 --p2-level 2; run --seed 7 --matches 2 --p1-level 1 --p2-level 2; } \
  > "$sets/levels.jsonl"
run --seed 9 --matches 1 --p1 0 --p1-level 3 --p2 1 --p2-level 0 > "$sets/passive.jsonl"

summary=$("$tool" "$sets" --data "$data" --command "tools/balance.sh 7") \
  || fail "quarrelix-balance failed: $summary"
echo "$summary"
echo "$summary" | grep -q "^Targets met: [0-9]* of 10$" || fail "no target count in the summary"
echo "$summary" | grep -qE "^Player one won [0-9.]+ % \([0-9]+ of 4\), 95 % interval [0-9.]+–[0-9.]+ %$" \
  || fail "the summary does not give player one's share with its interval"
echo "$summary" | grep -q "^Report: $sets/report.md, heat map: $sets/matrix.png$" \
  || fail "the summary does not say where the report is"
report=$sets/report.md
for heading in "# Quarrelix balance report" "## Targets" "## Class win rates, Hard against Hard" \
               "## Pair matrix" "## Stances, Hard against Hard" "## Bot levels" \
               "## Against a passive opponent"; do
  grep -qx "$heading" "$report" || fail "report.md lacks '$heading'"
done
grep -q '^9 headless bot matches, made by `tools/balance.sh 7` on 20[0-9-]* [0-9:]* UTC:$' "$report" \
  || fail "report header: $(head -3 "$report")"
grep -qx -- "- 4 Hard against Hard (\`hard.jsonl\`)," "$report" || fail "Hard count not in the header"
grep -qx -- "- 1 against a passive opponent (\`passive.jsonl\`)." "$report" || fail "passive count"
targets=$(sed -n '/^## Targets/,/^## Class/p' "$report" | grep -cE '\| (met|\*\*not met\*\*) \|$')
[ "$targets" -eq 10 ] || fail "$targets target rows, expected 10"
grep -q '^| Brawler | — |' "$report" || fail "the pair matrix has no Brawler row with its mirror cell"
grep -qxF '![Pair matrix heat map](matrix.png)' "$report" || fail "the heat map is not shown"
# The first class's wins counted from the lines themselves.
won=$(( $(grep -c '"p1":{"class":0,.*"winner":1,' "$sets/hard.jsonl") +
        $(grep -c '"p2":{"class":0,.*"winner":2,' "$sets/hard.jsonl") ))
rate=$(awk -v w="$won" 'BEGIN { printf "%.1f %%", 100 * w / 4 }')
grep -q "^| Brawler | $rate | [0-9.]*–[0-9.]* % | 4 |" "$report" \
  || fail "Brawler won $won of 4, not in: $(grep '^| Brawler |' "$report" | head -1)"

png=$sets/matrix.png
[ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "matrix.png is not a PNG"
size=$(od -An -tu1 -j 16 -N 8 "$png" | awk '{ print $1*16777216 + $2*65536 + $3*256 + $4 "x" $5*16777216 + $6*65536 + $7*256 + $8 }')
[ "$size" = 900x700 ] || fail "matrix.png is $size, expected 900x700"

# A line that is not a match, and a missing set, fail naming the file.
echo "not a match" >> "$sets/levels.jsonl"
"$tool" "$sets" --data "$data" > /dev/null 2> "$work/stderr" && fail "a bad line was accepted"
grep -q "levels.jsonl:5: not a JSON object" "$work/stderr" || fail "bad line: $(cat "$work/stderr")"
sed -i '$d' "$sets/levels.jsonl"
rm "$sets/passive.jsonl"
"$tool" "$sets" --data "$data" > /dev/null 2> "$work/stderr" && fail "a missing set was accepted"
grep -q "passive.jsonl: cannot be read" "$work/stderr" || fail "missing set: $(cat "$work/stderr")"

# The script with a stand-in runner: each match line says what the runner was asked for.
build=$work/build
mkdir -p "$build"
ln -s "$game" "$build/game"
ln -s "$tool" "$build/quarrelix-balance"
cat > "$build/quarrelix-match" <<'STUB'
#!/usr/bin/env bash
seed=1 matches=1 c1=-1 c2=-1 l1=3 l2=3 stage=-1
while [ $# -gt 0 ]; do
  case $1 in
    --seed) seed=$2; shift ;; --matches) matches=$2; shift ;; --p1) c1=$2; shift ;;
    --p2) c2=$2; shift ;; --p1-level) l1=$2; shift ;; --p2-level) l2=$2; shift ;;
    --stage) stage=$2; shift ;; --details) ;;
  esac
  shift
done
[ "$stage" -ge 3 ] && { echo "quarrelix-match: no stage $stage (3 stages)" >&2; exit 2; }
[ -n "${STUB_FAIL_SEED:-}" ] && [ "$seed" = "$STUB_FAIL_SEED" ] && { echo "stand-in broke" >&2; exit 1; }
[ "$c1" -lt 0 ] && c1=0
[ "$c2" -lt 0 ] && c2=1
[ "$stage" -lt 0 ] && stage=0
side() { echo "{\"class\":$1,\"stance\":0,\"level\":$2,\"life\":0,\"maxLife\":100,\"hits\":4,\"damage\":40,\"maxCombo\":1}"; }
for ((s = seed; s < seed + matches; s++)); do
  echo "{\"seed\":$s,\"stage\":$stage,\"p1\":$(side "$c1" "$l1"),\"p2\":$(side "$c2" "$l2")," \
       "\"winner\":$((1 + s % 2)),\"frames\":2000,\"gameSeconds\":20,\"wallSeconds\":0.01," \
       "\"play\":[{\"attacks\":10,\"landed\":5,\"closeFrames\":100},{\"attacks\":10,\"landed\":5,\"closeFrames\":100}]}"
done
STUB
chmod +x "$build/quarrelix-match"
out=$work/balance
QRX_BUILD_DIR=$build QRX_BALANCE_DIR=$out "$script" 2 > "$work/stdout" 2> "$work/stderr" \
  || fail "balance.sh with the stand-in failed: $(cat "$work/stderr")"
grep -q "^Report: $out/report.md" "$work/stdout" || fail "balance.sh did not print the report's place"
read -r -a classes <<< "$("$tool" --playable --data "$data")"
k=${#classes[@]}
[ "$(wc -l < "$out/hard.jsonl")" -eq $((k * (k - 1) * 3 * 2)) ] || fail "hard.jsonl: $(wc -l < "$out/hard.jsonl") lines"
[ "$(wc -l < "$out/levels.jsonl")" -eq 40 ] || fail "levels.jsonl: $(wc -l < "$out/levels.jsonl") lines"
[ "$(wc -l < "$out/passive.jsonl")" -eq $((k * 3 * (k - 1))) ] || fail "passive.jsonl lines"
seeds=$(cat "$out"/*.jsonl | grep -o '^{"seed":[0-9]*' | sort | uniq -d)
[ -z "$seeds" ] || fail "seeds used twice: $seeds"
pairs=$(grep -o '"stage":[0-9]*,"p1":{"class":[0-9]*\|"p2":{"class":[0-9]*' "$out/hard.jsonl" \
        | paste -d' ' - - | sort -u | wc -l)
[ "$pairs" -eq $((k * (k - 1) * 3)) ] || fail "$pairs distinct pairs and stages in hard.jsonl"
grep -q '"p1":{"class":[0-9]*,"stance":0,"level":3' "$out/hard.jsonl" || fail "no Hard player one"
for sides in '"level":3.*"level":2' '"level":2.*"level":3' '"level":2.*"level":1' '"level":1.*"level":2'; do
  [ "$(grep -c "$sides" "$out/levels.jsonl")" -eq 10 ] || fail "levels.jsonl: not 10 lines of $sides"
done
[ "$(grep -c '"p2":{"class":[0-9]*,"stance":0,"level":0' "$out/passive.jsonl")" -eq $((k * 3 * (k - 1))) ] \
  || fail "passive.jsonl: player two not always passive"

failed=$work/failed
QRX_BUILD_DIR=$build QRX_BALANCE_DIR=$failed STUB_FAIL_SEED=7 "$script" 1 > /dev/null 2> "$work/stderr" \
  && fail "balance.sh went on after a runner failed"
grep -q "quarrelix-match failed: --seed 7 " "$work/stderr" || fail "no message naming the failed run: $(cat "$work/stderr")"
grep -q "stand-in broke" "$work/stderr" || fail "the runner's own message is not shown"
[ ! -e "$failed/report.md" ] || fail "a report was written after a runner failed"
echo "balance report ok"
