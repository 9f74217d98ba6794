#!/usr/bin/env bash
# Sets up this machine (Debian 12), builds everything and runs every test;
# the OpenGL tests draw with Mesa in a virtual X display.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
bash scripts/build.sh build
cd build
xvfb-run -a -s "-screen 0 800x600x24 -ardelay 2000" ctest --output-on-failure
