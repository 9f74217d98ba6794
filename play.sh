#!/usr/bin/env bash
# Sets up this machine (Debian 12), builds the game and its pictures and sounds, and plays it.
set -euo pipefail
cd "$(dirname "$0")"
# --web: the game as a web page, built and served here for a browser.
if [ "${1:-}" = --web ]; then
  port=${NOMBRE_WEB_PORT:-8000}
  echo "== 1/2 setting up and building the web page in build-web/site/ (the first time, installing emscripten takes a few minutes)"
  bash scripts/web.sh
  echo "== 2/2 serving the game: open http://localhost:$port/ in a browser (Ctrl+C stops)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
fi
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
