#!/usr/bin/env bash
# The game's command line: --help and --version answer and exit 0 before anything opens (the
# X11 video driver is forced with no display, so a window would fail), and an unknown option
# names itself and exits 2 with the usage.
# Usage: game_options_test.sh GAME
set -u
game=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
run() { env -u DISPLAY SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=alsa "$game" "$@"; }
out=$(run --help 2>&1); status=$?
[ $status -eq 0 ] || fail "--help: exit status $status: $out"
echo "$out" | grep -q "^usage: quarrelix \[--replay FILE | --host \[PORT\] | --join HOST\[:PORT\] | --help | --version\]$" ||
  fail "--help: $out"
echo "$out" | grep -q -- "--replay FILE      watch a recorded match" || fail "--help without --replay: $out"
out=$(run --version 2>&1); status=$?
[ $status -eq 0 ] || fail "--version: exit status $status: $out"
[ "$out" = "Quarrelix project pre-alpha 0.1.0.5a" ] || fail "--version: $out"
out=$(run --bogus 2>&1 >/dev/null); status=$?
[ $status -eq 2 ] || fail "--bogus: exit status $status"
echo "$out" | grep -q "^quarrelix: unknown option --bogus$" || fail "--bogus: $out"
echo "$out" | grep -q "^usage: quarrelix" || fail "--bogus without the usage: $out"
# Online play's addresses are checked before anything opens.
out=$(run --join somewhere:99999 2>&1 >/dev/null); status=$?
[ $status -eq 2 ] || fail "--join with a bad port: exit status $status"
echo "$out" | grep -q "^quarrelix: the port must be a number from 1 to 65535: 99999$" || fail "--join: $out"
out=$(run --host seven 2>&1 >/dev/null); status=$?
[ $status -eq 2 ] || fail "--host with a bad port: exit status $status"
# Rooms: the code, the lobby's address and one way to start, before anything opens.
out=$(run --join-room BOB 2>&1 >/dev/null); status=$?
[ $status -eq 2 ] || fail "--join-room with a bad code: exit status $status"
echo "$out" | grep -q "^quarrelix: a room code is 6 letters: BOB$" || fail "--join-room: $out"
out=$(run --lobby lobby.example:0 --host-room 2>&1 >/dev/null); status=$?
[ $status -eq 2 ] || fail "--lobby with a bad port: exit status $status"
out=$(run --host-room --watch-room ACDEFH 2>&1 >/dev/null); status=$?
[ $status -eq 2 ] || fail "two ways to start: exit status $status"
echo "$out" | grep -q "^quarrelix: only one of " || fail "two ways to start: $out"
out=$(run --help extra 2>&1 >/dev/null); status=$?
[ $status -eq 2 ] || fail "--help extra: exit status $status"
echo "game options ok"
