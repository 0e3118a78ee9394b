#!/usr/bin/env bash
# Online play between two game processes on this machine, over the real connection (loopback),
# each side's outgoing inputs through a network conditioner: at 0, 60 and 150 ms one way, with
# jitter, 5 % loss, 3 % duplicates and 3 % reordering, both sides must finish the same match
# with the same result and hash, and each replay must play back headless to that end. The
# matches play on the real clock, so the two slow links are cut at 15 seconds of fight (900
# frames), long enough for hundreds of rollbacks and waits: a match that ends there ends as a
# knock-out does, both sides agreeing on its last frame before they stop. The clean link plays
# to its knock-out. A side
# that vanishes mid-match, and one that leaves, end the match on the other side with a message;
# a side whose fight goes apart from its peer's stops both with the frame where the hashes
# differ. Every match cut short leaves a replay that still plays back.
# Through a lobby on loopback, a room connects on the same-network path and another through the
# relay; a spectator who comes in mid-match ends each with the players' frames, winner and hash.
# Usage: online_loopback_test.sh ONLINE_RUNNER MATCH_RUNNER GAME_DIR LOBBY
set -u
online=$1 runner=$2 game=$3 lobby=$4 work=$(mktemp -d)
trap 'rm -rf "$work"; kill $(jobs -p) 2>/dev/null' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$game/image/letter_white.png" ] || { echo "no generated content: skipped"; exit 77; }
grep -q '"idle"' "$game/data.json" || { echo "no generated fighters: skipped"; exit 77; }
cd "$game"
base=$((20000 + RANDOM % 30000))

# play NAME PORT HOST_OPTIONS... -- JOIN_OPTIONS...: both sides in the background.
play() {
  local name=$1 port=$2
  shift 2
  local host=() join=()
  while [ "$1" != "--" ]; do host+=("$1"); shift; done
  shift
  join=("$@")
  # A generous wait for the other side: eight processes start at once on a busy machine.
  "$online" --host "$port" --wait 60 --record "$work/$name-host.qrxreplay" "${host[@]}" \
    > "$work/$name-host.json" 2> "$work/$name-host.err" &
  sleep 0.3
  "$online" --join "127.0.0.1:$port" --wait 60 --record "$work/$name-join.qrxreplay" "${join[@]}" \
    > "$work/$name-join.json" 2> "$work/$name-join.err" &
}

field() { grep -o "\"$2\":[^,}]*" "$1" | head -1 | cut -d: -f2 | tr -d '"'; }

# The link of each case: latency and jitter in ms; loss, duplicates and reordering throughout.
declare -A latency=([l0]=0 [l60]=60 [l150]=150) jitter=([l0]=0 [l60]=10 [l150]=20)
n=0
for name in l0 l60 l150; do
  link=(--latency "${latency[$name]}" --jitter "${jitter[$name]}" --loss 5 --duplicate 3 --reorder 3)
  n=$((n + 1))
  # The clean link plays to its knock-out, so that one match ends as a real one does.
  cap=(--max-seconds 15)
  [ "$name" = l0 ] && cap=()
  play "$name" $((base + n)) --class 4:0 --stage 1 --seed $((10 + n)) "${link[@]}" --link-seed $n \
    "${cap[@]}" -- --class 1:0 "${link[@]}" --link-seed $((n + 100)) "${cap[@]}"
done
play vanish $((base + 10)) --class 2:0 --seed 3 -- --class 3:0 --vanish-after 6
play leave $((base + 11)) --class 0:0 --seed 4 --leave-after 6 -- --class 2:0
play desync $((base + 12)) --class 1:0 --seed 5 -- --class 4:0 --spoil-after 5

