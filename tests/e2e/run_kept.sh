#!/usr/bin/env bash
# A run is kept whatever way it ends: Ctrl+C, SIGTERM and SIGHUP end the game
# as closing its window does (the run's score joins the table, the run is kept
# and replays to its end); a game killed outright on its game-over screen has
# kept both already; and a recording into a device that takes nothing says so
# in one line while play goes on.
source "$(dirname "$0")/lib.bash"
# The game's clock runs four times as fast, so each game ends in seconds.
GAME_SPEED=4
last="$XDG_DATA_HOME/nombre/last-run.nrep"

runs_in_table() { "$GAME_BIN" --scores | grep -cE '^ +[0-9]+\. +[0-9]+ +level [0-9]+' || true; }

table=0
for signal in INT TERM HUP; do
  rm -f "$last" "$WORK/run.nrep"
  if [ "$signal" = TERM ]; then start_game --record "$WORK/run.nrep"; else start_game; fi
  defeat_an_enemy
  kill -"$signal" "$GAME_PID"
  expect_exit 0
  [ -s "$WORK/err.txt" ] && fail "SIG$signal: the game complained: $(cat "$WORK/err.txt")"
  table=$((table + 1))
  [ "$(runs_in_table)" = "$table" ] || fail "SIG$signal: the table holds $(runs_in_table) runs, not $table"
  if [ "$signal" = TERM ]; then replays_to_end "$WORK/run.nrep" "SIG$signal"; else replays_to_end "$last" "SIG$signal"; fi
  echo "SIG$signal: the score and the run are kept"
done

# Killed outright on the game-over screen: the run ended there, and was kept then.
rm -f "$last"
start_game
defeat_an_enemy
walk_until_game_over over
sleep 0.2
kill -KILL "$GAME_PID"
wait "$GAME_PID" 2>/dev/null || true
GAME_PID=""
table=$((table + 1))
[ "$(runs_in_table)" = "$table" ] || fail "game over: the table holds $(runs_in_table) runs, not $table"
replays_to_end "$last" "killed at game over"
echo "game over: the score and the run were kept before the kill"

# Nothing can be written: one line says so, and the game plays on to its usual end.
start_game --record /dev/full
press x 0.3
"$E2E_TOOL" close "$WID"
expect_exit 0
[ "$(grep -c "cannot record into /dev/full (No space left on device): none of the run is recorded" "$WORK/err.txt")" = 1 ] ||
  fail "no one line about the recording lost: $(cat "$WORK/err.txt")"
# A full disk (root only: a small tmpfs, all but one page taken): the
# recording stops with one line at its last whole record, which replays.
if [ "$(id -u)" = 0 ] && mkdir "$WORK/full" && mount -t tmpfs -o size=64k tmpfs "$WORK/full"; then
  trap 'umount "$WORK/full"; stop_game' EXIT
  dd if=/dev/zero of="$WORK/full/filler" bs=1k count=60 2> /dev/null
  # Pausing and resuming writes lines fast, and the hero comes to no harm meanwhile.
  GAME_SPEED='' start_game --record "$WORK/full/run.nrep"
  for _ in $(seq 300); do
    grep -q "cannot record" "$WORK/err.txt" && break
    press Escape 0.05
  done
  kill -TERM "$GAME_PID"
  expect_exit 0
  [ "$(grep -c "cannot record into $WORK/full/run.nrep (No space left on device): the file keeps the run up to tick" \
    "$WORK/err.txt")" = 1 ] || fail "full disk: no one line about the recording lost: $(cat "$WORK/err.txt")"
  replays_to_end "$WORK/full/run.nrep" "full disk"
  echo "full disk: the recording keeps a whole run"
fi
echo "run kept: ok"
