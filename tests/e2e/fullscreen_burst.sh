#!/usr/bin/env bash
# Full screen toggled in a fast burst under a window manager: back in a
# window, the window has its own size again, not the screen's. It needs a
# screen larger than the window and a window manager, so it brings its own.
if [ -z "${NOMBRE_BURST_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" env NOMBRE_BURST_DISPLAY=1 bash "$0" "$@"
fi
source "$(dirname "$0")/lib.bash"
openbox --sm-disable > "$WORK/wm.txt" 2>&1 &
WM_PID=$!
trap 'stop_game; kill "$WM_PID" 2>/dev/null; wait "$WM_PID" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' ||
  fail "the window manager did not start on $DISPLAY: $(cat "$WORK/wm.txt")"
start_game

size() { xdotool getwindowgeometry "$WID" | sed -n 's/.*Geometry: //p'; }
full_screen() { xprop -id "$WID" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN; }
# Waits up to 5 s for the window to be back in a window of its own size.
wait_for_window() {
  for _ in $(seq 50); do
    ! full_screen && [ "$(size)" = 800x600 ] && return 0
    sleep 0.1
  done
  return 1
}
# Waits up to 10 s for the manager to be done: the same state for 1 s.
settle() {
  local last="" now same=0
  for _ in $(seq 50); do
    now="$(size) $(xprop -id "$WID" _NET_WM_STATE)"
    if [ "$now" = "$last" ]; then same=$((same + 1)); else same=0; fi
    [ "$same" -ge 5 ] && return 0
    last=$now
    sleep 0.2
  done
}
# Presses may be lost while the manager changes the window, so a burst ends
# either way; from full screen one more press, slowly, goes back.
for round in 1 2 3 4 5; do
  xdotool key --delay 0 F11 F11 F11 F11 F11 F11 F11 F11 F11
  settle
  full_screen && xdotool key F11
  wait_for_window || fail "after burst $round the window is $(size) (full screen: $(full_screen && echo yes || echo no)), not 800x600"
done
"$E2E_TOOL" close "$WID"
expect_exit 0
echo "fullscreen burst: ok"
