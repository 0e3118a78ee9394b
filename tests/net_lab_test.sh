#!/usr/bin/env bash
# The network lab behaves as homes behind real routers do, checked with the lab's own hole
# punching script before any game runs in it: two cone routers punch through; a symmetric
# router on one side does not; a mapping asked by UPnP of that router (miniupnpd) lets the peer
# in; two players of one home reach each other at their local addresses; two homes with the
# same LAN make a player's try at its peer's local address reach only itself; a router says
# nothing (no "port unreachable") to a packet sent unasked to it.
# Usage: net_lab_test.sh SOURCE_DIR    (exit 77 when this machine cannot build the lab)
set -u
src=$1 lab=$1/tools/net-lab.sh punch=$1/tools/net-lab-punch.py work=$(mktemp -d)
cleanup() { kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; "$lab" down >/dev/null 2>&1; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
"$lab" check || exit $?
start=$SECONDS

# punch NAME SECONDS [host1 options] -- [host2 options]: the two players meet through the
# rendezvous on the lobby's machine; their JSON lines land in NAME-1.json and NAME-2.json.
punch() {
  local name=$1 seconds=$2 one=()
  shift 2
  while [ "$1" != -- ]; do one+=("$1"); shift; done
  shift
  "$lab" exec lobby python3 "$punch" rendezvous --port 7700 --seconds $((seconds + 3)) \
    > "$work/$name-rendezvous.log" 2>&1 &
  local rendezvous=$!
  sleep 0.5
  "$lab" exec host1 python3 "$punch" client --server 198.18.0.10:7700 --room "$name" --name one \
    --port 40000 --seconds "$seconds" "${one[@]}" > "$work/$name-1.json" 2>&1 &
  local first=$!
  "$lab" exec host2 python3 "$punch" client --server 198.18.0.10:7700 --room "$name" --name two \
    --port 40000 --seconds "$seconds" "$@" > "$work/$name-2.json" 2>&1
  wait $first
  kill $rendezvous 2>/dev/null; wait $rendezvous 2>/dev/null
  echo "$name: $(cat "$work/$name-1.json")"
  echo "$name: $(cat "$work/$name-2.json")"
}
punched() { grep -q '"punched": true' "$work/$1-1.json" && grep -q '"punched": true' "$work/$1-2.json"; }
heard_any() { grep -q '"heard": true' "$work/$1-1.json" || grep -q '"heard": true' "$work/$1-2.json"; }

"$lab" up >/dev/null || fail "the lab does not come up"
punch cone 5 -- || true
punched cone || fail "two cone routers: the players did not punch through"
# A cone router keeps the host's port: the peer is seen at the port the rendezvous saw.
grep -q '"heardFrom": "198.18.2.1:40000"' "$work/cone-1.json" || fail "router 2 changed the port"
# Both homes are 192.168.1.0/24 with the player at .100: probes to the peer's local address
# reach the player itself, and must not count.
punch twin 2 --advertise 192.168.1.100:40000 -- --advertise 192.168.1.100:40000 || true
heard_any twin && fail "a player took its own probe, sent to its twin's local address, for its peer's"
# Unasked, a router drops: the sender hears no "port unreachable".
"$lab" exec spectator python3 - <<'EOF' || fail "router 1 answered a packet sent unasked to it"
import socket
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.settimeout(1)
s.connect(("198.18.1.1", 40999))
for _ in range(2):
    s.send(b"anyone?")
    try:
        s.recv(100)
        raise SystemExit(1)
    except socket.timeout:
        pass
    except ConnectionRefusedError:
        raise SystemExit(1)
EOF

"$lab" up --same-lan >/dev/null || fail "the lab does not come up with one home"
punch home 3 --advertise 192.168.1.100:40000 -- --advertise 192.168.1.101:40000 || true
punched home || fail "two players of one home do not reach each other at their local addresses"

"$lab" up --symmetric 2 >/dev/null || fail "the lab does not come up with a symmetric router"
punch symmetric 3 -- || true
punched symmetric && fail "a symmetric router let the players punch through"
grep -q '"heard": true' "$work/symmetric-1.json" && fail "a symmetric router let host2's probes in to host1"

"$lab" up --symmetric 2 --upnp 2 >/dev/null || fail "the lab does not come up with miniupnpd"
# upnpc: the router's external address is in a reserved block (the lab's 198.18.0.0/15), which
# miniupnpc reports as an IGD "not connected": -i goes on with it.
upnpc() { timeout 15 "$lab" exec host2 upnpc -i "$@" 2>&1; }
upnpc -s | grep -q "ExternalIPAddress = 198.18.2.1" || fail "upnpc does not find router 2: $(upnpc -s)"
upnpc -e qxlab -a 192.168.1.100 40000 41000 UDP | grep -q "is redirected to internal 192.168.1.100:40000" ||
  fail "upnpc could not map UDP 41000: $(upnpc -e qxlab -a 192.168.1.100 40000 41000 UDP)"
upnpc -l | grep -q "UDP 41000->192.168.1.100:40000" || fail "the mapping is not listed: $(upnpc -l)"
# Secure mode: a host maps ports to itself only.
upnpc -e qxlab -a 192.168.1.50 40001 41001 UDP | grep -q "failed" ||
  fail "miniupnpd mapped a port to another host"
punch upnp 5 -- --advertise 198.18.2.1:41000 || true
punched upnp || fail "a UPnP mapping on the symmetric router did not let the players meet"
grep -q '"heardFrom": "198.18.2.1:41000"' "$work/upnp-1.json" || fail "host1 heard host2 elsewhere"
upnpc -d 41000 UDP > /dev/null
upnpc -l | grep -q "UDP 41000->" && fail "the mapping is still listed after its removal"
"$lab" exec router2 nft list chain inet qxupnp_nat prerouting_miniupnpd | grep -q 41000 &&
  fail "router 2 still forwards port 41000"

"$lab" down >/dev/null
ip netns list | grep -q qxlab- && fail "namespaces left after down: $(ip netns list)"
"$lab" down >/dev/null || fail "a second down fails"
[ $((SECONDS - start)) -lt 120 ] || fail "the lab's checks took $((SECONDS - start)) s"
echo "the lab's routers behave as cone, symmetric and UPnP routers do"
