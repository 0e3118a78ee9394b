#!/usr/bin/env bash
# The fight plays exactly as it did: 20 seeded bot matches at 50, 100 and 240 frames per second
# give, line for line, the results kept in tests/fixtures (wall-clock times left out), under the
# fight's rules of today (match_results_<F>fps.jsonl) and under the first rules
# (match_results_<F>fps_rules1.jsonl, which replays recorded under them must still meet). Any
# change in what happens within a fight frame, or in its order, changes some of these lines. A
# change meant to alter the fight (rules, content) renews the fixtures of today's rules with the
# same runner command.
# Usage: match_results_fixture_test.sh RUNNER GAME_DIR FIXTURE_DIR
set -u
runner=$1 game=$2 fixtures=$3
[ -f "$game/image/letter_white.png" ] || { echo "no generated content: skipped"; exit 77; }
status=0
for rules in today 1; do
  for fps in 50 100 240; do
    expected="$fixtures/match_results_${fps}fps.jsonl"
    options=()
    if [ "$rules" != today ]; then
      expected="$fixtures/match_results_${fps}fps_rules$rules.jsonl"
      options=(--rules "$rules")
    fi
    actual=$(cd "$game" && "$runner" --seed 1 --matches 20 --fps "$fps" --render none "${options[@]}" \
             2>/dev/null | sed 's/,"wallSeconds":[0-9.e+-]*//') \
      || { echo "FAIL: runner failed at $fps FPS (rules $rules)"; exit 1; }
    if ! diff <(echo "$actual") "$expected" > /dev/null; then
      echo "FAIL: results differ at $fps frames per second (rules $rules):"
      diff <(echo "$actual") "$expected" | head -6
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "120 matches as before"
exit $status
