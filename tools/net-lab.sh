#!/usr/bin/env bash
# A lab of network namespaces standing for the internet and two homes behind NAT routers, to
# play online matches through the lobby as real players do.
#
#   internet 198.18.0.0/15, one flat segment (a bridge in the namespace qxlab-net):
#     lobby      198.18.0.10          spectator  198.18.0.20
#     isp        198.18.0.2, .3: the STUN server miniupnpd asks for its external address
#     router1    198.18.1.1 (WAN)     router2    198.18.2.1 (WAN)
#   home 1: router1's LAN 192.168.1.1/24, host1 192.168.1.100
#   home 2: router2's LAN 192.168.1.1/24, host2 192.168.1.100   (the same, as in many homes)
#     --distinct-lans: home 2 is 192.168.2.0/24 (router 192.168.2.1, host2 192.168.2.100)
#     --same-lan: no home 2; host2 is 192.168.1.101 beside host1 behind router1
#
# Both homes use the same LAN and the same host address by default: a client that tries its
# peer's local address then reaches itself (or nothing), and only a check of who answered keeps
# it from taking the "local" path; with distinct LANs that try merely goes unanswered.
#
# Routers masquerade their LAN behind their WAN address. By default a mapping keeps the host's
# port for every destination (a cone NAT: hole punching works); --symmetric N gives router N a
# new random port per destination (MASQUERADE --random-fully). --upnp N runs miniupnpd on
# router N (UPnP-IGD and NAT-PMP on its LAN, secure mode, lab addresses only).
# Routers drop whatever comes unasked to their WAN side (no "port unreachable": a rejected
# packet would leave a conntrack entry that moves the router's next mapping to a new port).
#
# Usage: tools/net-lab.sh up [--symmetric 1|2]... [--upnp 1|2]... [--same-lan|--distinct-lans]
#        tools/net-lab.sh down                 (idempotent; ends every process in the lab first)
#        tools/net-lab.sh exec NAME CMD...     (NAME: lobby spectator router1 router2 host1 host2)
#        tools/net-lab.sh addr NAME            (prints the address of NAME)
#        tools/net-lab.sh status
#        tools/net-lab.sh check                (exit 0 if a lab can be built here, else 77)
# Exits 77 when this machine cannot build the lab (not root, no network namespaces, no iptables).
set -euo pipefail
prefix=qxlab
state=/run/$prefix
names=(net isp lobby spectator router1 router2 host1 host2)
here=$(cd "$(dirname "$0")" && pwd)

die() { echo "net-lab: $*" >&2; exit 1; }
skip() { echo "net-lab: cannot build the lab here: $*" >&2; exit 77; }
ns() { echo "$prefix-$1"; }
in_ns() { local n=$1; shift; ip netns exec "$(ns "$n")" "$@"; }

# Whether this machine can build the lab at all; prints the reason when it cannot.
check() {
  [ "$(id -u)" -eq 0 ] || skip "not root (network namespaces and iptables need CAP_NET_ADMIN)"
  local tool
  for tool in ip iptables conntrack; do
    command -v "$tool" >/dev/null || skip "$tool is missing (tools/install-deps.sh installs it)"
  done
  local probe
  probe="$prefix-probe$$"
  ip netns add "$probe" 2>/dev/null || skip "ip netns add fails (no CAP_NET_ADMIN?)"
  local ok=1
  ip netns exec "$probe" iptables -t nat -L -n >/dev/null 2>&1 || ok=0
  ip netns exec "$probe" ip link add qxprobe0 type veth peer name qxprobe1 2>/dev/null || ok=0
  ip netns del "$probe" 2>/dev/null || true
  [ $ok -eq 1 ] || skip "iptables' nat table or veth pairs do not work in a network namespace"
}

