#!/usr/bin/env bash
# The Debian package as a player gets it: built by CPack from a build folder
# (the game and e2e_tool targets built), checked by lintian (any error fails),
# its dependencies and files checked, unpacked into a scratch root, and the
# unpacked game started from an unrelated working directory until it shows
# its first frame.
# Usage, under Xvfb: tests/package/package_test.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

(cd "$build" && cpack -G DEB > cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
deb=$(ls -t "$build"/nombre_*.deb | head -1)

E2E_TOOL=$build/tests/e2e_tool
root=$(mktemp -d /tmp/nombre-root-XXXXXX)
source "$here/../e2e/lib.bash" "$root/usr/games/nombre"
trap 'stop_game; rm -rf "$root"' EXIT

# Depends comes from the libraries the game links, one Debian package each.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libglfw3 libglew libopenal1 libsndfile1 libtomlplusplus3; do
  [[ "$depends" == *"$library"* ]] || fail "Depends has no $library: $depends"
done

# Debian's own checker: E: lines are errors. docs/engineering.md says what it reports on the package.
status=0
lintian "$deb" > "$build/lintian.log" 2>&1 || status=$?
grep -v '^running with root privileges' "$build/lintian.log" || true
grep -q '^E: ' "$build/lintian.log" && fail "lintian reports errors"
[ "$status" = 0 ] || fail "lintian did not finish (exit code $status)"

dpkg-deb -x "$deb" "$root"
for file in usr/games/nombre usr/games/nombre-check usr/share/man/man6/nombre-check.6.gz usr/share/nombre/img/lvl.png usr/share/nombre/sound/music.wav \
  usr/share/applications/nombre.desktop usr/share/icons/hicolor/128x128/apps/nombre.png \
  usr/share/doc/nombre/copyright usr/share/doc/nombre/changelog.gz usr/share/man/man6/nombre.6.gz \
  usr/share/metainfo/invalid.nombre.nombre.metainfo.xml; do
  [ -f "$root/$file" ] || fail "the package has no $file"
done
[ "$(/usr/bin/identify -format '%m %wx%h' "$root/usr/share/icons/hicolor/128x128/apps/nombre.png")" = "PNG 128x128" ] ||
  fail "the icon is not a 128x128 PNG"
desktop-file-validate "$root/usr/share/applications/nombre.desktop" || fail "the menu entry is not valid"
appstreamcli validate --no-net "$root/usr/share/metainfo/invalid.nombre.nombre.metainfo.xml" > /dev/null ||
  fail "the AppStream metadata is not valid"
# The manual page lists every option the game has.
# (Read whole first: grep -q ending a pipe early would fail it under pipefail.)
manual=$(zcat "$root/usr/share/man/man6/nombre.6.gz" | sed 's/\\-/-/g')
for option in $("$root/usr/games/nombre" --help | grep -oE -- '--[a-z-]+' | sort -u); do
  grep -q -- "$option" <<< "$manual" || fail "the manual page has no $option"
done

# The checker links the rules alone: no graphics, windowing or sound library.
libraries=$(ldd "$root/usr/games/nombre-check")
for library in libGL libEGL libglfw libGLEW libopenal libsndfile libX11; do
  [[ "$libraries" == *"$library"* ]] && fail "nombre-check links $library"
done
env -u DISPLAY "$root/usr/games/nombre-check" "$here/../fixtures/walk.nrep" > "$WORK/check.txt" ||
  fail "the unpacked nombre-check did not check a run: $(cat "$WORK/check.txt")"

start_game
[ -s "$WORK/out.txt" ] && fail "the unpacked game reported a problem"
"$E2E_TOOL" close "$WID"
expect_exit 0
echo "package: ok ($(basename "$deb"), $(du -k "$deb" | cut -f1) kB; Depends: $depends)"
