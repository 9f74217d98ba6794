#!/usr/bin/env bash
# Renders the README's screenshots from the real game into docs/screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh build > /dev/null
mkdir -p docs/screenshots
out=$(pwd)/docs/screenshots
cd build/run
xvfb-run -a -s "-screen 0 800x600x24" ../tools/nombre_screenshots "$out"
ls "$out"
