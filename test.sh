#!/usr/bin/env bash
# Sets up this machine (Debian 12), builds everything and runs every test:
# the suite on the normal build, the same suite built with AddressSanitizer
# and UndefinedBehaviorSanitizer, the Debian package unpacked and started, and
# a short fuzzing of the file loaders.
# The OpenGL tests draw with Mesa in a virtual X display.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh

XVFB=(xvfb-run -a -s "-screen 0 800x600x24 -ardelay 2000")

echo "== build and test"
bash scripts/build.sh build
(cd build && "${XVFB[@]}" ctest --output-on-failure)

echo "== the Debian package, unpacked into a scratch root and started"
"${XVFB[@]}" bash tests/package/package_test.sh build

echo "== the same tests under AddressSanitizer and UndefinedBehaviorSanitizer"
bash scripts/build.sh build-asan -DNOMBRE_SANITIZE=ON
# Mesa and X keep memory until exit on purpose: leaks are not what this run looks for.
(cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  "${XVFB[@]}" ctest --output-on-failure)

echo "== fuzzing the picture and sound loaders"
bash scripts/fuzz.sh 20
