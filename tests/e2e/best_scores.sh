#!/usr/bin/env bash
# The game remembers the best runs. The table already holds a run of 50
# points; a game that defeats an enemy (75 points at least) beats it, and its
# game-over screen marks the new best. A second game that defeats no one
# scores less, whatever the first scored: its game-over screen shows the
# first's total as the best and no mark, and it is not kept. `nombre
# --scores` lists the first run above the earlier one.
source "$(dirname "$0")/lib.bash"
# The game's clock runs four times as fast, so each game ends in seconds.
GAME_SPEED=4

folder=$XDG_DATA_HOME/nombre
mkdir -p "$folder"
printf '[[run]]\ntotal = 50\nlevel = 1\ndate = 2026-01-01T10:00:00\n' > "$folder/scores"

# Plays a run to its end, shot as $1, after the steps given (if any), and closes the game.
play_to_game_over() {
  start_game
  "${@:2}"
  walk_until_game_over "$1"
  "$E2E_TOOL" close "$WID"
  expect_exit 0
  [ -s "$WORK/err.txt" ] && fail "the game complained: $(cat "$WORK/err.txt")"
  return 0
}

play_to_game_over best defeat_an_enemy
play_to_game_over less

# Row by row, right of the labels: the run's total, the best, the new-best mark.
run_row=(400 438 200 44); best_row=(400 486 200 44); mark=(200 540 400 40)
same_region best less "${best_row[@]}" || fail "the second screen's best is not the first run's total"
same_region best less "${run_row[@]}" && fail "the second run's total is drawn as the first's"
same_region best less "${mark[@]}" && fail "the first run, a new best, is not marked apart from the second"

scores=$("$GAME_BIN" --scores)
runs=$(grep -E '^ +[0-9]+\. +[0-9]+ +level [0-9]+' <<< "$scores" || true)
[ "$(wc -l <<< "$runs")" = 2 ] || fail "--scores lists other runs than the first and the earlier one: $scores"
first=$(head -1 <<< "$runs" | awk '{ print $2 }')
[ "$first" -gt 50 ] || fail "the first run is not listed above the earlier one: $scores"
grep -qE '^ +2\. +50 +level 1 +2026-01-01 10:00:00$' <<< "$runs" || fail "the earlier run is not listed second: $scores"
echo "best scores: ok"
sed 's/^/  /' <<< "$scores"
