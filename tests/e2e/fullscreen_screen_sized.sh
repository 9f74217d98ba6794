#!/usr/bin/env bash
# A window as big as the screen (800x600 on an 800x600 screen, or what a
# tiling window manager makes of it) goes full screen and back like any
# other: F11 twice is a window again, and the game remembers it is one. A
# game that starts full screen, remembered so, leaves it with one F11.
source "$(dirname "$0")/lib.bash"
state=$XDG_STATE_HOME/nombre/state.toml

# Waits up to 5 s for the state file to say full_screen = $1.
wait_remembered() {
  for _ in $(seq 50); do
    grep -qx "full_screen = $1" "$state" 2> /dev/null && return 0
    sleep 0.1
  done
  return 1
}
no_complaint() { [ -s "$WORK/err.txt" ] && fail "$1: the game complained: $(cat "$WORK/err.txt")"; return 0; }

start_game
xdotool key F11
wait_remembered true || fail "F11 did not go full screen"
xdotool key F11
wait_remembered false || fail "the second F11 left the game full screen"
no_complaint "F11 twice"
"$E2E_TOOL" close "$WID"
expect_exit 0
echo "F11 twice: a window again, remembered"

mkdir -p "$(dirname "$state")"
printf 'full_screen = true\n' > "$state"
start_game
xdotool key F11
wait_remembered false || fail "F11 did not leave the full screen the game started in"
# (Without a window manager GLFW may say a full-screen window that loses the
# focus cannot be minimised; that is not this case.)
grep -q "Invalid window size" "$WORK/err.txt" && fail "no size to go back to: $(cat "$WORK/err.txt")"
"$E2E_TOOL" close "$WID"
expect_exit 0
echo "started full screen: one F11 is a window again"
echo "full screen on a screen-sized window: ok"
