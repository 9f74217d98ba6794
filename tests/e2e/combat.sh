#!/usr/bin/env bash
# Fighting: kicks defeat enemies ("Kill") and the score appears, enemies drain
# the hero's health and take his hearts one by one until the game is over,
# and closing the window ends the game with exit code 0.
source "$(dirname "$0")/lib.bash"
start_game
shot before
# The score "0" stands alone at the right of the band; more digits grow leftwards.
is_plain before 730 512 30 26 || fail "something left of the score before any defeat"
# Walk up to the first cluster and keep kicking.
xdotool keydown Right; sleep 0.4; xdotool keyup Right
xdotool keydown x
wait_for_line Kill 20 || { xdotool keyup x; fail "no enemy was defeated"; }
xdotool keyup x
shot scored
is_plain scored 730 512 30 26 && fail "the score did not rise after a defeat"
# Walk on into the enemies and stay among them, Right held: the hero stops
# where their bodies block him, and after each lost life walks back into the
# next wave. First a heart goes (the fifth sits at x 340).
xdotool keydown Right
for _ in $(seq 300); do
  shot hearts
  is_grey hearts 340 525 && break
  sleep 0.2
done
is_grey hearts 340 525 || { xdotool keyup Right; fail "the hero never lost a heart"; }
is_grey hearts 180 525 && fail "the first heart went instead of the last"
# Keep at it: the remaining hearts go, then the game-over screen
# covers the whole window, the band below the stage included.
for _ in $(seq 300); do
  shot end
  is_grey end 400 520 || break
  sleep 0.2
done
xdotool keyup Right
is_grey end 400 520 && fail "the game never ended"
is_grey end 100 590 && fail "the game-over screen does not cover the whole window"
"$E2E_TOOL" close "$WID"
expect_exit 0
echo "combat: ok ($(grep -c Kill "$WORK/out.txt") Kill lines)"
