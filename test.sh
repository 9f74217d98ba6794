#!/usr/bin/env bash
# Sets up this machine (Debian 12), builds everything and runs every test:
# the suite on the normal build, the same suite built with AddressSanitizer
# and UndefinedBehaviorSanitizer, the Debian package unpacked and started, and
# a short fuzzing of the file loaders, and the game as a web page in a
# headless browser (which installs emscripten and chromium first).
# The OpenGL tests draw with Mesa in a virtual X display.
# Every step runs even when one before it failed; the last line counts them.
set -uo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh || exit 1

XVFB=(xvfb-run -a -s "-screen 0 800x600x24 -ardelay 2000")

passed=0
failed=()
# Runs one step: its name, then the command.
step() {
  local name=$1
  shift
  echo "== $name"
  if "$@"; then
    passed=$((passed + 1))
  else
    echo "== $name: FAILED"
    failed+=("$name")
  fi
}

plain_suite() {
  bash scripts/build.sh build && (cd build && "${XVFB[@]}" ctest --output-on-failure)
}
package_check() {
  "${XVFB[@]}" bash tests/package/package_test.sh build
}
# Mesa and X keep memory until exit on purpose: leaks are not what this run looks for.
sanitizer_suite() {
  bash scripts/build.sh build-asan -DNOMBRE_SANITIZE=ON &&
    (cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "${XVFB[@]}" ctest --output-on-failure)
}

step "ctest plain" plain_suite
step "package" package_check
step "ctest sanitizers" sanitizer_suite
step "fuzz" bash scripts/fuzz.sh 20
step "web" bash tests/web/run.sh

if [ ${#failed[@]} -eq 0 ]; then
  echo "$passed passed, 0 failed"
  exit 0
fi
failed_names=$(printf '%s, ' "${failed[@]}")
echo "failed: ${failed_names%, }"
echo "$passed passed, ${#failed[@]} failed"
exit 1
