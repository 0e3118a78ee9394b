#!/usr/bin/env bash
# tools/net-lab-scenarios.sh with stand-ins for the game's online runner, match runner and lobby
# (shell scripts that print what the real ones print): its arguments, its message for a runner
# without rooms, the loopback run where the lab cannot be built, the lab run where it can, and
# a failing match that still leaves no namespace nor process behind.
# Usage: net_lab_scenarios_test.sh SOURCE_DIR
set -u
src=$1 work=$(mktemp -d)
scenarios=$src/tools/net-lab-scenarios.sh
cleanup() { "$src/tools/net-lab.sh" down >/dev/null 2>&1; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
mkdir -p "$work/build" "$work/old" "$work/game/image"
touch "$work/game/image/letter_white.png"
echo '{"fighters":[{"idle":1}]}' > "$work/game/data.json"

# The online runner's stand-in: "room CODE" for a host, a second, then the closing JSON line. Its
# path comes from the lab it runs in (the lab's own record of how it was made) or --path.
cat > "$work/build/quarrelix-online" <<'STUB'
#!/usr/bin/env bash
record="" path="" role=""
while [ $# -gt 0 ]; do
  case $1 in
    --no-such-option) echo "usage: quarrelix-online (--host PORT | --join HOST[:PORT] | --lobby HOST[:PORT] ...)" >&2; exit 2;;
    --record) record=$2; shift;;
    --path) path=$2; shift;;
    --host-room) role=host;;
    --join-room|--watch) role=${1#--}; shift;;
  esac
  shift
done
[ "$role" = host ] && echo "room QXTEST"
sleep 1
if [ -z "$path" ] && [ -f /run/qxlab/lab.conf ]; then
  . /run/qxlab/lab.conf
  case "$lans/$symmetric/$upnp" in one/*) path=local;; */2/2) path=upnp;; */2/) path=relay;; *) path=direct;; esac
fi
hash=00000000deadbeef
[ "$role" = join-room ] && [ -n "${STUB_SPOIL:-}" ] && hash=00000000feedf00d
[ -n "$record" ] && echo "stand-in replay" > "$record"
printf '{"side":1,"finished":true,"winner":2,"frames":1200,"hash":"%s","path":"%s","connectMs":%d,"pingMs":0.4,"rollbacksPerSecond":0.00}\n' \
  "$hash" "${path:-local}" $((RANDOM % 100))
STUB
cat > "$work/build/quarrelix-match" <<'STUB'
#!/usr/bin/env bash
[ "$1" = --replay ] && grep -q "stand-in replay" "$2" && echo '{"winner":2,"frames":1200}'
STUB
# The lobby's stand-in listens on its UDP port, for a bounded time.
cat > "$work/build/quarrelix-lobby" <<'STUB'
#!/usr/bin/env bash
exec python3 -c 'import socket,sys,time; s=socket.socket(socket.AF_INET,socket.SOCK_DGRAM); s.bind(("0.0.0.0",int(sys.argv[1]))); time.sleep(120)' "$2" "$0"
STUB
cp "$work/build/quarrelix-match" "$work/build/quarrelix-lobby" "$work/old/"
printf '#!/usr/bin/env bash\necho "usage: quarrelix-online (--host PORT | --join HOST[:PORT])" >&2; exit 2\n' \
  > "$work/old/quarrelix-online"
printf '#!/usr/bin/env bash\necho "net-lab: cannot build the lab here: a stand-in says so" >&2; exit 77\n' \
  > "$work/no-lab.sh"
chmod +x "$work"/build/* "$work"/old/* "$work/no-lab.sh"
start=$SECONDS

"$scenarios" > "$work/out" 2>&1; [ $? -eq 2 ] || fail "no arguments: not refused"
"$scenarios" "$work/build" "$work/game" --max-seconds x > "$work/out" 2>&1
[ $? -eq 2 ] || fail "a bad --max-seconds: not refused"
"$scenarios" "$work/old" "$work/game" > "$work/out" 2>&1; rc=$?
[ $rc -eq 1 ] && grep -q "does not know --lobby" "$work/out" ||
  fail "a runner without rooms ($rc): $(cat "$work/out")"

# Without the lab: the relay and the local path on loopback, and a plain word of why.
NET_LAB=$work/no-lab.sh "$scenarios" "$work/build" "$work/game" --watch-after 1 > "$work/out" 2>&1 ||
  fail "the loopback run: $(cat "$work/out")"
grep -q "lab scenarios skipped: cannot build the lab here: a stand-in says so" "$work/out" ||
  fail "the loopback run does not say why the lab was skipped: $(cat "$work/out")"
for row in "relay +relay" "local +local" "spectator"; do
  grep -Eq "^$row" "$work/out" || fail "the loopback run's table lacks $row: $(cat "$work/out")"
done

if "$src/tools/net-lab.sh" check > /dev/null 2>&1; then
  "$scenarios" "$work/build" "$work/game" --watch-after 1 > "$work/out" 2>&1 ||
    fail "the lab run: $(cat "$work/out")"
  for row in "cone +direct" "upnp +upnp" "symmetric +relay" "local +local" "spectator"; do
    grep -Eq "^$row" "$work/out" || fail "the lab run's table lacks $row: $(cat "$work/out")"
  done
  ip netns list | grep -q qxlab- && fail "the lab run left namespaces: $(ip netns list)"
  cat "$work/out"
  STUB_SPOIL=1 "$scenarios" "$work/build" "$work/game" > "$work/out" 2>&1 && fail "a desync passed"
  grep -q "cone: the sides differ in hash" "$work/out" || fail "a desync: $(cat "$work/out")"
  ip netns list | grep -q qxlab- && fail "a failed run left namespaces: $(ip netns list)"
  tail -n 12 "$work/out"
else
  echo "the lab cannot be built here: its run with stand-ins skipped"
fi
sleep 0.5
pgrep -f "$work/build" > /dev/null && fail "stand-ins still running: $(pgrep -af "$work/build")"
[ $((SECONDS - start)) -lt 150 ] || fail "took $((SECONDS - start)) s"
echo "the lab scenarios' script runs, reports and cleans up as it should"
