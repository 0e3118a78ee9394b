#!/usr/bin/env bash
# Online matches through the lobby in the network lab (tools/net-lab.sh), one per kind of home:
#   cone       two cone routers                          path "direct"
#   upnp       router 2 symmetric, running miniupnpd     path "upnp" ("relay" if the mapping fails)
#   symmetric  router 2 symmetric, no UPnP               path "relay"
#   local      both players behind router 1              path "local"
#   spectator  a spectator on the internet joins the cone match a few seconds in, and ends it
#              with the players' frames, winner and hash
# Every match: both sides end with the same frames, winner and hash, and each side's replay
# plays back (quarrelix-match --replay) to that winner. A table of paths, connection times,
# pings and rollbacks comes last.
# Where the lab cannot be built (net-lab.sh exits 77), the same checks run on loopback with the
# lobby's relay (--path relay, watched by a spectator) and the local path.
#
# Usage: tools/net-lab-scenarios.sh BUILD_DIR GAME_DIR [--max-seconds S] [--watch-after S]
#   BUILD_DIR holds quarrelix-online, quarrelix-match and quarrelix-lobby; GAME_DIR is the game's
#   directory (replays play back from there). NET_LAB=FILE uses another lab script.
# Exits 0 when all passed, 1 on a failure, 2 on bad arguments, 77 without generated content.
set -u
usage() { sed -n 's/^# \{0,1\}//; /^Usage:/,/^Exits/p' "$0" >&2; exit 2; }
[ $# -ge 2 ] || usage
build=$(cd "$1" 2>/dev/null && pwd) || { echo "no build directory $1" >&2; exit 2; }
game=$(cd "$2" 2>/dev/null && pwd) || { echo "no game directory $2" >&2; exit 2; }
shift 2
max_seconds=20 watch_after=5
while [ $# -gt 0 ]; do
  case $1 in
    --max-seconds|--watch-after)
      [[ ${2:-} =~ ^[0-9]+$ ]] || { echo "$1 needs a whole number of seconds" >&2; exit 2; }
      if [ "$1" = --max-seconds ]; then max_seconds=$2; else watch_after=$2; fi
      shift 2;;
    *) echo "unknown option $1" >&2; usage;;
  esac
