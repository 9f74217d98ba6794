#!/usr/bin/env bash
# The player going away pauses play: another window taking the focus, or the
# game's window minimised, opens the pause menu, and play goes on from it as
# after Escape.
source "$(dirname "$0")/lib.bash"
OTHER_PID=""
stop_all() {
  if [ -n "$OTHER_PID" ]; then kill "$OTHER_PID" 2>/dev/null || true; fi
  stop_game
}
trap stop_all EXIT

start_game
xdotool keydown Right; sleep 0.3
# Another window takes the focus, in a corner away from the pixels looked at.
xclock -geometry 40x40+750+550 &
OTHER_PID=$!
OTHER=$(timeout 10 xdotool search --sync --onlyvisible --name '^xclock$' | head -1) || fail "no other window"
xdotool windowfocus --sync "$OTHER"
xdotool keyup Right
sleep 0.3
expect_menu away "losing the focus did not open the pause menu"

xdotool windowfocus --sync "$WID"
sleep 0.3
expect_menu focused "the menu closed when the focus came back"
press Return; sleep 0.3
expect_play back "Enter on CONTINUAR did not go back to play"

"$E2E_TOOL" iconify "$WID"
sleep 0.3
expect_menu minimised "minimising did not open the pause menu"
press Escape; sleep 0.3
expect_play back "Escape did not close the menu"

leave_through_menu
echo "away: ok"
