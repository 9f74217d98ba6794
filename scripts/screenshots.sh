#!/usr/bin/env bash
# Renders the README's screenshots from the real game into docs/screenshots,
# each from a run the game records as it is played (kept in docs/runs, to be
# watched with nombre --replay).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh build > /dev/null
mkdir -p docs/screenshots docs/runs
out=$(pwd)/docs/screenshots
runs=$(pwd)/docs/runs
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cd build/run
# A player with no files of his own: no best score but the runs' own.
XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state \
  xvfb-run -a -s "-screen 0 800x600x24" ../tools/nombre_screenshots "$out" "$runs"
ls "$out" "$runs"
