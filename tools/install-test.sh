#!/usr/bin/env bash
# The game installed as a player gets it. Checks the layout of `cmake --install` into a scratch
# prefix; builds the Debian package (tools/package.sh) and installs it on this machine; checks
# its files, its desktop entry and icon, and that its directory is the system's (a player cannot
# write it); then, as a throwaway user from an unrelated working directory, starts the installed
# game in a window under Xvfb, goes through the options, a fight and a replay of it, and checks
# that the settings and the replay went to the player's data directory (XDG_DATA_HOME, or
# HOME/.local/share without it) and nothing was written beside the game; last removes the
# package and checks its files are gone.
# Usage: tools/install-test.sh [BUILD_DIR]   (as root: it installs and removes the package
# quarrelix and a user of its own; needs xvfb, xdotool and dpkg-dev, installed when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
if [ "$(id -u)" -ne 0 ]; then
  echo "install-test: run as root: it installs the package and adds a throwaway user" >&2
  exit 1
fi
tools/install-deps.sh --package
failures=0
ok() { echo "install ok: $*"; }
fail() { echo "install FAILED: $*" >&2; failures=$((failures + 1)); }

work=$(mktemp -d)
chmod 755 "$work" # the throwaway user reaches its home inside
player=qrx-install-$$
cleanup() {
  dpkg -r quarrelix >/dev/null 2>&1 || true
  userdel "$player" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# The content as the build made it: everything in the game directory but the executable and
# what a player's runs leave there (settings, replays).
content_list() {
  (cd "$1" && find . -mindepth 1 \( -path ./quarrelix -o -path './settings.txt*' -o -path ./replays \) \
     -prune -o -print | sort)
}
# Checks an installed tree under PREFIX (label: what is checked).
check_layout() {
  local prefix=$1 label=$2 game=$1/lib/quarrelix
  [ -L "$prefix/bin/quarrelix" ] && [ "$(realpath "$prefix/bin/quarrelix")" = "$(realpath "$game/quarrelix")" ] ||
    fail "$label: bin/quarrelix is no link to lib/quarrelix/quarrelix"
  [ -x "$game/quarrelix" ] || fail "$label: no executable lib/quarrelix/quarrelix"
  if [ "$(content_list "$build/game")" = "$(content_list "$game")" ]; then
    ok "$label: the whole content ($(content_list "$game" | wc -l) entries) in lib/quarrelix"
  else
    fail "$label: lib/quarrelix differs from the build's content: $(diff <(content_list "$build/game") \
         <(content_list "$game") | grep '^[<>]' | head -n 5 | paste -sd' ' -)"
  fi
  local entry=$prefix/share/applications/quarrelix.desktop
  grep -qx "Name=Quarrelix" "$entry" && grep -qx "Exec=quarrelix" "$entry" &&
    grep -qx "Categories=Game;ActionGame;" "$entry" || fail "$label: desktop entry $entry"
  [ -s "$prefix/share/icons/hicolor/scalable/apps/quarrelix.svg" ] || fail "$label: no icon"
}

# 1. The package (tools/package.sh builds what it needs first), of the game's own version.
deb=$(tools/package.sh "$build" | tail -n 1)
echo "package: $deb"
version=$("$build/game/quarrelix" --version) # "Quarrelix project pre-alpha 0.1.0.5a"
fields=$(dpkg-deb -f "$deb" Package Version Architecture Depends Section)
echo "$fields" | sed 's/^/  /'
echo "$fields" | grep -qx "Package: quarrelix" && echo "$fields" | grep -qx "Version: ${version##* }" &&
  echo "$fields" | grep -q "^Depends: .*libsdl2" || fail "the package's fields"

# 2. cmake --install into a scratch prefix: the layout, and the game answers from elsewhere.
prefix=$work/prefix
if cmake --install "$build" --prefix "$prefix" >/dev/null; then
  check_layout "$prefix" "cmake --install"
  [ "$(cd / && "$prefix/bin/quarrelix" --version)" = "$version" ] || fail "cmake --install: --version"
else
  fail "cmake --install --prefix $prefix"
fi
rm -rf "$prefix"

# 3. The package installed system-wide.
if dpkg-query -W -f='${Status}' quarrelix 2>/dev/null | grep -q 'install ok installed'; then
  echo "install-test: the package quarrelix is installed already: it is replaced, then removed" >&2
fi
dpkg -i "$deb" >/dev/null
check_layout /usr "dpkg -i"
if desktop-file-validate /usr/share/applications/quarrelix.desktop; then
  ok "the desktop entry validates"
else
  fail "desktop-file-validate /usr/share/applications/quarrelix.desktop"
fi
[ "$(cd / && /usr/bin/quarrelix --version)" = "$version" ] ||
  fail "/usr/bin/quarrelix --version"

# 4. A player who cannot write the game's directory.
home=$work/home
useradd --no-create-home --home-dir "$home" --shell /bin/bash "$player"
mkdir -p "$home/elsewhere"
chown -R "$player:" "$home"
as_player() { runuser -u "$player" -- env -i PATH=/usr/bin:/bin HOME="$home" SDL_AUDIODRIVER=dummy "$@"; }
if as_player test -w /usr/lib/quarrelix; then
  fail "a player can write /usr/lib/quarrelix"
else
  ok "/usr/lib/quarrelix is $(stat -c '%U %A' /usr/lib/quarrelix): not the player's to write"
fi
snapshot() { find /usr/lib/quarrelix -printf '%p %s %T@\n' | sort; }
installed_before=$(snapshot)

# A session in a window (inside xvfb-run, as the player, in "elsewhere"): the game started
# from its installed path with its screens logged, press (after a pause, keys) and reach (waits
# up to 20 s until the screen the game names last is the one given); at the end, how it ended
# and the screens it went through.
session_start='
    "$@" 2>"$HOME/screens.log" & game=$!
    for _ in $(seq 300); do
      w=$(xdotool search --name "^Quarrelix project$" 2>/dev/null | head -n 1) && [ -n "$w" ] && break
      sleep 0.2
    done
    [ -n "$w" ] || { echo "no-window"; kill $game; exit 0; }
    press() { sleep "$1"; shift; xdotool key --delay 150 --window "$w" "$@"; }
    reach() {
      for _ in $(seq 200); do
        [ "$(sed -n "s/^screen: //p" "$HOME/screens.log" | tail -n 1)" = "$1" ] && return 0
        sleep 0.1
      done
    }
'
session_end='
    for _ in $(seq 25); do kill -0 $game 2>/dev/null || break; sleep 0.2; done
    if kill -0 $game 2>/dev/null; then echo "still-running"; kill $game; else wait $game; echo "exit=$?"; fi
    sed -n "s/^screen: //p" "$HOME/screens.log" | paste -sd, -
'
# The last lines the game wrote on its standard error in the last session (on a failure).
game_said() { grep -v "^screen: " "$home/screens.log" 2>/dev/null | tail -n 5 | paste -sd"|" - || true; }
in_window() { # XDG_DATA_HOME ("" for none), the session's keys, then the command
  local data=$1 keys=$2
  shift 2
  as_player ${data:+XDG_DATA_HOME=$data} QRX_SCREEN_LOG=1 bash -c \
    'cd "$HOME/elsewhere" && exec xvfb-run -a -s "-screen 0 1366x768x24" bash -c "$0" session "$@"' \
    "$session_start$keys$session_end" "$@" 2>/dev/null || true
}

# The options (left: the settings are written), a fight of a few seconds (left: its replay is
# kept), back to the main menu and Escape out.
options_keys='
    reach "main menu"
    press 2 Down
    press 0.3 Down
    press 0.3 Down
    press 0.3 Return          # Options
    reach options
    press 1 Escape            # leave them: the settings are saved
    reach "main menu"
'
play_keys=$options_keys'
    press 1.5 Up
    press 0.3 Up
    press 0.3 Up
    press 0.3 Return          # Player vs Player
    reach "where to play"
    press 1 Return            # Same computer
    reach "class selection"
    press 1.5 p               # player one ready
    press 0.3 q               # player two ready
    press 0.3 Return          # start
    reach "stage selection"
    press 1 Return            # the first stage
    reach fight
    sleep 4                   # the intro, then player one walks in and attacks
    xdotool keydown --window "$w" Left; sleep 1; xdotool keyup --window "$w" Left
    press 0.2 p
    press 1 Escape            # leave the fight: its replay is kept
    reach "class selection"
    press 1.5 Escape          # back to the main menu
    reach "main menu"
    press 1.5 Escape          # leave the game
'
data=$home/data
report=$(in_window "$data" "$play_keys" /usr/bin/quarrelix)
expected=$(printf 'exit=0\nmain menu,options,main menu,where to play,class selection,stage selection,fight,class selection,main menu')
if [ "$report" = "$expected" ]; then
  ok "the installed game, started from elsewhere: options, a fight and back out"
else
  fail "the installed game's session: expected [$expected] got [$report]; the game said: $(game_said)"
fi
[ -s "$data/quarrelix/settings.txt" ] && ok "settings.txt written in \$XDG_DATA_HOME/quarrelix" ||
  fail "no settings.txt in $data/quarrelix: $(ls -A "$data/quarrelix" 2>&1 | paste -sd' ' -)"
replay=$(cd "$data/quarrelix" 2>/dev/null && ls replays/*.qrxreplay 2>/dev/null | head -n 1 || true)
if [ -n "$replay" ] && (cd "$build/game" && ../quarrelix-match --replay "$data/quarrelix/$replay" >/dev/null); then
  ok "the fight's replay kept in \$XDG_DATA_HOME/quarrelix/replays and checks out"
else
  fail "no replay in $data/quarrelix/replays, or it does not check out"
fi

# The replay watched by the installed game, named relative to where the player stands.
if [ -n "$replay" ]; then
  cp -r "$data/quarrelix/replays" "$home/elsewhere/" &&
    chown -R "$player:" "$home/elsewhere/replays"
  report=$(in_window "$data" 'reach replay
    press 2 Escape            # stop watching
  ' /usr/bin/quarrelix --replay "$replay")
  rm -rf "$home/elsewhere/replays"
  [ "$report" = "$(printf 'exit=0\nreplay')" ] && ok "quarrelix --replay with a relative path from elsewhere" ||
    fail "quarrelix --replay $replay: got [$report]; the game said: $(game_said)"
fi

# Without XDG_DATA_HOME: HOME/.local/share/quarrelix.
report=$(in_window "" "$options_keys"'
    press 1.5 Escape          # leave the game
  ' /usr/bin/quarrelix)
if [ "$report" = "$(printf 'exit=0\nmain menu,options,main menu')" ] && [ -s "$home/.local/share/quarrelix/settings.txt" ]; then
  ok "without XDG_DATA_HOME the settings go to ~/.local/share/quarrelix"
else
  fail "without XDG_DATA_HOME: got [$report]; the game said: $(game_said); $(ls -A "$home/.local/share/quarrelix" 2>&1 | paste -sd' ' -)"
fi

[ "$(snapshot)" = "$installed_before" ] && ok "nothing written under /usr/lib/quarrelix" ||
  fail "files changed under /usr/lib/quarrelix: $(diff <(echo "$installed_before") <(snapshot) | grep '^[<>]' | head -n 5 | paste -sd' ' -)"
[ -z "$(ls -A "$home/elsewhere")" ] && ok "nothing written in the working directory" ||
  fail "files written in the working directory: $(ls -A "$home/elsewhere" | paste -sd' ' -)"

# 5. Removed: the package's files are gone.
dpkg -r quarrelix >/dev/null
left=$(ls -d /usr/bin/quarrelix /usr/lib/quarrelix /usr/share/applications/quarrelix.desktop \
       /usr/share/icons/hicolor/scalable/apps/quarrelix.svg 2>/dev/null || true)
[ -z "$left" ] && ok "dpkg -r quarrelix removes every file" || fail "left after dpkg -r: $left"

[ $failures -eq 0 ] && echo "install test: all checks passed" || echo "install test: $failures failed" >&2
exit $failures
