#!/usr/bin/env bash
# Another program holds the best scores at game over: the game waits a
# moment, no more. The game-over screen shows, the window closes at once,
# one line says where the run's score went instead (a file beside the
# table), and the table the other program holds is left to it.
source "$(dirname "$0")/lib.bash"
GAME_SPEED=4

folder=$XDG_DATA_HOME/nombre
mkdir -p "$folder"
printf '[[run]]\ntotal = 5\nlevel = 1\ndate = 2026-01-01T10:00:00\n' > "$folder/scores"
cp "$folder/scores" "$WORK/table-before"
hold_scores_lock "$folder"

start_game
defeat_an_enemy
walk_until_game_over over
"$E2E_TOOL" close "$WID"
expect_exit 0
said=$(cat "$WORK/err.txt")
expect_run_aside "$folder" "are held by another program"
echo "busy scores: ok"
sed 's/^/  /' <<< "$said"
