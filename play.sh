#!/usr/bin/env bash
# Sets up this machine (Debian 12), builds the game and its pictures and sounds, and plays it.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
bash scripts/build.sh build
if [ -z "${DISPLAY:-}" ]; then
  echo "nombre needs a display: DISPLAY is not set (on a machine without one, try: xvfb-run -a ./play.sh)"
  exit 1
fi
cd build/run
exec ../nombre
