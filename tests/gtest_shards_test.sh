#!/usr/bin/env bash
# tools/gtest-shards.sh with a stand-in for a GoogleTest executable that plays its part of seven
# tests by GTEST_SHARD_INDEX: every test runs once across the pieces, each piece in a directory of
# its own with its output whole; a failing piece fails the run and is named; pieces that run
# fewer tests than are listed (a disabled one aside) fail it too.
# Usage: gtest_shards_test.sh SOURCE_DIR
set -u
shards=$1/tools/gtest-shards.sh
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/tests" <<'STUB'
#!/usr/bin/env bash
names=(A.one A.two A.three B.four B.five B.six B.seven)
if [ "${1:-}" = --gtest_list_tests ]; then
  printf 'A.\n  one\n  two\n  three\n  DISABLED_later\nB.\n  four\n  five\n  six\n  seven\n'
  exit 0
fi
ran=0
for ((i = GTEST_SHARD_INDEX; i < ${#names[@]}; i += GTEST_TOTAL_SHARDS)); do
  [ "${names[$i]}" = "${STUB_LOSE:-}" ] && continue
  echo "[ RUN      ] ${names[$i]} in $(basename "$PWD")"
  sleep 0.1
  echo "[       OK ] ${names[$i]}"
  ran=$((ran + 1))
done
echo "[==========] $ran tests from 2 test suites ran. (1 ms total)"
[ "${STUB_FAIL_PIECE:-}" = "$GTEST_SHARD_INDEX" ] && { echo "[  FAILED  ] 1 test"; exit 1; }
exit 0
STUB
chmod +x "$work/tests"

out=$("$shards" "$work/tests" "$work/run" 3 2>&1) || fail "a passing suite failed: $out"
[ "$(grep -c '^\[ RUN' <<<"$out")" -eq 7 ] || fail "not seven tests run: $out"
[ "$(grep '^\[ RUN' <<<"$out" | awk '{print $4}' | sort -u | wc -l)" -eq 7 ] || fail "a test ran twice: $out"
grep -q '^=== 7 of 7 tests ran in 3 pieces ===$' <<<"$out" || fail "no count of the tests: $out"
# Each piece's lines together under its heading, run in its own directory.
for piece in 1 2 3; do
  block=$(sed -n "/^=== tests, piece $piece of 3 (exit 0) ===$/,/ran\./p" <<<"$out")
  [ -n "$block" ] || fail "piece $piece has no heading: $out"
  grep '^\[ RUN' <<<"$block" | grep -qv "in shard-$((piece - 1))$" &&
    fail "piece $piece ran elsewhere than shard-$((piece - 1)): $block"
done

out=$(STUB_FAIL_PIECE=1 "$shards" "$work/tests" "$work/run" 3 2>&1) && fail "a failing piece passed: $out"
grep -q '^=== tests, piece 2 of 3 (exit 1) ===$' <<<"$out" || fail "the failing piece's exit status: $out"
grep -q '^FAILED: pieces 2 of 3' <<<"$out" || fail "the failing piece is not named: $out"

out=$(STUB_LOSE=B.six "$shards" "$work/tests" "$work/run" 2 2>&1) && fail "a lost test went unnoticed: $out"
grep -q '^FAILED: 7 tests listed but 6 ran$' <<<"$out" || fail "a lost test: $out"

"$shards" "$work/tests" "$work/run" 0 >/dev/null 2>&1 && fail "0 pieces accepted"
echo "sharded test runs ok"
