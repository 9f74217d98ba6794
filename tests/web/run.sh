#!/usr/bin/env bash
# The web build, tested: the node checker says what the native one says on
# every run fixture, and the page, in Debian's chromium driven by
# puppeteer-core, plays, records, downloads, keeps and watches runs; the run
# it recorded checks with the native checker.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
started=$SECONDS
bash scripts/web.sh > build-web.log 2>&1 || { tail -30 build-web.log; exit 1; }
TARGETS="nombre nombre-check assets" bash scripts/build.sh build > build-web.native.log 2>&1 || { tail -30 build-web.native.log; exit 1; }
# puppeteer-core, as the lock file pins it; never a browser of its own.
npm_dir=build-web/npm
mkdir -p "$npm_dir"
if ! cmp -s tests/web/package-lock.json "$npm_dir/package-lock.json" || [ ! -d "$npm_dir/node_modules" ]; then
  cp tests/web/package.json tests/web/package-lock.json "$npm_dir/"
  (cd "$npm_dir" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund > /dev/null) || { echo "npm ci failed"; exit 1; }
fi
echo "built in $((SECONDS - started)) s"

failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same lines and exit code from both checkers, fixture by fixture, and
# for a file that is not a run, one that is missing, a named pipe (refused at
# once, never waited on) and runs named by bytes that are no UTF-8.
printf 'nombre run\nnot really\n' > "$work/damaged.nrep"
mkfifo "$work/pipe.nrep"
odd=$(printf 'caf\351 \377.nrep')
cp tests/fixtures/walk.nrep "$work/$odd"
for run in tests/fixtures/*.nrep "$work/damaged.nrep" "$work/missing.nrep" "$work/pipe.nrep" "$work/$odd"; do
  native=$(timeout 20 build/nombre-check "$run" 2>&1; echo "exit $?")
  web=$(timeout 20 node build-web/nombre-check.js "$run" 2>&1; echo "exit $?")
  if [ "$native" != "$web" ]; then
    echo "FAIL the checkers differ on $run: native [$native], node [$web]"
    failed=1
  fi
done
all_native=$(build/nombre-check tests/fixtures/*.nrep; echo "exit $?")
all_web=$(node build-web/nombre-check.js tests/fixtures/*.nrep; echo "exit $?")
[ "$all_native" = "$all_web" ] || { echo "FAIL the checkers differ on all the fixtures at once"; failed=1; }
[ $failed -eq 0 ] && echo "ok   the node checker says what the native one says on every fixture"

# What a player downloads, compressed as a server would send it: under 4 MB.
gzipped=0
for file in build-web/site/index.wasm build-web/site/index.js build-web/site/index.data; do
  gzipped=$((gzipped + $(gzip -9 -c "$file" | wc -c)))
done
echo "     the page's .wasm, .js and .data gzipped: $gzipped bytes"
if [ $gzipped -lt $((4 * 1024 * 1024)) ]; then echo "ok   the page downloads in under 4 MB"; else
  echo "FAIL the page is $gzipped bytes gzipped, more than 4 MB"; failed=1; fi

# The desktop's picture of a run's opening frame: the first frame of a run
# exported losslessly, drawn by the same code at the same tick.
(cd build/run && ../nombre --replay "$root/tests/fixtures/walk.nrep" --export "$work/opening.mkv" --mute --to 0.02 \
  > "$work/export.txt" 2>&1) || { cat "$work/export.txt"; failed=1; }
# The pixels as they are: the clip's colour tags would become the PNG's gamma,
# which the browser would apply to the picture it compares with.
ffmpeg -v error -i "$work/opening.mkv" -frames:v 1 -vf setparams=color_primaries=unknown:color_trc=unknown \
  "$work/opening.png" || failed=1

# The page is tested as the archive holds it: unpacked as any static host
# would serve it, index.html at its root.
site="$work/site"
python3 -m zipfile -e build-web/nombre-web.zip "$site" || failed=1
if [ -f "$site/index.html" ]; then echo "ok   the archive holds the page with index.html at its root"; else
  echo "FAIL build-web/nombre-web.zip has no index.html at its root"; failed=1; fi

NODE_PATH="$root/$npm_dir/node_modules" node tests/web/page_test.js "$site" "$work/opening.png" \
  tests/fixtures/v3_walk_fight_pause.nrep "$work" || failed=1
if [ -f "$work/nombre-run.nrep" ]; then
  verdict=$(build/nombre-check "$work/nombre-run.nrep")
  code=$?
  echo "  $verdict"
  if [ $code -eq 0 ]; then echo "ok   the run played in the page checks with the native checker"; else
    echo "FAIL the run played in the page does not check"; failed=1; fi
fi
# The link the page shared checks with the native checker, as the page said it did.
if [ -f "$work/shared-link.txt" ]; then
  link=$(cat "$work/shared-link.txt")
  verdict=$(build/nombre-check "$link")
  code=$?
  page_said=$(cat "$work/shared-verdict.txt")
  if [ $code -eq 0 ] && [ "${verdict##*: the replay}" = "${page_said##*the replay}" ]; then
    echo "ok   the page's shared link checks with the native checker, as the page said: $page_said"
  else
    echo "FAIL the shared link: native [$verdict] (exit $code), page [$page_said]"; failed=1
  fi
fi
echo "the web step took $((SECONDS - started)) s"
exit $failed
