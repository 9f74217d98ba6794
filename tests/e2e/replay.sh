#!/usr/bin/env bash
# A run played by hand is recorded, checked and watched again: --check says it
# ends as it did and catches a copy with one input a tick later, and --replay
# plays it to the same end in the window, SALIR included.
source "$(dirname "$0")/lib.bash"
export XDG_DATA_HOME="$WORK/data"

start_game --record "$WORK/run.nrep"
# About six seconds of walking and fighting, with a pause in the middle.
press Right 0.2
press x 0.8
press Escape; sleep 0.3; press Escape
press z 0.4
press Right 0.5
press x 1.0
press Left 0.2
press z 0.5
press Right 0.4
press x 0.8
leave_through_menu
tail -1 "$WORK/run.nrep" | grep -q '^end ' || fail "the recorded run has no end line"
[ -f "$WORK/data/nombre/last-run.nrep" ] && fail "a recorded run was also kept as the last run"

status=0
(cd "$WORK" && "$GAME_BIN" --replay run.nrep --check > check.txt 2>&1) || status=$?
[ "$status" = 0 ] || { cat "$WORK/check.txt"; fail "--check of the recorded run: exit $status"; }
grep -q "ends as the run did" "$WORK/check.txt" || fail "--check did not say the run ends as recorded"

# One input a tick later is another run. Which input changes the end state
# depends on what the hand played (a step into an enemy is no step at all),
# so the key events are moved one at a time, each where no other event
# follows within a tick, until the check finds a difference.
caught=""
lines=$(wc -l < "$WORK/run.nrep")
for n in $(seq 2 $((lines - 1))); do
  awk -v n="$n" 'NR == n { tick = $1; kind = $2 } NR == n + 1 { next_tick = $1 }
                 END { exit !(kind ~ /^(press|release)$/ && next_tick != "end" && next_tick > tick + 1) }' \
    "$WORK/run.nrep" || continue
  awk -v n="$n" 'NR == n { $1 = $1 + 1 } { print }' "$WORK/run.nrep" > "$WORK/moved.nrep"
  status=0
  (cd "$WORK" && "$GAME_BIN" --replay moved.nrep --check > moved.txt 2>&1) || status=$?
  case "$status" in
    0) ;;
    1) caught=$(sed -n "${n}p" "$WORK/run.nrep"); break ;;
    *) cat "$WORK/moved.txt"; fail "--check of a run with line $n moved: exit $status" ;;
  esac
done
[ -n "$caught" ] || { cat "$WORK/run.nrep"; fail "no input moved by a tick made --check fail"; }
echo "moved a tick later, \"$caught\" makes another run"

head -c 100 "$WORK/run.nrep" > "$WORK/cut.nrep"
status=0
(cd "$WORK" && "$GAME_BIN" --replay cut.nrep --check > cut.txt 2>&1) || status=$?
[ "$status" = 2 ] || fail "--check of a cut run: exit $status, expected 2"

# Watched in the window at its own pace: it ends as recorded, and its SALIR closes it.
start_game --replay "$WORK/run.nrep"
wait_for_line "reached the end of the run" 20 || fail "the replay did not reach the end of the run"
grep -q "it ends as the run did" "$WORK/out.txt" || fail "the watched replay differs from the run"
expect_exit 0
# With no file named, the run is kept as the player's last run once complete.
start_game
press Right 0.3
press x 0.5
leave_through_menu
last="$WORK/data/nombre/last-run.nrep"
[ -f "$last" ] || fail "the last run was not kept in \$XDG_DATA_HOME/nombre"
"$GAME_BIN" --replay "$last" --check > /dev/null 2>&1 || fail "the last run does not replay to its end"
ls -A "$WORK/data/nombre" | grep -q '\.tmp-' && fail "a temporary was left behind: $(ls -A "$WORK/data/nombre")"

# A player whose data folder cannot be written still plays, told so in one line.
touch "$WORK/not-a-folder"
XDG_DATA_HOME="$WORK/not-a-folder" start_game
press x 0.3
leave_through_menu
[ "$(grep -c "the last run is not kept" "$WORK/err.txt")" = 1 ] || fail "no line that the last run is not kept"
echo "replay: ok"
