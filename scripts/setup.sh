#!/usr/bin/env bash
# Installs what the game needs on a fresh Debian 12 machine, then configures and builds it.
# Safe to run again and again: it installs only what is missing and builds incrementally.
# With "web", also what the web page needs (scripts/web.sh) and its tests (a
# browser and node's package manager): about 1.3 GB more.
set -euo pipefail

PACKAGES=(
  cmake g++ pkg-config make
  libglfw3-dev libglew-dev libstb-dev libopenal-dev libsndfile1-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps imagemagick fonts-dejavu-core
  dpkg-dev file desktop-file-utils
  clang libclang-rt-14-dev
  libcli11-dev libtomlplusplus-dev lintian appstream faketime
  openbox x11-utils libxtst-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev libavfilter-dev
  libegl-dev libegl-mesa0 ffmpeg bsdutils mount time
)

if [ "${1:-}" = web ]; then
  PACKAGES+=(emscripten chromium nodejs python3)
  # A node from elsewhere brings its own npm; Debian's comes apart from its node.
  command -v npm > /dev/null || PACKAGES+=(npm)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
else
  echo "All ${#PACKAGES[@]} packages are installed."
fi
