#!/usr/bin/env bash
# Sets up this machine (Debian 12), builds the game and its pictures and sounds, and plays it.
set -euo pipefail
cd "$(dirname "$0")"
# The game opens a window: without a display there is no point in building it.
if [ -z "${DISPLAY:-}" ]; then
  echo "nombre needs a display: DISPLAY is not set (on a machine without one, try: xvfb-run -a ./play.sh)"
  exit 1
fi
started=$SECONDS
echo "== 1/3 checking the Debian packages the build needs (the first time, installing them takes a few minutes)"
bash scripts/setup.sh
echo "== 2/3 building the game and making its pictures and sounds in build/"
TARGETS=game bash scripts/build.sh build
took=$((SECONDS - started))
echo "== 3/3 starting nombre (set up and built in $((took / 60))m $((took % 60))s)"
exec build/nombre
