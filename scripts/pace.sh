#!/usr/bin/env bash
# The game's pace as a player meets it, measured from outside on the real
# game under Xvfb: how many ticks a recorded run holds for each second of
# wall time, how high a tapped jump goes, how fast the hero walks (and so how
# long the stage takes to walk), and how soon the opening crowd lands its
# first blow on a hero who stands still. Two short games; run it by hand.
# Usage: scripts/pace.sh [GAME_BINARY]   (default build/nombre; E2E_TOOL as for the tests)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

now_ms() { date +%s%3N; }
# A screenshot taken quickly (xwd alone), turned into a PNG later by png.
grab() { xwd -id "$WID" -silent > "$WORK/$1.xwd"; }
png() { /usr/bin/convert "xwd:$WORK/$1.xwd" "png:$WORK/$1.png"; }

# Each pixel of a part (WIDTHxHEIGHT+X+Y) of a screenshot as "x y r g b", x and y within the part.
pixels() {
  /usr/bin/convert "$WORK/$1.png" -crop "$2" +repage -depth 8 txt:- |
    awk -F'[,:() ]+' 'NR > 1 { print $1, $2, $3, $4, $5 }'
}

# The lowest row (y in the window) of the hero's white: his feet.
hero_feet() {
  pixels "$1" 60x300+370+140 | awk '
    { lo = $3 < $4 ? $3 : $4; lo = lo < $5 ? lo : $5; hi = $3 > $4 ? $3 : $4; hi = hi > $5 ? hi : $5
      if (lo > 185 && hi - lo < 45) white[$2]++ }
    END { feet = -1; for (y in white) if (white[y] >= 2 && y + 0 > feet) feet = y + 0; print feet + 140 }'
}

# How far (px) the stage picture moved left from one screenshot to the next,
# compared along rows above the fighters' heads.
stage_shift() {
  { pixels "$1" 800x80+0+160 | sed 's/^/a /'; pixels "$2" 800x80+0+160 | sed 's/^/b /'; } | awk '
    $3 % 8 == 0 { v[$1, $2, $3] = ($4 + $5 + $6) / 3 }
    END { best = -1
          for (d = 0; d <= 300; ++d) { s = 0; n = 0
            for (y = 0; y < 80; y += 8) for (x = 0; x + d < 800; x += 2) { e = v["a", x + d, y] - v["b", x, y]; s += e < 0 ? -e : e; n++ }
            if (best < 0 || s / n < best) { best = s / n; at = d } }
          print at }'
}

case "${1:-}" in
--walk)
  # Walks right from the start, recorded: ticks against wall time, and the speed.
  source "$here/../tests/e2e/lib.bash" "$2"
  start_game --record "$WORK/run.nrep"
  sleep 0.5
  pressed=$(now_ms); xdotool keydown Right
  sleep 0.2
  a0=$(now_ms); grab walk1; a1=$(now_ms)
  sleep 0.8
  b0=$(now_ms); grab walk2; b1=$(now_ms)
  sleep 3
  xdotool keyup Right; released=$(now_ms)
  sleep 1
  leave_through_menu
  ticks=$(awk '$2 == "press" && $3 == "right" && !p { p = $1 } $2 == "release" && $3 == "right" && !r { r = $1 } END { print r - p }' "$WORK/run.nrep")
  wall=$((released - pressed))
  png walk1; png walk2
  shift_px=$(stage_shift walk1 walk2)
  shot_ms=$(( (b0 + b1) / 2 - (a0 + a1) / 2 ))
  awk -v t="$ticks" -v w="$wall" -v d="$shift_px" -v s="$shot_ms" 'BEGIN {
    printf "recorded: %d ticks over %d ms of Right held: %.1f ticks a second\n", t, w, t * 1000 / w
    printf "walk: the stage moved %d px in %d ms: %.0f px/s; the stage (5.95 units of 400 px) in %.1f s\n",
      d, s, d * 1000 / s, 5.95 * 400 / (d * 1000 / s) }'
  exit 0
  ;;
--stand)
  # Stands still: a tapped jump, then the opening crowd's first blow.
  source "$here/../tests/e2e/lib.bash" "$2"
  start_game
  "$E2E_TOOL" first-blow "$WID" 30 > "$WORK/blow.txt" &
  watcher=$!
  sleep 0.3
  shot standing
  ground=$(hero_feet standing)
  # Screenshots one after another from just before the tap, which may take
  # a while to reach the game on a busy machine.
  start=$(now_ms)
  (
    for i in $(seq 12); do
      grab "jump$i"
      echo "$i $(($(now_ms) - start))" >> "$WORK/jump_times.txt"
    done
  ) &
  grabber=$!
  sleep 0.05
  tapped=$(($(now_ms) - start))
  xdotool keydown Up; sleep 0.06; xdotool keyup Up
  wait "$grabber"
  heights=""
  while read -r i ms; do
    png "jump$i"
    heights="$heights ${ms}ms:$((ground - $(hero_feet "jump$i")))px"
  done < "$WORK/jump_times.txt"
  echo "jump (Up tapped 60 ms at ${tapped} ms; the feet above the ground in screenshots taken at):$heights"
  wait "$watcher" || true
  echo "opening crowd, standing still from the first frame: $(cat "$WORK/blow.txt")"
  stop_game
  exit 0
  ;;
esac

game=$(realpath "${1:-$here/../build/nombre}")
export E2E_TOOL=${E2E_TOOL:-$(dirname "$game")/tests/e2e_tool}
xvfb-run -a -s "-screen 0 800x600x24 -ardelay 2000" bash "$here/pace.sh" --walk "$game"
xvfb-run -a -s "-screen 0 800x600x24 -ardelay 2000" bash "$here/pace.sh" --stand "$game"
