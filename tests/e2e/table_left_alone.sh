#!/usr/bin/env bash
# A table of best scores the game must not write is left as it is, and the
# run is kept in a file beside it with one line saying where: a table the
# player made read-only, and one another program holds while the game is
# ended by two signals in a row (the second comes while the game waits for
# the table; the recording, finished before that wait, is whole).
source "$(dirname "$0")/lib.bash"

folder=$XDG_DATA_HOME/nombre
mkdir -p "$folder"
printf '[[run]]\ntotal = 5\nlevel = 1\ndate = 2026-01-01T10:00:00\n' > "$folder/scores"
cp "$folder/scores" "$WORK/table-before"

# Read-only: the mode says so (root could write it all the same).
chmod 444 "$folder/scores"
inode=$(stat -c %i "$folder/scores")
start_game
defeat_an_enemy
"$E2E_TOOL" close "$WID"
expect_exit 0
expect_run_aside "$folder" "are read-only"
[ "$(stat -c '%a %i' "$folder/scores")" = "444 $inode" ] || fail "the read-only table was replaced"
echo "read-only table: left as it is, the run kept beside it"
chmod 644 "$folder/scores"

# Held by another program, and a second SIGTERM while the game waits for it:
# the game ends as a second signal ends it, with the run kept.
hold_scores_lock "$folder"
# The wait lasts a fifth of a second: a machine too busy to send the second
# signal within it has not tried the case, and it is tried again.
for try in 1 2 3; do
  rm -f "$WORK/run.nrep"
  start_game --record "$WORK/run.nrep"
  defeat_an_enemy
  kill -TERM "$GAME_PID"
  if "$E2E_TOOL" signal-while-open "$GAME_PID" "$folder/scores.lock" 15 10; then
    expect_exit 143
    expect_run_aside "$folder" "are held by another program"
    replays_to_end "$WORK/run.nrep" "two signals"
    echo "two signals while the table is held: the run and its recording are kept"
    echo "table left alone: ok"
    exit 0
  fi
  echo "try $try: the game ended before the second signal was sent"
  expect_exit 0
  rm -f "$folder"/scores.run-*
done
fail "the second signal never came while the game waited for the table"