# The IPv4 settings a new namespace copies from the machine, set the lab's way.
settle() {
  local n=$1 forward=$2
  in_ns "$n" ip link set lo up
  in_ns "$n" sysctl -qw net.ipv4.ip_forward="$forward"
  in_ns "$n" sysctl -qw net.ipv4.conf.all.rp_filter=0 net.ipv4.conf.default.rp_filter=0
  in_ns "$n" sysctl -qw net.ipv4.conf.all.accept_redirects=0 net.ipv4.conf.all.send_redirects=0
  in_ns "$n" sysctl -qw net.ipv4.conf.default.send_redirects=0
  # Where the kernel has bridge netfilter, frames crossing a bridge (two hosts of one home, the
  # internet's switch) would go through iptables' FORWARD chain: a switch does not filter.
  in_ns "$n" sysctl -qw net.bridge.bridge-nf-call-iptables=0 2>/dev/null || true
  in_ns "$n" sysctl -qw net.bridge.bridge-nf-call-arptables=0 2>/dev/null || true
  # How long an unanswered UDP mapping lives, and one that has seen replies (the kernel's usual).
  in_ns "$n" sysctl -qw net.netfilter.nf_conntrack_udp_timeout=30 2>/dev/null || true
  in_ns "$n" sysctl -qw net.netfilter.nf_conntrack_udp_timeout_stream=120 2>/dev/null || true
}

# link A IFA B IFB: a veth pair between namespaces A and B.
link() {
  ip link add "$2" netns "$(ns "$1")" type veth peer name "$4" netns "$(ns "$3")"
  in_ns "$1" ip link set "$2" up
  in_ns "$3" ip link set "$4" up
}

# internet NAME PORT ADDRESS: NAME's eth0 (or wan0 for routers) on the internet's bridge.
internet() {
  local n=$1 port=$2 addr=$3 dev=eth0
  case $n in router*) dev=wan0;; esac
  link net "$port" "$n" "$dev"
  in_ns net ip link set "$port" master br0
  in_ns "$n" ip addr add "$addr/15" dev "$dev"
}

# router N LAN_PREFIX SYMMETRIC: NAT from its LAN bridge lan0 to wan0.
router() {
  local n=router$1 lan=$2 symmetric=$3
  in_ns "$n" ip link add lan0 type bridge
  in_ns "$n" ip link set lan0 up
  in_ns "$n" ip addr add "$lan.1/24" dev lan0
  local masq=(-j MASQUERADE)
  [ "$symmetric" = 1 ] && masq+=(--random-fully)
  in_ns "$n" iptables -t nat -A POSTROUTING -s "$lan.0/24" -o wan0 "${masq[@]}"
  # Nothing unasked reaches the router from the internet: dropped, never rejected.
  in_ns "$n" iptables -P INPUT DROP
  in_ns "$n" iptables -A INPUT -i lo -j ACCEPT
  in_ns "$n" iptables -A INPUT -i lan0 -j ACCEPT
  in_ns "$n" iptables -A INPUT -m conntrack --ctstate ESTABLISHED,RELATED -j ACCEPT
  # The LAN goes out; the internet comes in as replies, or through a port forward (DNAT).
  in_ns "$n" iptables -P FORWARD DROP
  in_ns "$n" iptables -A FORWARD -i lan0 -o wan0 -j ACCEPT
  in_ns "$n" iptables -A FORWARD -m conntrack --ctstate ESTABLISHED,RELATED -j ACCEPT
  in_ns "$n" iptables -A FORWARD -i wan0 -o lan0 -m conntrack --ctstate DNAT -j ACCEPT
}

# host NAME ROUTER ADDRESS LAN_PREFIX: a player's machine on a router's LAN.
host() {
  local n=$1 r=$2 addr=$3 lan=$4
  link "$r" "to-$n" "$n" eth0
  in_ns "$r" ip link set "to-$n" master lan0
  in_ns "$n" ip addr add "$addr/24" dev eth0
  in_ns "$n" ip route add default via "$lan.1"
}