done
here=$(cd "$(dirname "$0")" && pwd)
lab=${NET_LAB:-$here/net-lab.sh}
online=$build/quarrelix-online match=$build/quarrelix-match lobby=$build/quarrelix-lobby
work=$(mktemp -d)
started=$SECONDS
in_lab=0
cleanup() {
  local pids
  pids=$(jobs -p)
  [ -n "$pids" ] && kill $pids 2>/dev/null
  wait 2>/dev/null
  [ $in_lab -eq 1 ] && "$lab" down >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in "$online" "$match" "$lobby"; do
  [ -x "$tool" ] || fail "$tool is missing: build it first (cmake --build $build)"
done
# The runner's usage names its options: a runner from before the lobby does not know --lobby.
"$online" --no-such-option 2>&1 | grep -q -- "--lobby" ||
  fail "$online does not know --lobby yet: rooms through the lobby are not built in this runner"
[ -f "$game/image/letter_white.png" ] || { echo "no generated content: skipped"; exit 77; }
grep -q '"idle"' "$game/data.json" || { echo "no generated fighters: skipped"; exit 77; }
cd "$game"

# The lab, or the reason why not.
skip_reason=""
if reason=$("$lab" check 2>&1); then in_lab=1; else
  rc=$?
  [ $rc -eq 77 ] || fail "the lab's check failed ($rc): $reason"
  skip_reason=${reason#net-lab: }
fi

field() { tail -n 1 "$1" | grep -o "\"$2\":[^,}]*" | head -1 | cut -d: -f2 | tr -d '"'; }
# run NAME MACHINE CMD... &: CMD in the lab machine (or here, on loopback), bounded in time, in
# place of the background job's shell, so that ending the job ends CMD.
run() {
  local name=$1 machine=$2
  shift 2
  exec > "$work/$name.out" 2> "$work/$name.err" < /dev/null
  if [ $in_lab -eq 1 ]; then
    exec timeout -k 5 $((max_seconds + 60)) "$lab" exec "$machine" "$@"
  fi
  exec timeout -k 5 $((max_seconds + 60)) "$@"
}

lobby_addr=""
start_lobby() {
  local port=7771 machine=lobby
  if [ $in_lab -eq 1 ]; then lobby_addr=198.18.0.10:$port; else
    port=$((20000 + RANDOM % 30000))
    lobby_addr=127.0.0.1:$port
  fi
  run lobby lobby "$lobby" --port $port --stats 10 &
  local i
  for i in $(seq 50); do
    if [ $in_lab -eq 1 ]; then "$lab" exec lobby ss -lnu; else ss -lnu; fi 2>/dev/null |
      grep -q ":$port " && return 0
    sleep 0.1
  done
  fail "the lobby does not listen on $lobby_addr: $(cat "$work/lobby.err")"
}

declare -A row
rows=()
# scenario NAME EXPECTED HOST_MACHINE JOIN_MACHINE [WATCH] [-- OPTIONS FOR BOTH SIDES]:
# one match through the lobby; EXPECTED is a path or "a|b"; WATCH names a spectator scenario.
scenario() {
  local name=$1 expected=$2 hm=$3 jm=$4 watch="" extra=()
  shift 4
  if [ $# -gt 0 ] && [ "$1" != -- ]; then watch=$1; shift; fi
  [ "${1:-}" = -- ] && { shift; extra=("$@"); }
  echo "scenario $name: players on $hm and $jm, expecting path $expected"
  run "$name-host" "$hm" "$online" --lobby "$lobby_addr" --host-room --class 4:0 --seed 7 \
    --max-seconds "$max_seconds" --wait 30 --record "$work/$name-host.qrxreplay" "${extra[@]}" &
  local host=$! code="" i
  for i in $(seq 100); do
    code=$(sed -n 's/^room \([A-Z0-9]*\)$/\1/p' "$work/$name-host.out" 2>/dev/null | head -1)
    [ -n "$code" ] && break
    kill -0 $host 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$code" ] || fail "$name: the host got no room: $(cat "$work/$name-host.out" "$work/$name-host.err")"
  run "$name-join" "$jm" "$online" --lobby "$lobby_addr" --join-room "$code" --class 1:0 \
    --max-seconds "$max_seconds" --record "$work/$name-join.qrxreplay" "${extra[@]}" &
  local join=$! watcher=""
  if [ -n "$watch" ]; then
    sleep "$watch_after"
    run "$watch-watch" spectator "$online" --lobby "$lobby_addr" --watch "$code" &
    watcher=$!
  fi
  wait $host; local host_rc=$?
  wait $join; local join_rc=$?
  [ -n "$watcher" ] && { wait $watcher || true; }
  local side
  for side in host join; do
    local out=$work/$name-$side.out
    [ "$(field "$out" finished)" = true ] ||
      fail "$name: the $side did not finish (exit $([ $side = host ] && echo $host_rc || echo $join_rc)): $(tail -n 3 "$out") $(tail -n 5 "$work/$name-$side.err")"
  done
  local key
  for key in frames winner hash; do
    [ "$(field "$work/$name-host.out" $key)" = "$(field "$work/$name-join.out" $key)" ] ||
      fail "$name: the sides differ in $key: $(tail -n 1 "$work/$name-host.out") $(tail -n 1 "$work/$name-join.out")"
  done
  local winner path_host path_join
  winner=$(field "$work/$name-host.out" winner)
  for side in host join; do
    local line
    line=$("$match" --replay "$work/$name-$side.qrxreplay" 2>&1) ||
      fail "$name: the $side's replay does not play back: $line"
    [[ $line == *"\"winner\":$winner"* ]] || fail "$name: the $side's replay has another winner: $line"
  done
  path_host=$(field "$work/$name-host.out" path) path_join=$(field "$work/$name-join.out" path)
  [ "$path_host" = "$path_join" ] || fail "$name: the sides took different paths: $path_host, $path_join"
  [[ "|$expected|" == *"|$path_host|"* ]] || fail "$name: path $path_host, expected $expected"
  [ "$expected" = "${expected%|*}" ] || echo "$name: the path taken is $path_host (of $expected)"
  row[$name]=$(printf '%-10s %-7s %9s %9s %8s %8s' "$name" "$path_host" \
    "$(field "$work/$name-host.out" connectMs)" "$(field "$work/$name-join.out" connectMs)" \
    "$(field "$work/$name-host.out" pingMs)/$(field "$work/$name-join.out" pingMs)" \
    "$(field "$work/$name-host.out" rollbacksPerSecond)/$(field "$work/$name-join.out" rollbacksPerSecond)")
  rows+=("$name")
  if [ -n "$watch" ]; then
    local out=$work/$watch-watch.out
    for key in frames winner hash; do
      [ "$(field "$out" $key)" = "$(field "$work/$name-host.out" $key)" ] ||
        fail "$watch: the spectator's $key differs from the players': $(tail -n 1 "$out") $(tail -n 3 "$work/$watch-watch.err")"
    done
    row[$watch]=$(printf '%-10s %-7s %9s %9s %8s %8s' "$watch" "$(field "$out" path)" - - - -)
    rows+=("$watch")
  fi
}

# lab_up OPTIONS...: a fresh lab and its lobby (the last lab's processes go with it).
lab_up() {
  local pids
  pids=$(jobs -p)
  [ -n "$pids" ] && kill $pids 2>/dev/null
  wait 2>/dev/null
  "$lab" up "$@" > "$work/lab.log" 2>&1 || fail "the lab does not come up ($*): $(cat "$work/lab.log")"
  start_lobby
}

if [ $in_lab -eq 1 ]; then
  lab_up;                          scenario cone direct host1 host2 spectator
  lab_up --symmetric 2 --upnp 2;   scenario upnp "upnp|relay" host1 host2
  lab_up --symmetric 2;            scenario symmetric relay host1 host2
  lab_up --same-lan;               scenario local local host1 host2
else
  echo "lab scenarios skipped: $skip_reason"
  echo "on loopback instead: the lobby's relay (watched by a spectator) and the local path"
  start_lobby
  scenario relay relay - - spectator -- --path relay
  scenario local local - -
fi

echo
printf '%-10s %-7s %9s %9s %8s %8s\n' scenario path "connectMs" "(join)" "pingMs" "rollb/s"
for name in "${rows[@]}"; do echo "${row[$name]}"; done
echo "net-lab scenarios passed in $((SECONDS - started)) s"
