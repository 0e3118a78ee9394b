#!/usr/bin/env bash
# The game's speed on this machine, end to end as a player or a tool meets it, in one table:
# the fight loop and the match runner without drawing, match set-up, software-rendered fight
# frames at 1280x720 and 1920x1080, the intro, every frame of a match (its longest the worst a
# player meets), the menus and the fade, start-up (headless and in a real window), memory, and a
# balance run on every core, all with the build given.
# Builds the Release build first when it is missing. Run it on a quiet machine.
# Usage: tools/bench.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -x "$build/quarrelix-match" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j "$(nproc)" >/dev/null
fi
runner=$(realpath "$build/quarrelix-match")
game=$(realpath "$build/game")
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# One runner run from the game directory; its --bench lines are kept in $out/NAME.
bench() {
  local name=$1
  shift
  (cd "$game" && "$runner" --bench "$@" 2>"$out/$name" >/dev/null)
}
# The figure after a label in a kept run: field N of the line that starts with the label.
field() { grep "^$2" "$out/$1" | head -n 1 | awk -v n="$3" '{print $n}'; }

bench none --seed 1 --matches 50 --render none
bench sw720 --seed 1 --matches 3 --render software --size 1280x720
bench sw1080 --seed 1 --matches 3 --stage 0 --p1 0 --p2 1 --render software --size 1920x1080
bench menus --menus --render software --size 1920x1080

# Start-up in a real window under Xvfb (when it is there): from launch to the main menu's
# opening, warm, the median of five.
window_startup() {
  command -v xvfb-run >/dev/null || { echo "not measured (no xvfb-run)"; return; }
  local work entry
  work=$(mktemp -d)
  for entry in "$game"/*; do
    case "$(basename "$entry")" in settings.txt|replays) ;; *) ln -s "$entry" "$work/" ;; esac
  done
  (cd "$work" && xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    for i in 0 1 2 3 4 5; do
      start=$(date +%s%N)
      QRX_SCREEN_LOG=1 SDL_AUDIODRIVER=dummy ./quarrelix 2>screens.log & pid=$!
      for _ in $(seq 2000); do grep -q "^screen: main menu" screens.log && break; sleep 0.005; done
      [ $i -gt 0 ] && echo $(( ($(date +%s%N) - start) / 1000000 ))
      kill $pid; wait $pid 2>/dev/null
    done' 2>/dev/null | sort -n | sed -n 3p | awk '{printf "%.3f s", $1 / 1000}')
  rm -rf "$work"
}
window=$(window_startup)

# 1000 Hard-against-Hard matches (13 per ordered pair of the five classes and stage) over
# every core, timed whole.
balance_start=$(date +%s%N)
QRX_BUILD_DIR=$build tools/balance.sh 13 >"$out/balance" 2>&1 || true
balance_ms=$(( ($(date +%s%N) - balance_start) / 1000000 ))
balance_matches=$(awk '/^[0-9]+ Hard-against-Hard matches/ {print $1; exit}' "$out/balance")

frames_line() { grep "^$2 frames" "$out/$1" | sed "s/$2 frames: //"; }
menu_line() { grep "^menu $1:" "$out/menus" | sed "s/menu $1: //"; }
cpu=$(grep -m 1 "model name" /proc/cpuinfo | sed 's/.*: //')
cat <<EOF
| Figure | Value |
|---|---|
| Machine | $cpu, $(nproc) cores |
| Fight loop alone, no drawing | $(field none "fight loops" 8) frames/s |
| Runner end to end, 50 matches, no drawing | $(field none "end to end" 9) frames/s |
| Match set-up, 1920x1080 software, music (first pairing; the same again) | first $(field sw1080 "match set-up" 4) ms, again $(field sw1080 "match set-up" 7) ms |
| Fight frame, 1280x720 software | $(frames_line sw720 fight) |
| Fight frame, 1920x1080 software | $(frames_line sw1080 fight) |
| Intro frame (countdown, class pictures loading), 1920x1080 software | $(frames_line sw1080 intro) |
| Every frame of a match after its first (intro, countdown, fight, result, fade), 1920x1080 software | $(frames_line sw1080 match) |
| Two-player class selection, 1920x1080 software | $(menu_line "two-player class selection") |
| Fighter viewer, 1920x1080 software | $(menu_line "fighter viewer") |
| Options, 1920x1080 software | $(menu_line options) |
| Fade between screens, 1920x1080 software | $(menu_line "fade out") |
| Start-up to the first menu, headless | $(field sw1080 "start-up" 2) s |
| Start-up to the main menu, real window (Xvfb) | $window |
| Resident memory after a 1920x1080 match | $(( $(field sw1080 "memory" 2) / 1024 )) MB |
| Balance: $balance_matches Hard-vs-Hard matches on $(nproc) cores | $(( balance_ms / 1000 )).$(( balance_ms % 1000 / 100 )) s |
EOF
