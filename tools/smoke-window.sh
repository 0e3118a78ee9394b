#!/usr/bin/env bash
# Starts the real game in a real window under Xvfb (1366x768 screen) with several settings
# files, and checks that it keeps running, opens "Quarrelix project" at the expected size and
# style, and ends cleanly on Escape.
# Usage: tools/smoke-window.sh [BUILD_DIR]   (needs xvfb, xdotool and x11-utils)
set -euo pipefail
build=$(realpath "${1:-build}")
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
failures=0

# A case's outcome: its name (on failure), what it showed when it passed, then the expected
# and the actual report.
verdict() {
  if [ "$4" = "$3" ]; then
    echo "smoke ok: $2"
  else
    echo "smoke FAILED: $1: expected [$3] got [$4]" >&2
    failures=$((failures + 1))
  fi
}

# A fresh game directory: the built game's files without its settings and replays.
game_dir() {
  local work entry
  work=$(mktemp -d)
  for entry in "$build"/game/*; do
    case "$(basename "$entry")" in settings.txt|replays) ;; *) ln -s "$entry" "$work/" ;; esac
  done
  echo "$work"
}

# The start and end of a scripted session (inside xvfb-run, in a game directory): the game
# started with its screens logged and its window found, press (after a pause, keys) and reach
# (waits up to 20 s until the screen the game names last is the one given); at the end, how
# the game ended and the screens it went through.
session_start='
    ./quarrelix 2>screens.log & game=$!
    for _ in $(seq 300); do
      w=$(xdotool search --name "^Quarrelix project$" 2>/dev/null | head -n 1) && [ -n "$w" ] && break
      sleep 0.2
    done
    [ -n "$w" ] || { echo "no-window"; kill $game; exit 0; }
    press() { sleep "$1"; shift; xdotool key --delay 150 --window "$w" "$@"; }
    reach() {
      for _ in $(seq 200); do
        [ "$(sed -n "s/^screen: //p" screens.log | tail -n 1)" = "$1" ] && return 0
        sleep 0.1
      done
    }
'
session_end='
    for _ in $(seq 25); do kill -0 $game 2>/dev/null || break; sleep 0.2; done
    if kill -0 $game 2>/dev/null; then echo "still-running"; kill $game; else wait $game; echo "exit=$?"; fi
    sed -n "s/^screen: //p" screens.log | paste -sd, -
'

# Two games in one X server, each in its own game directory (HOST_DIR, JOIN_DIR), for the
# online cases: their windows found, press WINDOW PAUSE KEYS... (the window takes the focus,
# then the keys), hold WINDOW KEY SECONDS, reach DIR SCREEN (waits up to 20 s until the game in
# DIR names SCREEN last); both at their main menu. At the end, how each ended and its screens.
pair_start='
    (cd "$HOST_DIR" && exec ./quarrelix 2>screens.log) & hostGame=$!
    (cd "$JOIN_DIR" && exec ./quarrelix 2>screens.log) & joinGame=$!
    window() {
      for _ in $(seq 300); do
        found=$(xdotool search --all --pid "$1" --name "^Quarrelix project$" 2>/dev/null | head -n 1)
        [ -n "$found" ] && { echo "$found"; return; }
        sleep 0.2
      done
    }
    hostWindow=$(window $hostGame) joinWindow=$(window $joinGame)
    [ -n "$hostWindow" ] && [ -n "$joinWindow" ] || { echo "no-window"; kill $hostGame $joinGame; exit 0; }
    # press WINDOW PAUSE KEYS...: the window takes the focus, then the keys.
    press() {
      local w=$1; sleep "$2"; shift 2
      xdotool windowfocus --sync "$w" 2>/dev/null || true
      xdotool key --delay 150 --window "$w" "$@"
    }
    hold() { xdotool windowfocus --sync "$1" 2>/dev/null || true; xdotool keydown --window "$1" "$2"; sleep "$3"; xdotool keyup --window "$1" "$2"; }
    # reach DIR SCREEN: waits up to 20 s until the game in DIR names SCREEN last.
    reach() {
      for _ in $(seq 200); do
        [ "$(sed -n "s/^screen: //p" "$1/screens.log" | tail -n 1)" = "$2" ] && return 0
        sleep 0.1
      done
    }
    reach "$HOST_DIR" "main menu"; reach "$JOIN_DIR" "main menu"
'
pair_end='
    for game in $hostGame $joinGame; do
      for _ in $(seq 25); do kill -0 $game 2>/dev/null || break; sleep 0.2; done
      if kill -0 $game 2>/dev/null; then echo "still-running"; kill $game; else wait $game; echo "exit=$?"; fi
    done
    for dir in "$HOST_DIR" "$JOIN_DIR"; do sed -n "s/^screen: //p" "$dir/screens.log" | paste -sd, -; done
'

# One case: settings text ("" for no file), expected geometry, expected maximised (yes/no).
check() {
  local settings=$1 geometry=$2 maximised=$3 work
  work=$(game_dir)
  [ -n "$settings" ] && printf '%s\n' "$settings" > "$work/settings.txt"
  local report
  report=$(cd "$work" && xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
    ./quarrelix 2>game.log & game=$!
    for _ in $(seq 300); do
      w=$(xdotool search --name "^Quarrelix project$" 2>/dev/null | head -n 1) && [ -n "$w" ] && break
      sleep 0.2
    done
    sleep 2
    if ! kill -0 $game 2>/dev/null; then echo "not-running"; exit 0; fi
    [ -n "$w" ] || { echo "no-window"; grep -v "^ALSA" game.log | tail -n 3; kill $game; exit 0; }
    xdotool getwindowgeometry "$w" | sed -n "s/.*Geometry: //p"
    if xprop -id "$w" _NET_WM_STATE | grep -q MAXIMIZED; then echo maximised=yes; else echo maximised=no; fi
    xdotool key --window "$w" Escape
    for _ in $(seq 25); do kill -0 $game 2>/dev/null || break; sleep 0.2; done
    if kill -0 $game 2>/dev/null; then echo "escape-ignored"; kill $game; else wait $game; echo "exit=$?"; fi
  ' 2>/dev/null)
  # The player's text is never lost: the file is as it was, or kept beside it when replaced.
  if [ -n "$settings" ] && ! printf '%s\n' "$settings" | cmp -s - "$work/settings.txt" &&
     ! printf '%s\n' "$settings" | cmp -s - "$work/settings.txt.bad"; then
    report="$report"$'\n'"settings-lost"
  fi
  rm -rf "$work"
  local expected label=${settings:-none}
  label=${label:0:40}
  expected=$(printf '%s\nmaximised=%s\nexit=0' "$geometry" "$maximised")
  verdict "settings '$label'" "settings '$label' -> $geometry, maximised=$maximised, clean exit" "$expected" "$report"
}

# A player's path with the default keys, followed through the screens the game names:
# Player vs Player, Same computer, both ready, Return, a stage, the fight, Escape, back in the class
# selection, Escape, the main menu, Exit.
journey() {
  local work report
  work=$(game_dir)
  report=$(cd "$work" && QRX_SCREEN_LOG=1 xvfb-run -a -s "-screen 0 1366x768x24" bash -c "$session_start"'
    press 2 Return            # Player vs Player
    reach "where to play"
    press 1 Return            # Same computer
    # Each screen waited for before its keys: on a busy machine one can take seconds to come.
    reach "class selection"
    press 1.5 p               # player one ready
    press 0.3 q               # player two ready
    press 0.3 Return          # start
    reach "stage selection"
    press 1.5 Right           # the next stage
    press 0.3 Return          # fight there
    reach fight
    sleep 4                   # the intro, then player one walks in and attacks
    xdotool keydown --window "$w" Left; sleep 1; xdotool keyup --window "$w" Left
    press 0.2 p
    press 0.5 l
    press 0.5 o
    press 1 Escape            # leave the fight
    reach "class selection"
    press 2 Escape            # leave the class selection
    # One key at a time: the menu music starting makes a long frame, which sees two quick
    # taps as one.
    reach "main menu"
    press 1.5 Down
    for _ in 1 2 3 4 5 6; do press 0.3 Down; done
    press 0.3 Return          # Exit
  '"$session_end" 2>/dev/null)
  # The fight was recorded: its replay checks out headless (and is kept for CI's cross-build
  # check when SMOKE_REPLAYS names a directory).
  local replay
  replay=$(ls "$work"/replays/*.qrxreplay 2>/dev/null | head -n 1 || true)
  if [ -z "$replay" ]; then
    report="$report
no replay recorded"
  elif ! (cd "$build/game" && ../quarrelix-match --replay "$replay" | grep -q '"p1PressedFrames":[1-9]'); then
    report="$report
its replay did not check out or holds none of player one's keys"
  elif [ -n "${SMOKE_REPLAYS:-}" ]; then
    mkdir -p "$SMOKE_REPLAYS" && cp "$replay" "$SMOKE_REPLAYS/"
  fi
  rm -rf "$work"
  local expected
  expected=$(printf 'exit=0\nmain menu,where to play,class selection,stage selection,fight,class selection,main menu')
  verdict "player's path" "a player's path from the main menu through a fight and back to Exit; its replay checks out" "$expected" "$report"
}

# The tutorial's training room: Tutorial, Training, the player's and the dummy's classes, a
# stage, a few seconds in the room with its keys, Escape back to the tutorial menu, Escape to
# the main menu, Escape out.
training() {
  local work report
  work=$(game_dir)
  report=$(cd "$work" && QRX_SCREEN_LOG=1 xvfb-run -a -s "-screen 0 1366x768x24" bash -c "$session_start"'
    # One key at a time: a frame that takes long (music starting) sees two quick taps as one.
    reach "main menu"
    press 2 Down
    press 0.3 Down
    press 0.3 Down
    press 0.3 Down
    press 0.3 Return          # Tutorial
    reach tutorial
    press 1 Down
    press 0.3 Return          # Training
    reach "class selection"
    press 1 Return            # the player s class
    press 0.5 Return          # the dummy s class
    reach "stage selection"
    press 1 Return            # the first stage
    reach training
    press 1 F1                # the dummy walks
    press 0.3 F6              # pause, two frame steps, go on
    press 0.3 F7
    press 0.3 F7
    press 0.3 F6
    xdotool keydown --window "$w" Left; sleep 0.5; xdotool keyup --window "$w" Left
    press 0.2 p
    press 1 Escape            # leave the room
    reach tutorial
    press 1.5 Escape          # leave the tutorial menu
    reach "main menu"
    press 1.5 Escape          # leave the game
  '"$session_end" 2>/dev/null)
  rm -rf "$work"
  local expected
  expected=$(printf 'exit=0\nmain menu,tutorial,class selection,stage selection,training,tutorial,main menu')
  verdict "training room" "Tutorial, Training, a few seconds in the room and back to the main menu" "$expected" "$report"
}

# The solo modes and a match of rounds, with the Rounds option at 3 and player one standing
# still throughout: the arcade's first fight, lost to the computer, then Give up; survival's
# first fight, lost; the records; then Player vs Bot at Hard, which the computer wins round by
# round (the records then count three losses: the match of rounds once). F12 every few seconds
# keeps the HUD with its round marks (in SMOKE_SHOTS when it names a directory). Then back to
# the class selection, the menu, and out.
solo() {
  local work report
  work=$(game_dir)
  printf '{"Rounds": 3}' > "$work/settings.txt"
  report=$(cd "$work" && QRX_SCREEN_LOG=1 xvfb-run -a -s "-screen 0 1366x768x24" bash -c "$session_start"'
    # Waits up to 4 minutes for the screen, taking a screenshot every 4 s.
    await() {
      for _ in $(seq 60); do
        press 4 F12
        [ "$(sed -n "s/^screen: //p" screens.log | tail -n 1)" = "$1" ] && return 0
      done
    }
    reach "main menu"
    press 2 Down
    for _ in 1 2 3 4 5; do press 0.3 Down; done
    press 0.3 Return          # Solo modes
    reach "solo modes"
    press 1 Return            # Arcade
    reach "class selection"
    press 1.5 Return          # the player s class
    reach "arcade ladder"
    press 1.5 Return          # the first fight
    await "arcade continue"
    press 1.5 Escape          # give up
    reach "solo modes"
    press 1 Down
    press 0.3 Return          # Survival
    reach "class selection"
    press 1.5 Return
    reach survival
    press 1.5 Return          # the first fight
    await "survival over"
    press 1.5 Return
    reach "solo modes"
    press 1 Down
    press 0.3 Return          # Records
    reach records
    press 1.5 Escape
    reach "solo modes"
    press 1 Escape
    reach "main menu"
    press 2 Up
    for _ in 1 2 3 4; do press 0.3 Up; done
    press 0.3 Return          # Player vs Bot
    reach "class selection"
    press 1.5 Return          # the player s class
    press 0.5 Return          # the computer s
    reach difficulty
    press 1 Down
    press 0.3 Down
    press 0.3 Return          # Hard
    reach "stage selection"
    press 1.5 Return
    await "class selection"
    press 1.5 Escape
    reach "main menu"
    press 1.5 Escape          # leave the game
  '"$session_end"'
    python3 -c "import json; r = json.load(open(\"records.txt\")); print(sum(sum(c[\"botLosses\"]) for c in r[\"classes\"].values()))"
    [ "$(ls screenshots/*.png 2>/dev/null | wc -l)" -ge 5 ] && echo shots || echo "too few shots"' 2>/dev/null)
  if [ -n "${SMOKE_SHOTS:-}" ]; then
    mkdir -p "$SMOKE_SHOTS" && cp "$work"/screenshots/*.png "$SMOKE_SHOTS/" 2>/dev/null || true
  fi
  rm -rf "$work"
  local expected
  expected=$(printf 'exit=0\n%s\n3\nshots' "main menu,solo modes,class selection,arcade ladder,fight,arcade continue,solo modes,class selection,survival,fight,survival over,solo modes,records,solo modes,main menu,class selection,difficulty,stage selection,fight,class selection,main menu")
  verdict "solo modes and rounds" "the arcade's first fight lost and given up, a survival fight lost, the records, three rounds against the computer" "$expected" "$report"
}

# A machine without sound: no audio driver opens, the game says once that sound is off, plays
# on to the main menu and ends on Escape.
no_sound() {
  local work report
  work=$(game_dir)
  report=$(cd "$work" && SDL_AUDIODRIVER=no-such-driver QRX_SCREEN_LOG=1 \
           xvfb-run -a -s "-screen 0 1366x768x24" bash -c "$session_start"'
    reach "main menu"
    press 2 Escape            # leave the game
  '"$session_end"'
    grep -c "^Quarrelix: sound is off: " screens.log' 2>/dev/null)
  rm -rf "$work"
  local expected
  expected=$(printf 'exit=0\nmain menu\n1')
  verdict "no sound device" "without a sound device the game says sound is off and plays on" "$expected" "$report"
}

# Online play between two windows on this machine, through the menus: one hosts, the other
# joins by typing 127.0.0.1; both get ready with their own keys, the host picks the stage, and
# both fight a few seconds with real key presses; F12 takes a screenshot of each window in the
# fight (kept in SMOKE_SHOTS when it names a directory). The host then leaves: both are told,
# and each side's replay of the match cut short checks out headless.
online_pair() {
  local host join report
  host=$(game_dir)
  join=$(game_dir)
  for dir in "$host" "$join"; do printf '{"ScreenSize": 0}\n' > "$dir/settings.txt"; done
  report=$(HOST_DIR=$host JOIN_DIR=$join QRX_SCREEN_LOG=1 \
           xvfb-run -a -s "-screen 0 2100x800x24" bash -c "$pair_start"'
    press $hostWindow 1.5 Return              # Player vs Player
    reach "$HOST_DIR" "where to play"
    press $hostWindow 1 Down
    for _ in 1 2 3; do press $hostWindow 0.3 Down; done
    press $hostWindow 0.3 Return              # Host by address
    reach "$HOST_DIR" "host online"
    press $joinWindow 0.5 Return              # Player vs Player
    reach "$JOIN_DIR" "where to play"
    press $joinWindow 1 Down
    for _ in 1 2 3 4; do press $joinWindow 0.3 Down; done
    press $joinWindow 0.3 Return              # Join by address
    reach "$JOIN_DIR" "join online"
    press $joinWindow 1 1 2 7 period 0 period 0 period 1 Return
    reach "$HOST_DIR" "class selection"; reach "$JOIN_DIR" "class selection"
    press $joinWindow 1.5 Right               # the joining player looks at another class
    press $joinWindow 0.5 p                   # and is ready with their own keys
    press $hostWindow 0.5 p                   # the host is ready
    press $hostWindow 1 Return                # and starts
    reach "$HOST_DIR" "stage selection"
    press $hostWindow 1.5 Return              # a stage
    reach "$HOST_DIR" "online fight"; reach "$JOIN_DIR" "online fight"
    sleep 4                                   # the intro
    hold $hostWindow Left 1
    press $hostWindow 0.1 p
    hold $joinWindow Right 1
    press $joinWindow 0.1 p
    press $hostWindow 0.5 F12
    press $joinWindow 0.2 F12
    press $hostWindow 1 Escape                # the host leaves
    reach "$HOST_DIR" "online play over"; reach "$JOIN_DIR" "online play over"
    press $hostWindow 1 Return
    press $joinWindow 0.5 Return
    reach "$HOST_DIR" "main menu"; reach "$JOIN_DIR" "main menu"
    press $hostWindow 1.5 Escape
    press $joinWindow 0.5 Escape
  '"$pair_end" 2>/dev/null)
  local side replay shot
  for side in "$host" "$join"; do
    replay=$(ls "$side"/replays/*.qrxreplay 2>/dev/null | head -n 1 || true)
    shot=$(ls "$side"/screenshots/*.png 2>/dev/null | head -n 1 || true)
    if [ -z "$replay" ] || ! (cd "$build/game" && ../quarrelix-match --replay "$replay" > /dev/null); then
      report="$report
a side's replay is missing or did not check out"
    fi
    if [ -z "$shot" ]; then
      report="$report
a side took no screenshot"
    elif [ -n "${SMOKE_SHOTS:-}" ]; then
      mkdir -p "$SMOKE_SHOTS" && cp "$shot" "$SMOKE_SHOTS/online-$([ "$side" = "$host" ] && echo host || echo join).png"
    fi
  done
  rm -rf "$host" "$join"
  local expected
  expected=$(printf 'exit=0\nexit=0\n%s\n%s' \
    "main menu,where to play,host online,class selection,stage selection,online fight,online play over,main menu" \
    "main menu,where to play,join online,connecting,class selection,online fight,online play over,main menu")
  verdict "online pair" "two windows play online through the menus, host and join at 127.0.0.1; both replays check out" "$expected" "$report"
}

# A room between two windows, through a lobby on loopback: the host's window shows the code
# and C puts it on the X clipboard, where the joining player takes it and types it on the
# code's screen; both meet in the class selection and play a short match; at its end the host
# asks for a rematch and is back in the class selection, the joining player leaves and the
# host is told.
online_room() {
  local host join report port
  host=$(game_dir)
  join=$(game_dir)
  port=$((20000 + RANDOM % 30000))
  for dir in "$host" "$join"; do
    printf '{"ScreenSize": 0, "Lobby": "127.0.0.1:%s"}\n' "$port" > "$dir/settings.txt"
  done
  "$build/quarrelix-lobby" --bind 127.0.0.1 --port "$port" > /dev/null 2>&1 & local lobby=$!
  # Matches end after 3 s of fight with no winner: the rematch comes within the test's time.
  report=$(HOST_DIR=$host JOIN_DIR=$join QRX_SCREEN_LOG=1 QRX_ONLINE_FRAME_LIMIT=180 \
           xvfb-run -a -s "-screen 0 2100x800x24" bash -c "$pair_start"'
    press $hostWindow 1.5 Return              # Player vs Player
    reach "$HOST_DIR" "where to play"
    press $hostWindow 1 Down
    press $hostWindow 0.3 Return              # Host a room
    reach "$HOST_DIR" "host room"
    press $hostWindow 2 c                     # the code to the clipboard
    sleep 0.5
    code=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
    echo "code=$(echo "$code" | grep -c "^[ACDEFHJKMNPRTWXY]\{6\}$")"
    press $joinWindow 0.5 Return              # Player vs Player
    reach "$JOIN_DIR" "where to play"
    press $joinWindow 1 Down
    press $joinWindow 0.3 Down
    press $joinWindow 0.3 Return              # Join a room
    reach "$JOIN_DIR" "join room"
    press $joinWindow 1 $(echo "$code" | tr "A-Z" "a-z" | sed "s/./& /g") Return
    reach "$HOST_DIR" "class selection"; reach "$JOIN_DIR" "class selection"
    press $joinWindow 1.5 p                   # both ready, the host starts on a stage
    press $hostWindow 0.5 p
    press $hostWindow 1 Return
    reach "$HOST_DIR" "stage selection"
    press $hostWindow 1.5 Return
    reach "$HOST_DIR" "rematch"; reach "$JOIN_DIR" "rematch"
    press $hostWindow 1 Return                # the host wants a rematch
    reach "$HOST_DIR" "class selection"
    press $joinWindow 1 Escape                # the joining player leaves
    reach "$HOST_DIR" "online play over"
    press $hostWindow 1 Return
    reach "$HOST_DIR" "main menu"; reach "$JOIN_DIR" "main menu"
    press $hostWindow 1.5 Escape
    press $joinWindow 0.5 Escape
  '"$pair_end" 2>/dev/null)
  kill $lobby 2>/dev/null || true
  wait $lobby 2>/dev/null || true
  rm -rf "$host" "$join"
  local expected
  expected=$(printf 'code=1\nexit=0\nexit=0\n%s\n%s' \
    "main menu,where to play,host room,class selection,stage selection,online fight,rematch,class selection,online play over,main menu" \
    "main menu,where to play,join room,joining room,class selection,online fight,rematch,main menu")
  verdict "online room" "two windows meet in a room through a lobby: code shown, copied, typed; a match, the host's rematch, the other leaves" "$expected" "$report"
}

journey
training
solo
no_sound
online_pair
online_room
check '' 1680x1050 no
check '{"ScreenSize": 3}' 1280x800 no
check '{"ScreenSize": -4}' 1024x768 no
check '{"ScreenSize": 3, "Fullscreen": 0}' 1280x800 yes
# Hostile settings files: unreadable ones count as none and stay as they were.
check '{"ScreenSize": 3, "player2left": 5,}' 1680x1050 no
check "$(printf '%*s' 100000 '' | tr ' ' '[')" 1680x1050 no
exit $failures
