#!/usr/bin/env bash
# Installs the Debian 12 packages the game, its tools and its tests need, when any is missing.
# Usage: tools/install-deps.sh [--package | --ci]   (--package adds what tools/package.sh and
# tools/install-test.sh need: dpkg-dev, desktop-file-utils and the window test's packages;
# --ci adds those and clang with the libFuzzer runtime for tools/fuzz.sh)
set -euo pipefail
packages=(build-essential cmake pkg-config libsdl2-dev libpng-dev zlib1g-dev libogg-dev
          libvorbis-dev libenet-dev libminiupnpc-dev libnatpmp-dev nlohmann-json3-dev libfreetype-dev
          fonts-dejavu-core libgtest-dev
          googletest ccache)
if [ "${1:-}" = "--package" ] || [ "${1:-}" = "--ci" ]; then
  packages+=(xvfb xauth xdotool x11-utils dpkg-dev desktop-file-utils)
fi
if [ "${1:-}" = "--ci" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then sudo="sudo"; else
    echo "Missing packages (${missing[*]}); run this script as root or install sudo." >&2
    exit 1
  fi
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