# upnp N LAN_PREFIX: miniupnpd on router N, serving its LAN, mapping on its WAN.
upnp() {
  local n=router$1 lan=$2 dir=$state/router$1
  command -v miniupnpd >/dev/null || skip "miniupnpd is missing (tools/install-deps.sh installs it)"
  command -v nft >/dev/null || skip "nft is missing (tools/install-deps.sh installs nftables)"
  mkdir -p "$dir"
  # miniupnpd refuses to forward ports when its WAN address is in a reserved block, which the
  # lab's 198.18.0.0/15 is (and ext_ip= refuses one too): it must learn by STUN that the address
  # is reachable from outside. Its check asks for replies from another address and port, which
  # the router lets in from the ISP's STUN server alone.
  in_ns "$n" iptables -I INPUT 4 -i wan0 -p udp -s 198.18.0.2/31 --sport 3478:3479 -j ACCEPT
  # Debian's miniupnpd uses the nftables backend: its chains are made beforehand, in tables of
  # their own beside the ones iptables keeps. Its forward chain only accepts (the iptables
  # FORWARD chain lets forwarded ports in by their DNAT state).
  in_ns "$n" nft -f - <<'EOF'
table inet qxupnp {
  chain forward { type filter hook forward priority 0; policy accept; jump miniupnpd; }
  chain miniupnpd { }
}
table inet qxupnp_nat {
  chain prerouting { type nat hook prerouting priority -100; policy accept; jump prerouting_miniupnpd; }
  chain postrouting { type nat hook postrouting priority 100; policy accept; jump postrouting_miniupnpd; }
  chain prerouting_miniupnpd { }
  chain postrouting_miniupnpd { }
}
EOF
  cat > "$dir/miniupnpd.conf" <<EOF
ext_ifname=wan0
ext_perform_stun=yes
ext_stun_host=198.18.0.2
ext_stun_port=3478
listening_ip=lan0
port=5000
enable_natpmp=yes
enable_upnp=yes
secure_mode=yes
system_uptime=yes
notify_interval=60
clean_ruleset_interval=600
lease_file=$dir/upnp.leases
uuid=8c1f5e40-7a52-4c2b-9a6e-00000000000$1
friendly_name=Quarrelix lab router $1
upnp_table_name=qxupnp
upnp_nat_table_name=qxupnp_nat
upnp_forward_chain=miniupnpd
upnp_nat_chain=prerouting_miniupnpd
upnp_nat_postrouting_chain=postrouting_miniupnpd
allow 1024-65535 $lan.0/24 1024-65535
deny 0-65535 0.0.0.0/0 0-65535
EOF
  # In the foreground (-d) of a background job, so that its log stays in the lab's directory.
  in_ns "$n" setsid miniupnpd -d -f "$dir/miniupnpd.conf" -P "$dir/miniupnpd.pid" \
    > "$dir/miniupnpd.log" 2>&1 < /dev/null &
  local i
  for i in $(seq 50); do
    in_ns "$n" ss -lnu 2>/dev/null | grep -q ':5351 ' && return 0
    sleep 0.1
  done
  cat "$dir/miniupnpd.log" >&2
  die "miniupnpd did not start on $n"
}

