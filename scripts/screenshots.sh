#!/usr/bin/env bash
# Renders the README's screenshots from the real game into docs/screenshots,
# each from a run the game records as it is played (kept in docs/runs, to be
# watched with nombre --replay), and exports docs/kick.gif from a recorded run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh build > /dev/null
mkdir -p docs/screenshots docs/runs
out=$(pwd)/docs/screenshots
runs=$(pwd)/docs/runs
gif=$(pwd)/docs/kick.gif
fight=$(pwd)/tests/fixtures/v3_walk_fight_pause.nrep
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cd build/run
# A player with no files of his own: no best score but the runs' own.
XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state \
  xvfb-run -a -s "-screen 0 800x600x24" ../tools/nombre_screenshots "$out" "$runs"
# The README's moving picture: a recorded run exported by the game itself, as the README says.
XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state \
  ../nombre --replay "$fight" --export "$gif" \
  --size 400x300 --from 5.2 --to 6.1
ls "$out" "$runs"
