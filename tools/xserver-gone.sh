#!/usr/bin/env bash
# Kills the X server under the real game at several moments (the main menu, a fight, the fade
# to black and the shutdown after Escape, the loading screens) and checks that every run ends
# by itself with status 0 or 1, with our message when the display was lost, and without an
# abort or a sanitizer report. Builds nothing: give it a build directory holding game/quarrelix
# (the AddressSanitizer build in CI) and the directory of the generated content.
# Usage: tools/xserver-gone.sh [BUILD_DIR] [CONTENT_DIR]   (needs xvfb and xdotool)
set -euo pipefail
build=$(realpath "${1:-build}")
content=$(realpath "${2:-$build/game}")
game=$build/game/quarrelix
[ -x "$game" ] || { echo "xserver-gone: no game at $game" >&2; exit 1; }
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Leaks are left to the sanitizer run of the tests: at its end the real game leaves behind
# allocations of libraries SDL loads and unloads (libdbus and others), which LeakSanitizer
# cannot even name once they are unloaded.
export ASAN_OPTIONS=detect_leaks=0
failures=0

# One case: a name, then what happens once the window is there (a bash snippet run with $w
# the window and press() to type keys), after which the X server is killed; optionally the
# screen the game must have named last by then (the moves got where the case says).
gone() {
  local name=$1 moves=$2 last=${3:-} work display xserver status report
  work=$(mktemp -d)
  for entry in "$content"/*; do
    case $(basename "$entry") in quarrelix|settings.txt) ;; *) ln -s "$entry" "$work/" ;; esac
  done
  # Xvfb picks a free display and writes its number on descriptor 3.
  Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xserver=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  display=:$(cat "$work/display")
  (cd "$work" && DISPLAY=$display QRX_SCREEN_LOG=1 exec "$game" >game.log 2>&1) &
  local pid=$!
  DISPLAY=$display log=$work/game.log bash -c '
    w=
    for _ in $(seq 100); do
      w=$(xdotool search --name "^Quarrelix project$" 2>/dev/null | head -n 1) && [ -n "$w" ] && break
      sleep 0.1
    done
    press() { sleep "$1"; shift; xdotool key --delay 150 --window "$w" "$@"; }
    # Waits (up to 20 s) until the screen the game names last is the one given.
    reach() {
      for _ in $(seq 200); do
        [ "$(sed -n "s/^screen: //p" "$log" | tail -n 1)" = "$1" ] && return 0
        sleep 0.1
      done
    }
    '"$moves" || true
  kill "$xserver" 2>/dev/null || true
  wait "$xserver" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    kill -9 "$pid"
    report="still running 10 s after the X server went away"
  fi
  status=0
  wait "$pid" || status=$?
  local log=$work/game.log
  if [ -n "${report:-}" ]; then :
  elif grep -qE "AddressSanitizer|LeakSanitizer|runtime error|double free|corruption|Aborted" "$log"; then
    report="sanitizer report or abort (status $status)"
  elif [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
    report="ended with status $status"
  elif [ "$status" -eq 1 ] && ! grep -q "connection to the display was lost" "$log"; then
    report="status 1 without the message"
  elif [ -n "$last" ] && [ "$(sed -n 's/^screen: //p' "$log" | tail -n 1)" != "$last" ]; then
    report="the X server went away before the game reached the $last"
  fi
  if [ -z "${report:-}" ]; then
    echo "xserver-gone ok: $name (status $status, screens: $(sed -n 's/^screen: //p' "$log" | paste -sd, -))"
  else
    echo "xserver-gone FAILED: $name: $report" >&2
    sed 's/^/  | /' "$log" | head -n 40 >&2
    failures=$((failures + 1))
  fi
  rm -rf "$work"
}

gone "while loading" 'sleep 0.5'
gone "in the main menu" 'reach "main menu"; sleep 1'
gone "during a fight" 'reach "main menu"; press 1 Return; reach "where to play"
  press 1 Return; reach "class selection"
  press 2 p; press 0.5 q; press 0.5 Return; reach "stage selection"
  press 1 Right; press 0.3 Return; reach fight; sleep 2' fight
# Escape in the main menu fades to black (about 0.4 s) and shuts down: the server goes away
# during the fade or during the shutdown.
for delay in 0.05 0.3 0.7; do
  gone "${delay} s after Escape in the main menu" "reach \"main menu\"; press 1 Escape; sleep $delay"
done
exit $failures
