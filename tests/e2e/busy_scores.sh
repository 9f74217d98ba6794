#!/usr/bin/env bash
# Another program holds the best scores at game over: the game waits a
# moment, no more. The game-over screen shows, the window closes at once,
# one line says where the run's score went instead (a file beside the
# table), and the table the other program holds is left to it.
source "$(dirname "$0")/lib.bash"
GAME_SPEED=4
HOLDER_PID=""
stop_all() {
  if [ -n "$HOLDER_PID" ]; then kill "$HOLDER_PID" 2>/dev/null || true; fi
  stop_game
}
trap stop_all EXIT

folder=$XDG_DATA_HOME/nombre
mkdir -p "$folder"
printf '[[run]]\ntotal = 5\nlevel = 1\ndate = 2026-01-01T10:00:00\n' > "$folder/scores"
cp "$folder/scores" "$WORK/table-before"
( exec 9>"$folder/scores.lock"; flock -x 9; exec sleep 300 ) &
HOLDER_PID=$!
for _ in $(seq 50); do flock -n "$folder/scores.lock" true || break; sleep 0.1; done
flock -n "$folder/scores.lock" true && fail "the other program never took the lock"

start_game
defeat_an_enemy
walk_until_game_over over
"$E2E_TOOL" close "$WID"
expect_exit 0
said=$(cat "$WORK/err.txt")
aside=("$folder"/scores.run-*)
[ "$(wc -l <<< "$said")" = 1 ] && grep -q "^nombre: the best scores in $folder/scores are held by another program; this run's score ([0-9]*) is kept in ${aside[0]}\$" <<< "$said" ||
  fail "one line should say where the run went: $said"
grep -qE '^total = [1-9]' "${aside[0]}" || fail "the run's score is not in ${aside[0]}: $(cat "${aside[0]}")"
cmp -s "$folder/scores" "$WORK/table-before" || fail "the held table was written"
echo "busy scores: ok"
sed 's/^/  /' <<< "$said"
