#!/usr/bin/env bash
# How far each way of fighting gets. Games are played on the real game from
# what its window shows, with the keys, by a player who fights only with low
# kicks (crouch), only with standing kicks (kick), or with punches, kicks,
# flying kicks and low kicks as the moment suggests (mixed); each game on its
# own X server, two at a time, until game over or the time is up. Prints every
# game, then per style the mean level reached and the games that cleared
# stage 1. It takes many minutes: run it by hand, not from ./test.sh.
# Usage: scripts/balance.sh [GAME_BINARY [GAMES [SECONDS [STYLE...]]]]
#   defaults: build/nombre, 6 games a style, 150 s a game, crouch kick mixed.
#   E2E_TOOL names the player (default: the one built beside the game).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = --game ]; then
  # One game, already under its own X server: --game GAME STYLE SECONDS SEED.
  style=$3 seconds=$4 seed=$5
  source "$here/../tests/e2e/lib.bash" "$2"
  start_game
  "$E2E_TOOL" play "$WID" "$seconds" "$style" "$seed" > "$WORK/play.txt"
  echo "$style $seed $(tail -1 "$WORK/play.txt") kills $(grep -c Kill "$WORK/out.txt" || true)"
  exit 0
fi

game=$(realpath "${1:-$here/../build/nombre}")
games=${2:-6}
seconds=${3:-150}
shift $(($# < 3 ? $# : 3))
styles=(crouch kick mixed)
[ $# -gt 0 ] && styles=("$@")
export E2E_TOOL=${E2E_TOOL:-$(dirname "$game")/tests/e2e_tool}
[ -x "$game" ] && [ -x "$E2E_TOOL" ] || { echo "no game or player: $game $E2E_TOOL"; exit 1; }

results=$(mktemp)
trap 'rm -f "$results"' EXIT
running=0
for ((n = 1; n <= games; ++n)); do
  for style in "${styles[@]}"; do
    if [ "$running" -ge 2 ]; then wait -n || true; running=$((running - 1)); fi
    seed=$((RANDOM * 32768 + RANDOM))
    (xvfb-run -a -s "-screen 0 800x600x24 -ardelay 2000" \
      bash "$here/balance.sh" --game "$game" "$style" "$seconds" "$seed" | tee -a "$results") &
    running=$((running + 1))
    # Two servers started at once may pick the same display.
    sleep 3
  done
done
wait

echo
printf '%-8s %10s %16s %6s\n' style "mean level" "stage 1 cleared" games
for style in "${styles[@]}"; do
  awk -v style="$style" '$1 == style && $3 == "level" { n++; levels += $4; if ($6 > 0) cleared++ }
    END { printf "%-8s %10.2f %13d/%-2d %6d\n", style, n ? levels / n : 0, cleared, n, n }' "$results"
done
