#!/usr/bin/env bash
# The Debian package as a player gets it: built by CPack from a build folder
# (the game and e2e_tool targets built), its dependencies and files
# checked, unpacked into a scratch root, and the unpacked game started from an
# unrelated working directory until it shows its first frame.
# Usage, under Xvfb: tests/package/package_test.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

(cd "$build" && cpack -G DEB > cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
deb=$(ls -t "$build"/nombre_*.deb | head -1)

E2E_TOOL=$build/tests/e2e_tool
root=$(mktemp -d /tmp/nombre-root-XXXXXX)
source "$here/../e2e/lib.bash" "$root/usr/bin/nombre"
trap 'stop_game; rm -rf "$root"' EXIT

# Depends comes from the libraries the game links, one Debian package each.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libglfw3 libglew libopenal1 libsndfile1; do
  [[ "$depends" == *"$library"* ]] || fail "Depends has no $library: $depends"
done

dpkg-deb -x "$deb" "$root"
for file in usr/bin/nombre usr/share/nombre/img/lvl.png usr/share/nombre/sound/music.wav \
  usr/share/applications/nombre.desktop usr/share/icons/hicolor/128x128/apps/nombre.png; do
  [ -f "$root/$file" ] || fail "the package has no $file"
done
[ "$(/usr/bin/identify -format '%m %wx%h' "$root/usr/share/icons/hicolor/128x128/apps/nombre.png")" = "PNG 128x128" ] ||
  fail "the icon is not a 128x128 PNG"
desktop-file-validate "$root/usr/share/applications/nombre.desktop" || fail "the menu entry is not valid"

start_game
[ -s "$WORK/out.txt" ] && fail "the unpacked game reported a problem"
"$E2E_TOOL" close "$WID"
expect_exit 0
echo "package: ok ($(basename "$deb"), $(du -k "$deb" | cut -f1) kB; Depends: $depends)"
