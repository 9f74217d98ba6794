#!/usr/bin/env bash
# The player going away during the stage-clear poses pauses the game, as in
# play. Stage 1 is fought through from what the window shows, with the keys;
# the moment the hero starts posing at the gate another window takes the
# focus. The pause menu shows, and stays while he is away for twice as long
# as the poses last; back, with the menu closed, the poses go on from where
# they stopped, and only then does level 2 begin.
source "$(dirname "$0")/lib.bash"
OTHER_PID=""
WATCH_PID=""
stop_all() {
  for pid in "$WATCH_PID" "$OTHER_PID"; do
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  done
  stop_game
}
trap stop_all EXIT

start_game
# The other window waits in a corner away from the pixels looked at.
xclock -geometry 40x40+750+550 &
OTHER_PID=$!
OTHER=$(timeout 10 xdotool search --sync --onlyvisible --name '^xclock$' | head -1) || fail "no other window"
xdotool windowfocus --sync "$WID"
shot level1
"$E2E_TOOL" clear-stage "$WID" 240 "$OTHER" > "$WORK/cleared.txt" ||
  fail "stage 1 was not cleared ($(cat "$WORK/cleared.txt"); $(grep -c Kill "$WORK/out.txt") enemies defeated)"
# The poses last a second of game time.
sleep 2
expect_menu away "losing the focus during the stage-clear poses did not open the pause menu"

xdotool windowfocus --sync "$WID"
sleep 0.3
expect_menu focused "the menu closed when the focus came back"
# Which screens follow CONTINUAR, looked at every few milliseconds.
"$E2E_TOOL" screens "$WID" 3 > "$WORK/screens.txt" &
WATCH_PID=$!
# Once it has seen the menu.
for _ in $(seq 100); do [ -s "$WORK/screens.txt" ] && break; sleep 0.05; done
press Return
wait "$WATCH_PID" || true
WATCH_PID=""
seen=$(awk '{ printf "%s%s", sep, $1; sep = " " }' "$WORK/screens.txt")
[ "$seen" = "menu-or-game-over stage-clear play" ] ||
  fail "after the menu the screens were: $seen (the rest of the poses, then level 2, expected)"
posed=$(awk '$1 == "stage-clear" { from = $2 } $1 == "play" { print $2 - from }' "$WORK/screens.txt")
shot level2
# The level above the hearts: its figure (NIVEL 1, then NIVEL 2).
same_region level1 level2 255 465 30 35 && fail "level 2 is not shown above the hearts"
hearts=0
for x in 180 220 260 300 340; do is_grey level2 "$x" 525 || hearts=$((hearts + 1)); done
leave_through_menu
echo "stage clear away: ok (stage 1 cleared in $(awk '{ print $2 / 1000 }' "$WORK/cleared.txt") s," \
  "$(grep -c Kill "$WORK/out.txt") enemies defeated, $hearts hearts left; the poses went on ${posed} ms after the menu)"