# room NAME EXTRA_OPTIONS...: a room hosted and joined through the lobby, watched from 5 s in.
lobby_port=$((base + 20))
"$lobby" --bind 127.0.0.1 --port "$lobby_port" --stats 1000 > "$work/lobby.out" 2>&1 &
lobby_pid=$!
room() {
  local name=$1
  shift
  local at=(--lobby "127.0.0.1:$lobby_port" --max-seconds 12 "$@")
  "$online" --host-room --class 2:0 --seed 21 --record "$work/$name-host.qrxreplay" "${at[@]}" \
    > "$work/$name-host.json" 2> "$work/$name-host.err" &
  local code=""
  for _ in $(seq 50); do
    code=$(awk '/^room /{print $2; exit}' "$work/$name-host.json")
    [ -n "$code" ] && break
    sleep 0.1
  done
  [ -n "$code" ] || fail "$name: no room code: $(cat "$work/$name-host.err")"
  "$online" --join-room "$code" --class 3:0 --record "$work/$name-join.qrxreplay" "${at[@]}" \
    > "$work/$name-join.json" 2> "$work/$name-join.err" &
  (sleep 5; exec "$online" --watch "$code" --lobby "127.0.0.1:$lobby_port" \
    --record "$work/$name-watch.qrxreplay" > "$work/$name-watch.json" 2> "$work/$name-watch.err") &
}
room local
room relay --path relay
wait $(jobs -p | grep -v "^$lobby_pid$")
kill "$lobby_pid" 2>/dev/null

case "$(field "$work/l0-host.json" winner)" in 1|2) ;; *)
  fail "l0: the clean link's match did not end in a knock-out: $(cat "$work/l0-host.json")";; esac
for name in l0 l60 l150; do
  for side in host join; do
    [ "$(field "$work/$name-$side.json" finished)" = true ] ||
      fail "$name: the $side did not finish: $(cat "$work/$name-$side.json" "$work/$name-$side.err")"
  done
  for key in winner frames hash finalHash; do
    [ "$(field "$work/$name-host.json" $key)" = "$(field "$work/$name-join.json" $key)" ] ||
      fail "$name: the two sides differ in $key: $(cat "$work/$name-host.json" "$work/$name-join.json")"
  done
  for side in host join; do
    line=$("$runner" --replay "$work/$name-$side.qrxreplay") ||
      fail "$name: the $side's replay does not play back to its end"
    [ "$(echo "$line" | grep -o '"winner":[0-9]*')" = "\"winner\":$(field "$work/$name-host.json" winner)" ] ||
      fail "$name: the $side's replay has another winner: $line"
  done
  echo "$name ms: $(cat "$work/$name-host.json")"
  echo "$name ms: $(cat "$work/$name-join.json")"
done

# The vanished side's peer heard nothing for 3 seconds; the one left behind was told.
grep -q "nothing heard for 3 seconds" "$work/vanish-host.json" ||
  fail "a vanished peer: $(cat "$work/vanish-host.json" "$work/vanish-host.err")"
grep -q "the other player left" "$work/leave-join.json" ||
  fail "a peer that left: $(cat "$work/leave-join.json" "$work/leave-join.err")"
# Both sides of the spoiled fight name the same frame, where the hashes first differed.
desync=$(grep -o "Desync at frame [0-9]*" "$work/desync-host.json")
[ -n "$desync" ] && [ "$desync" = "$(grep -o "Desync at frame [0-9]*" "$work/desync-join.json")" ] ||
  fail "a desync: $(cat "$work/desync-host.json" "$work/desync-join.json")"
echo "a spoiled fight, on both sides: $desync"
for file in vanish-host leave-host leave-join desync-host desync-join; do
  [ "$(field "$work/$file.json" finished)" = false ] || fail "$file: finished a match cut short"
  "$runner" --replay "$work/$file.qrxreplay" > /dev/null ||
    fail "$file: the replay of a match cut short does not play back"
done
for name in local relay; do
  for side in host join watch; do
    [ "$(field "$work/$name-$side.json" finished)" = true ] ||
      fail "room $name: the $side did not finish: $(cat "$work/$name-$side.json" "$work/$name-$side.err")"
    "$runner" --replay "$work/$name-$side.qrxreplay" > /dev/null ||
      fail "room $name: the $side's replay does not play back"
    for key in winner frames hash finalHash; do
      [ "$(field "$work/$name-$side.json" $key)" = "$(field "$work/$name-host.json" $key)" ] ||
        fail "room $name: the $side differs in $key: $(cat "$work/$name-host.json" "$work/$name-$side.json")"
    done
  done
  for side in host join; do
    [ "$(field "$work/$name-$side.json" path)" = "$name" ] ||
      fail "room $name: the $side took another path: $(cat "$work/$name-$side.json")"
  done
  for side in host join; do
    f=$work/$name-$side.json
    echo "room $name, $side: path $(field "$f" path), connected in $(field "$f" connectMs) ms, ping $(field "$f" pingMs) ms, $(field "$f" rollbacksPerSecond) rollbacks/s"
  done
done
echo "online matches over loopback agree, and matches cut short end cleanly"
