#!/usr/bin/env bash
# The game remembers the best runs: two games played to their end, the
# second's game-over screen shows the first's total as the best and does not
# mark a new best, and `nombre --scores` lists both runs.
source "$(dirname "$0")/lib.bash"
# The game's clock runs four times as fast, so each game ends in seconds.
GAME_SPEED=4

# Plays a run to its end (see play_until_game_over), shot as $2, and closes the game.
play_to_game_over() {
  start_game
  play_until_game_over "$1" "$2"
  "$E2E_TOOL" close "$WID"
  expect_exit 0
  [ -s "$WORK/err.txt" ] && fail "the game complained: $(cat "$WORK/err.txt")"
  return 0
}

play_to_game_over 4 run1
play_to_game_over 1 run2

# Row by row, right of the labels: the run's total, the best, the new-best mark.
run_row=(400 438 200 44); best_row=(400 486 200 44); mark=(200 540 400 40)
same_region run1 run2 "${best_row[@]}" || fail "the second screen's best is not the first run's total"
same_region run1 run2 "${run_row[@]}" && fail "the second run's total is drawn as the first's"
same_region run1 run2 "${mark[@]}" && fail "the first run, a new best, is not marked apart from the second"

scores=$("$GAME_BIN" --scores)
runs=$(grep -cE '^ +[0-9]+\. +[0-9]+ +level [0-9]+' <<< "$scores" || true)
[ "$runs" = 2 ] || fail "--scores lists $runs runs, not 2: $scores"
echo "best scores: ok"
sed 's/^/  /' <<< "$scores"
