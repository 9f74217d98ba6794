#!/usr/bin/env bash
# Configures and builds into the folder given (default build); extra arguments go to cmake.
# TARGETS, if set, names the targets to build instead of everything.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
targets=()
for target in ${TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$dir" "${targets[@]}" -j "$(nproc)"
