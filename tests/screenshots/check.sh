#!/usr/bin/env bash
# The README's screenshots and the runs they are drawn from are the game's as
# it plays and draws today: made again into a scratch folder, each is the same
# byte for byte as the one kept in docs/, and every picture the README shows
# is one of them. After a change to the game's look or rules, run
# scripts/screenshots.sh and commit what it makes.
#   check.sh SOURCE_DIR SCREENSHOTS_TOOL GAME   (run from the build's run folder)
set -uo pipefail
source_dir=$1
tool=$2
game=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/shots" "$work/runs"
if ! XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state \
    xvfb-run -a -s "-screen 0 800x600x24" "$tool" "$work/shots" "$work/runs" > "$work/said" 2>&1; then
  grep -v '^Kill$' "$work/said"
  echo "FAIL: the screenshots could not be made"
  exit 1
fi
failed=0
# The moving picture, exported as scripts/screenshots.sh exports it.
XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state \
  "$game" --replay "$source_dir/tests/fixtures/v3_walk_fight_pause.nrep" --export "$work/kick.gif" \
  --size 400x300 --from 5.2 --to 6.1 > /dev/null 2>&1
cmp -s "$source_dir/docs/kick.gif" "$work/kick.gif" ||
  { echo "FAIL: docs/kick.gif is not what the game exports today (scripts/screenshots.sh makes it again)"; failed=1; }
for kept in "$source_dir"/docs/screenshots/*.png "$source_dir"/docs/runs/*.nrep; do
  case $kept in *.png) made=$work/shots/$(basename "$kept") ;; *) made=$work/runs/$(basename "$kept") ;; esac
  if ! cmp -s "$kept" "$made"; then
    echo "FAIL: ${kept#"$source_dir"/} is not what the game makes today (scripts/screenshots.sh makes it again)"
    failed=1
  fi
done
for made in "$work"/shots/*.png "$work"/runs/*.nrep; do
  case $made in *.png) kept=docs/screenshots/$(basename "$made") ;; *) kept=docs/runs/$(basename "$made") ;; esac
  [ -e "$source_dir/$kept" ] || { echo "FAIL: $kept is made but not kept"; failed=1; }
done
for shown in $(grep -o 'docs/screenshots/[a-z-]*\.png' "$source_dir/README.md" | sort -u); do
  [ -e "$work/shots/$(basename "$shown")" ] || { echo "FAIL: the README shows $shown, which the game does not make"; failed=1; }
done
[ $failed = 0 ] && echo "the screenshots and their runs are the game's own, as it draws today"
exit $failed
