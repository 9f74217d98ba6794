#!/usr/bin/env bash
# Fighting: kicks defeat enemies ("Kill"), enemies drain the hero's health and
# take a heart, and closing the window ends the game with exit code 0.
source "$(dirname "$0")/lib.bash"
start_game
# Walk up to the first cluster and keep kicking.
xdotool keydown Right; sleep 0.4; xdotool keyup Right
xdotool keydown x
wait_for_line Kill 20 || { xdotool keyup x; fail "no enemy was defeated"; }
xdotool keyup x
# Stand among the enemies until a heart is gone (the fifth sits at x 340).
for _ in $(seq 100); do
  shot hearts
  is_grey hearts 340 525 && break
  sleep 0.2
done
is_grey hearts 340 525 || fail "the hero never lost a heart"
is_grey hearts 180 525 && fail "the first heart went instead of the last"
"$E2E_TOOL" close "$WID"
expect_exit 0
echo "combat: ok ($(grep -c Kill "$WORK/out.txt") Kill lines)"
