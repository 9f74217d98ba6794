# Shared by the end-to-end scripts: start the real game from a scratch working
# directory (it finds its pictures and sounds beside itself), drive it with
# xdotool, look at it and listen to it.
# Every wait has a timeout; fixed sleeps only hold keys across frames.
# Usage: source lib.bash GAME_BINARY (E2E_TOOL may name the helper tool).
set -euo pipefail
# A command that fails where no test expected it still ends in a FAIL line.
set -E
trap 'echo "FAIL: $(basename "$0") line $LINENO: \"$BASH_COMMAND\" exited with $?"' ERR
# The tests write the sound through their own OpenAL configuration: a
# variable of the caller's (ALSOFT_DRIVERS=null, say) would override it.
while read -r name; do unset "$name"; done < <(compgen -e | grep '^ALSOFT_' || true)

GAME_BIN=$1
E2E_TOOL=${E2E_TOOL:-$(dirname "$GAME_BIN")/tests/e2e_tool}
WORK=$(mktemp -d /tmp/nombre-e2e-XXXXXX)
# The player's scores and settings stay in the scratch folder, never in the
# home of whoever runs the tests; runs of one script share them.
export XDG_DATA_HOME=$WORK/player/data XDG_CONFIG_HOME=$WORK/player/config XDG_STATE_HOME=$WORK/player/state
# Set GAME_SPEED (e.g. 4) to run the game's clock that many times as fast.
GAME_SPEED=${GAME_SPEED:-}
GAME_PID=""
WID=""
HELPER_PIDS=()
stop_game() {
  for pid in "${HELPER_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ -n "$GAME_PID" ]; then
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
  fi
  # E2E_KEEP=FOLDER keeps the screenshots and the recording, to look at.
  [ -n "${E2E_KEEP:-}" ] && cp "$WORK"/*.png "$WORK"/*.wav "$E2E_KEEP"/ 2>/dev/null
  rm -rf "$WORK"
}
trap stop_game EXIT

fail() { echo "FAIL: $*"; [ -f "$WORK/out.txt" ] && sed 's/^/  game: /' "$WORK/out.txt" | head -20; exit 1; }

# Starts the game, with any options given, its sound written to $WORK/sound.wav.
start_game() {
  printf '[general]\ndrivers = wave\nsample-type = int16\nchannels = mono\nfrequency = 22050\n[wave]\nfile = %s\n' \
    "$WORK/sound.wav" > "$WORK/alsoft.conf"
  (
    cd "$WORK"
    if [ -n "$GAME_SPEED" ]; then
      # Preloaded into the game itself (the faketime command would fork), and
      # after the sanitizers' runtime, which otherwise insists on coming first.
      export LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME="+0 x$GAME_SPEED"
      export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}verify_asan_link_order=0"
    fi
    ALSOFT_CONF="$WORK/alsoft.conf" exec "$GAME_BIN" "$@" > "$WORK/out.txt" 2> "$WORK/err.txt"
  ) &
  GAME_PID=$!
  # This game's own window: another one may still be closing on the same display.
  WID=$(timeout 20 xdotool search --sync --onlyvisible --pid "$GAME_PID" --name '^nombre$' | head -1) ||
    fail "no window"
  xdotool windowfocus --sync "$WID"
  xdotool mousemove --window "$WID" 400 300
  # The window shows before its first frame: wait for the grey below the stage.
  for _ in $(seq 200); do
    shot first
    is_grey first 400 520 && return 0
    sleep 0.1
  done
  fail "no frame was drawn"
}

press() { xdotool keydown "$1"; sleep "${2:-0.1}"; xdotool keyup "$1"; }

shot() { xwd -id "$WID" -silent | /usr/bin/convert xwd:- "png:$WORK/$1.png"; }

# "R G B" of a pixel of a screenshot.
pixel() {
  /usr/bin/convert "$WORK/$1.png" -crop "1x1+$2+$3" -depth 8 txt:- | tail -1 |
    sed -E 's/.*\(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3/'
}

is_grey() { [ "$(pixel "$1" "$2" "$3")" = "51 51 51" ]; }

# Whether a region (x y width height) is the same in two screenshots.
same_region() {
  local a b
  a=$(/usr/bin/convert "$WORK/$1.png" -crop "$5x$6+$3+$4" -depth 8 rgb:- | md5sum)
  b=$(/usr/bin/convert "$WORK/$2.png" -crop "$5x$6+$3+$4" -depth 8 rgb:- | md5sum)
  [ "$a" = "$b" ]
}

# A screenshot named $1 shows the pause menu (it covers the grey band below
# the stage) or play; else the test fails with $2.
expect_menu() { shot "$1"; is_grey "$1" 400 520 && fail "$2"; return 0; }
expect_play() { shot "$1"; is_grey "$1" 400 520 || fail "$2"; }

# Leaves through the menu's SALIR, which ends the game with exit code 0.
leave_through_menu() {
  press Escape; sleep 0.2
  press Up; sleep 0.2
  press Return
  expect_exit 0
}

# Whether a region of a screenshot is all one colour.
is_plain() {
  [ "$(/usr/bin/convert "$WORK/$1.png" -crop "$4x$5+$2+$3" -format '%[fx:standard_deviation]' info:)" = 0 ]
}

# Waits up to $2 seconds for the game's console to hold $1 lines matching... a count of "Kill" etc.
wait_for_line() {
  local pattern=$1 seconds=$2
  for _ in $(seq $((seconds * 10))); do
    grep -q "$pattern" "$WORK/out.txt" && return 0
    sleep 0.1
  done
  return 1
}

# Waits for the game to end and checks its exit code.
expect_exit() {
  local code=$1 status=0
  for _ in $(seq 100); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
  wait "$GAME_PID" || status=$?
  GAME_PID=""
  [ "$status" = "$code" ] || fail "exit code $status, expected $code"
}

# The run in $1 is whole and replays to its recorded end; else the test fails, saying $2.
replays_to_end() {
  [ -f "$1" ] || fail "$2: the run was not kept"
  tail -1 "$1" | grep -q '^end ' || fail "$2: the kept run has no end line"
  "$GAME_BIN" --replay "$1" --check > "$WORK/check.txt" 2>&1 ||
    { cat "$WORK/check.txt"; fail "$2: the kept run does not replay to its end"; }
}

# Another program takes the lock of the best scores in folder $1 and keeps
# it until the script ends; returns once it holds it.
hold_scores_lock() {
  ( exec 9>"$1/scores.lock"; flock -x 9; exec sleep 300 ) &
  HELPER_PIDS+=($!)
  for _ in $(seq 50); do flock -n "$1/scores.lock" true || break; sleep 0.1; done
  flock -n "$1/scores.lock" true && fail "the other program never took the lock"
  return 0
}

# The best scores in folder $1 were kept from the game ($2 says why, e.g.
# "are read-only"): one line says so and where the run went instead, the
# run's score is in that file, and the table is as it was in
# $WORK/table-before. The file is then removed.
expect_run_aside() {
  local folder=$1 said aside
  said=$(cat "$WORK/err.txt")
  aside=("$folder"/scores.run-*)
  [ -f "${aside[0]}" ] || fail "the run was not kept beside the table: $said"
  [ "$(wc -l <<< "$said")" = 1 ] &&
    grep -q "^nombre: the best scores in $folder/scores $2; this run's score ([0-9]*) is kept in $aside\$" <<< "$said" ||
    fail "one line should say where the run went: $said"
  grep -qE '^total = [1-9]' "$aside" || fail "the run's score is not in $aside: $(cat "$aside")"
  cmp -s "$folder/scores" "$WORK/table-before" || fail "the table was written"
  rm -f "$folder"/scores.run-*
}

peak() { "$E2E_TOOL" peak "$WORK/sound.wav" "$1" "$2"; }
# Seconds of sound recorded so far (22050 Hz, 16-bit mono, after a 44-byte header).
sound_seconds() { awk -v b="$(stat -c %s "$WORK/sound.wav")" 'BEGIN { printf "%.3f\n", (b - 44) / 44100 }'; }
# The level of the music, which plays throughout, beside the short blows.
music_level() { "$E2E_TOOL" typical "$WORK/sound.wav"; }

# Kicks, one kick at a time, until an enemy is defeated, so that the run has
# a score. One kick may defeat a whole pile of enemies standing on one spot,
# so how much the run scores is left to chance: no test counts on it.
defeat_an_enemy() {
  xdotool keydown Right; sleep 0.1; xdotool keyup Right
  for _ in $(seq 400); do
    grep -q Kill "$WORK/out.txt" && return 0
    press x 0.05; sleep 0.1
  done
  fail "no enemy was defeated"
}

# Walks into the enemies, Right held, until the last heart is gone; the
# game-over screen is shot as $1.
walk_until_game_over() {
  xdotool keydown Right
  for _ in $(seq 300); do
    shot "$1"
    is_grey "$1" 400 520 || break
    sleep 0.2
  done
  xdotool keyup Right
  is_grey "$1" 400 520 && fail "the game never ended"
  sleep 0.3
  shot "$1"
}