up() {
  local symmetric=() upnps=() lans=same
  while [ $# -gt 0 ]; do
    case $1 in
      --symmetric|--upnp)
        [ $# -ge 2 ] || die "$1 needs a router number (1 or 2)"
        local r
        for r in ${2//,/ }; do
          case $r in 1|2) ;; *) die "$1: no router $r (1 or 2)";; esac
          if [ "$1" = --symmetric ]; then symmetric+=("$r"); else upnps+=("$r"); fi
        done
        shift 2;;
      --same-lan) lans=one; shift;;
      --distinct-lans) lans=distinct; shift;;
      *) die "up: unknown option $1";;
    esac
  done
  check
  down quiet
  mkdir -p "$state"
  local n
  for n in "${names[@]}"; do
    [ "$lans" = one ] && [ "$n" = router2 ] && continue
    ip netns add "$(ns "$n")"
    case $n in router*) settle "$n" 1;; *) settle "$n" 0;; esac
  done
  in_ns net ip link add br0 type bridge
  in_ns net ip link set br0 up
  internet lobby lobby 198.18.0.10
  internet spectator spectator 198.18.0.20
  internet isp isp 198.18.0.2
  in_ns isp ip addr add 198.18.0.3/15 dev eth0
  local sym1=0 sym2=0
  for r in "${symmetric[@]}"; do eval "sym$r=1"; done
  internet router1 router1 198.18.1.1
  router 1 192.168.1 $sym1
  host host1 router1 192.168.1.100 192.168.1
  local lan2=192.168.1
  if [ "$lans" = one ]; then
    host host2 router1 192.168.1.101 192.168.1
  else
    [ "$lans" = distinct ] && lan2=192.168.2
    internet router2 router2 198.18.2.1
    router 2 $lan2 $sym2
    host host2 router2 $lan2.100 $lan2
  fi
  if [ ${#upnps[@]} -gt 0 ]; then
    command -v python3 >/dev/null || skip "python3 is missing (the lab's STUN server)"
    in_ns isp setsid python3 "$here/net-lab-punch.py" stun --addresses 198.18.0.2,198.18.0.3 \
      > "$state/stun.log" 2>&1 < /dev/null &
    for _ in $(seq 50); do in_ns isp ss -lnu | grep -q '198.18.0.3:3479 ' && break; sleep 0.1; done
  fi
  for r in "${upnps[@]}"; do
    [ "$lans" = one ] && [ "$r" = 2 ] && die "--upnp 2: with --same-lan there is no router 2"
    if [ "$r" = 1 ]; then upnp 1 192.168.1; else upnp 2 $lan2; fi
  done
  {
    echo "lans=$lans"
    echo "symmetric=${symmetric[*]:-}"
    echo "upnp=${upnps[*]:-}"
  } > "$state/lab.conf"
  echo "net-lab: up (lans $lans, symmetric: ${symmetric[*]:-none}, upnp: ${upnps[*]:-none})"
}

down() {
  local n pid left
  # Every process inside first: one left behind keeps a deleted namespace alive.
  for n in "${names[@]}"; do
    ip netns list 2>/dev/null | grep -qw "$(ns "$n")" || continue
    for pid in $(ip netns pids "$(ns "$n")" 2>/dev/null); do kill "$pid" 2>/dev/null || true; done
  done
  for _ in $(seq 30); do
    left=0
    for n in "${names[@]}"; do
      ip netns list 2>/dev/null | grep -qw "$(ns "$n")" || continue
      [ -z "$(ip netns pids "$(ns "$n")" 2>/dev/null)" ] || left=1
    done
    [ $left -eq 0 ] && break
    sleep 0.1
  done
  for n in "${names[@]}"; do
    ip netns list 2>/dev/null | grep -qw "$(ns "$n")" || continue
    for pid in $(ip netns pids "$(ns "$n")" 2>/dev/null); do kill -9 "$pid" 2>/dev/null || true; done
    ip netns del "$(ns "$n")" 2>/dev/null || true
  done
  rm -rf "$state"
  [ "${1:-}" = quiet ] || echo "net-lab: down"
}

addr() {
  local lans=same
  [ -f "$state/lab.conf" ] && lans=$(sed -n 's/^lans=//p' "$state/lab.conf")
  case $1 in
    isp) echo 198.18.0.2;; lobby) echo 198.18.0.10;; spectator) echo 198.18.0.20;;
    router1) echo 198.18.1.1;; router2) echo 198.18.2.1;;
    host1) echo 192.168.1.100;;
    host2) case $lans in one) echo 192.168.1.101;; distinct) echo 192.168.2.100;;
             *) echo 192.168.1.100;; esac;;
    *) die "no lab machine called $1 (${names[*]:1})";;
  esac
}

status() {
  if [ ! -f "$state/lab.conf" ]; then echo "net-lab: down"; return 0; fi
  echo "net-lab: up"
  cat "$state/lab.conf"
  local n
  for n in "${names[@]}"; do
    ip netns list | grep -qw "$(ns "$n")" || continue
    printf '%-10s %-16s %s processes\n' "$n" "$( [ "$n" = net ] && echo bridge || addr "$n")" \
      "$(ip netns pids "$(ns "$n")" | wc -l)"
  done
}

case ${1:-} in
  up) shift; up "$@";;
  down) down;;
  check) check; echo "net-lab: this machine can build the lab";;
  addr) [ $# -eq 2 ] || die "usage: addr NAME"; addr "$2";;
  status) status;;
  exec)
    [ $# -ge 3 ] || die "usage: exec NAME CMD..."
    n=$2; shift 2
    case " ${names[*]} " in *" $n "*) ;; *) die "no lab machine called $n (${names[*]:1})";; esac
    ip netns list | grep -qw "$(ns "$n")" || die "$n is not in the lab (is it up?)"
    exec ip netns exec "$(ns "$n")" "$@";;
  *) sed -n 's/^# \{0,1\}//; /^Usage:/,/^Exits/p' "$0" >&2; exit 2;;
esac
