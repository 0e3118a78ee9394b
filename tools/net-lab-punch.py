#!/usr/bin/env python3
"""UDP hole punching between two players of the network lab (tools/net-lab.sh), and a STUN
server for the lab's routers.

  rendezvous --port P [--seconds S]
      Waits for two clients of a room, then tells each the other's public address: the address
      its packets came from, or the one it advertised (a port mapping made on its router).
  client --server IP:PORT --room R --name N [--port LOCAL] [--advertise IP:PORT]
         [--seconds S]
      Registers with the rendezvous, then sends probes to the peer from the same socket and
      answers the peer's probes. Prints one JSON line; exits 0 when a probe came back from the
      peer both ways (punched), 1 otherwise.
      Answers go to the address a probe came from, which need not be the one the rendezvous
      told: behind a symmetric router with a port mapping, the player's own first probe opens a
      flow that the peer's packets through the mapping collide with, and the router's conntrack
      then hands them in from another source port.
  stun --addresses A1,A2 [--ports P1,P2] [--seconds S]
      A STUN (RFC 5389) binding server on two addresses and two ports that honours
      CHANGE-REQUEST, as miniupnpd's check of its external address needs.

Every loop is bounded by --seconds; the standard library only.
"""
import argparse
import json
import os
import select
import socket
import struct
import sys
import time


def parse_addr(text):
    host, _, port = text.rpartition(":")
    return host, int(port)


def fmt(addr):
    return "%s:%d" % addr


def rendezvous(args):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("0.0.0.0", args.port))
    rooms = {}  # room -> {name: (seen, advertised)}
    deadline = time.monotonic() + args.seconds
    while time.monotonic() < deadline:
        ready, _, _ = select.select([sock], [], [], 0.2)
        if not ready:
            continue
        data, seen = sock.recvfrom(2048)
        parts = data.decode(errors="replace").split()
        if len(parts) < 3 or parts[0] != "HELLO":
            continue
        room, name = parts[1], parts[2]
        advertised = parts[3] if len(parts) > 3 else fmt(seen)
        members = rooms.setdefault(room, {})
        members[name] = (seen, advertised)
        print("rendezvous: %s of room %s seen as %s, reachable at %s"
              % (name, room, fmt(seen), advertised), flush=True)
        if len(members) >= 2:
            for who, (addr, _) in members.items():
                for other, (other_seen, other_adv) in members.items():
                    if other != who:
                        msg = "PEER %s %s %s" % (other, other_adv, fmt(other_seen))
                        sock.sendto(msg.encode(), addr)
    return 0


def client(args):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("0.0.0.0", args.port))
    server = parse_addr(args.server)
    hello = "HELLO %s %s" % (args.room, args.name)
    if args.advertise:
        hello += " " + args.advertise
    start = time.monotonic()
    deadline = start + args.seconds
    peer = peer_name = None
    heard = answered = False
    heard_from = None
    sent = 0
    next_send = 0.0
    while time.monotonic() < deadline and not (heard and answered):
        now = time.monotonic()
        if now >= next_send:
            next_send = now + 0.1
            if peer is None:
                sock.sendto(hello.encode(), server)
            else:
                sock.sendto(("PROBE %s %s" % (args.room, args.name)).encode(), peer)
                sent += 1
        ready, _, _ = select.select([sock], [], [], 0.05)
        if not ready:
            continue
        data, source = sock.recvfrom(2048)
        parts = data.decode(errors="replace").split()
        if not parts:
            continue
        if parts[0] == "PEER" and source == server and len(parts) >= 3 and peer is None:
            peer_name, peer = parts[1], parse_addr(parts[2])
            next_send = 0.0
        elif parts[0] in ("PROBE", "ACK") and len(parts) == 3 and parts[1] == args.room:
            # Only the peer of this room counts: not our own probe come back, nor a stranger.
            if parts[2] == args.name or (peer_name and parts[2] != peer_name):
                continue
            if parts[0] == "PROBE":
                heard, heard_from = True, source
                sock.sendto(("ACK %s %s" % (args.room, args.name)).encode(), source)
                # The peer may be reachable only at the address its probe came from.
                peer = source
            else:
                answered = True
    result = {"name": args.name, "punched": heard and answered, "heard": heard,
              "answered": answered, "peer": fmt(peer) if peer else None,
              "heardFrom": fmt(heard_from) if heard_from else None, "probesSent": sent,
              "ms": int((time.monotonic() - start) * 1000)}
    print(json.dumps(result), flush=True)
    return 0 if result["punched"] else 1


STUN_COOKIE = 0x2112A442


def stun_addr_attr(kind, addr, tid):
    ip = socket.inet_aton(addr[0])
    port = addr[1]
    if kind == 0x0020:
        port ^= STUN_COOKIE >> 16
        ip = bytes(a ^ b for a, b in zip(ip, struct.pack("!I", STUN_COOKIE)))
    value = struct.pack("!BBH", 0, 1, port) + ip
    return struct.pack("!HH", kind, len(value)) + value


def stun(args):
    addresses = args.addresses.split(",")
    ports = [int(p) for p in args.ports.split(",")]
    socks = {}
    for a in addresses:
        for p in ports:
            s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            s.bind((a, p))
            socks[(a, p)] = s
    by_fd = {s.fileno(): (key, s) for key, s in socks.items()}
    deadline = time.monotonic() + args.seconds
    while time.monotonic() < deadline:
        ready, _, _ = select.select(list(socks.values()), [], [], 0.5)
        for s in ready:
            (a, p), _ = by_fd[s.fileno()]
            data, source = s.recvfrom(2048)
            if len(data) < 20:
                continue
            kind, length, cookie = struct.unpack("!HHI", data[:8])
            tid = data[8:20]
            if kind != 0x0001:
                continue
            change = 0
            attrs = data[20:20 + length]
            while len(attrs) >= 4:
                akind, alen = struct.unpack("!HH", attrs[:4])
                if akind == 0x0003 and alen >= 4:
                    change = struct.unpack("!I", attrs[4:8])[0]
                attrs = attrs[4 + ((alen + 3) & ~3):]
            a2 = [x for x in addresses if x != a][0] if change & 4 and len(addresses) > 1 else a
            p2 = [x for x in ports if x != p][0] if change & 2 and len(ports) > 1 else p
            body = stun_addr_attr(0x0001, source, tid)
            if cookie == STUN_COOKIE:
                body += stun_addr_attr(0x0020, source, tid)
            reply = struct.pack("!HHI", 0x0101, len(body), cookie) + tid + body
            socks[(a2, p2)].sendto(reply, source)
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = parser.add_subparsers(dest="command", required=True)
    r = sub.add_parser("rendezvous")
    r.add_argument("--port", type=int, required=True)
    r.add_argument("--seconds", type=float, default=60)
    c = sub.add_parser("client")
    c.add_argument("--server", required=True)
    c.add_argument("--room", required=True)
    c.add_argument("--name", required=True)
    c.add_argument("--port", type=int, default=0)
    c.add_argument("--advertise")
    c.add_argument("--seconds", type=float, default=5)
    s = sub.add_parser("stun")
    s.add_argument("--addresses", required=True)
    s.add_argument("--ports", default="3478,3479")
    s.add_argument("--seconds", type=float, default=3600)
    args = parser.parse_args()
    return {"rendezvous": rendezvous, "client": client, "stun": stun}[args.command](args)


if __name__ == "__main__":
    sys.exit(main())
