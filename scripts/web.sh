#!/usr/bin/env bash
# Builds the game as a web page into build-web/site/ (index.html and its .js,
# .wasm and .data) with Debian's emscripten, the run checker for node as
# build-web/nombre-check.js, and the site as one archive,
# build-web/nombre-web.zip, index.html at its root, as a static host or a game
# portal's HTML5 upload takes it. The pictures and sounds are made by the
# native asset tool (built into build-web/native/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh web > build-web.setup.log 2>&1 || { cat build-web.setup.log; exit 1; }
# Debian's emscripten finds its node modules (acorn) there, whichever node runs.
export NODE_PATH=/usr/share/nodejs
mkdir -p build-web
TARGETS=assets bash scripts/build.sh build-web/native > /dev/null
emcmake cmake -S web -B build-web -DCMAKE_BUILD_TYPE=Release -DNOMBRE_ASSETS="$PWD/build-web/native/run" \
  > build-web.configure.log 2>&1 || { cat build-web.configure.log; exit 1; }
cmake --build build-web -j "$(nproc)"
# Every file of the site, at the archive's root.
rm -f build-web/nombre-web.zip
(cd build-web/site && cmake -E tar cf ../nombre-web.zip --format=zip -- index.html index.js index.wasm index.data)
