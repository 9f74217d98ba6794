#!/usr/bin/env bash
# The player's settings file is obeyed: with the kick on "a" and the music and
# the effects at 0, "a" kicks, x no longer does, and the recording is silent
# (with the effects on, the tails of the blows would hide whether the music
# plays); F11 is remembered apart, in the state folder, and the settings file
# stays as the player wrote it, comments and all. A broken file gives one
# line on stderr and the game plays with the defaults.
source "$(dirname "$0")/lib.bash"
settings=$XDG_CONFIG_HOME/nombre/settings.toml
mkdir -p "$(dirname "$settings")"
printf '# mine\nmusic_volume = 0\neffects_volume = 0\nmusik_volume = 3\n\n[keys]\nkick = "a"\n' > "$settings"
cp "$settings" "$WORK/as-written.toml"

start_game
# x held among the enemies defeats none; "a" held, the kick now, does.
xdotool keydown x; sleep 3; xdotool keyup x
[ "$(grep -c Kill "$WORK/out.txt")" = 0 ] || fail "x, no longer the kick, still defeats enemies"
xdotool keydown a
wait_for_line Kill 20 || { xdotool keyup a; fail "a, the kick now, defeats no enemy"; }
xdotool keyup a

press F11; sleep 0.5
"$E2E_TOOL" close "$WID"
expect_exit 0
[ "$(cat "$WORK/err.txt")" = "nombre: $settings:4: no setting is called musik_volume" ] ||
  fail "the game should name only the misspelt key: $(cat "$WORK/err.txt")"
music=$(peak 0 600) || fail "no sound was recorded"
awk -v m="$music" 'BEGIN { exit !(m < 0.001) }' || fail "the game is heard at level $music with its volumes at 0"
cmp -s "$settings" "$WORK/as-written.toml" || fail "the game rewrote the settings file: $(cat "$settings")"
grep -qx 'full_screen = true' "$XDG_STATE_HOME/nombre/state.toml" || fail "F11 was not remembered"
config=$("$GAME_BIN" --config 2>/dev/null)
grep -qx 'full_screen = true' <<< "$config" || fail "full screen, remembered, is not in force: $config"
grep -q '^kick = "a"' <<< "$config" && grep -q '^music_volume = 0' <<< "$config" &&
  grep -q '^effects_volume = 0' <<< "$config" ||
  fail "the settings in force lost the file's entries: $config"

# Not TOML at all: one line naming the file and its line, then play. In a
# window: full screen, remembered from F11 above, would want a window manager
# Xvfb does not have, and GLFW would say so on stderr when the focus moves.
rm -f "$XDG_STATE_HOME/nombre/state.toml"
printf 'music_volume = 40\n[keys\n' > "$settings"
start_game
press Right 0.3
leave_through_menu
[ "$(wc -l < "$WORK/err.txt")" = 1 ] && grep -q "^nombre: $settings:2: " "$WORK/err.txt" ||
  fail "a broken settings file should give one line naming it and its line: $(cat "$WORK/err.txt")"
echo "settings: ok (loudest sample $music with the volumes at 0)"
