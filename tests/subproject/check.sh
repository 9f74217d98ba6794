#!/usr/bin/env bash
# The game builds inside another project (add_subdirectory), as packagers and
# embedders use it: the outer project is configured, and the game's own
# build is made from there. Usage: check.sh SOURCE_FOLDER
set -euo pipefail
source=$(cd "$1" && pwd)
outer=$(mktemp -d /tmp/nombre-outer-XXXXXX)
trap 'rm -rf "$outer"' EXIT
mkdir "$outer/src"
cat > "$outer/src/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.16)
project(outer LANGUAGES CXX)
add_subdirectory("$source" nombre)
CMAKE
cmake -S "$outer/src" -B "$outer/build" > "$outer/configure.log" 2>&1 || { cat "$outer/configure.log"; exit 1; }
[ -f "$outer/build/nombre/Makefile" ] || { echo "FAIL: no build of the game inside the outer project"; exit 1; }
# The game and the benchmark's files are found from inside: the benchmark names the tests' sources.
cmake --build "$outer/build" --target help > "$outer/targets.txt"
grep -q nombre_bench "$outer/targets.txt" || { echo "FAIL: no benchmark target"; exit 1; }
echo "sub-project: ok"
