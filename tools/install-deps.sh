#!/usr/bin/env bash
# Installs the Debian 12 packages the game, its tools and its tests need, when any is missing.
# Usage: tools/install-deps.sh [--package | --ci]   (--package adds what tools/package.sh and
# tools/install-test.sh need: dpkg-dev, desktop-file-utils and the window test's packages;
# --ci adds those and clang with the libFuzzer runtime for tools/fuzz.sh). The network lab
# (tools/net-lab.sh) needs iptables, conntrack, nftables, miniupnpd and miniupnpc: miniupnpd is
# only run inside the lab's routers, never as the machine's own service.
set -euo pipefail
packages=(build-essential cmake pkg-config libsdl2-dev libpng-dev zlib1g-dev libogg-dev
          libvorbis-dev libenet-dev nlohmann-json3-dev libfreetype-dev fonts-dejavu-core libgtest-dev
          googletest ccache libminiupnpc-dev libnatpmp-dev
          iptables conntrack nftables miniupnpd miniupnpc python3)
if [ "${1:-}" = "--package" ] || [ "${1:-}" = "--ci" ]; then
  packages+=(xvfb xauth xdotool x11-utils xclip dpkg-dev desktop-file-utils)
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
# miniupnpd asks (debconf) whether to start at boot: no, and nothing it would start stays up.
echo "miniupnpd miniupnpd/start_daemon boolean false" | $sudo debconf-set-selections
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
if [[ " ${missing[*]} " == *" miniupnpd "* ]]; then
  if command -v systemctl >/dev/null && [ -d /run/systemd/system ]; then
    $sudo systemctl disable --now miniupnpd.service >/dev/null 2>&1 || true
  fi
  if [ -x /etc/init.d/miniupnpd ]; then $sudo /etc/init.d/miniupnpd stop >/dev/null 2>&1 || true; fi
  # Any left in the machine's own network (the lab's run inside network namespaces).
  for pid in $(pgrep -x miniupnpd || true); do
    if [ "$(readlink "/proc/$pid/ns/net")" = "$(readlink /proc/1/ns/net)" ]; then
      $sudo kill "$pid" || true
    fi
  done
fi
