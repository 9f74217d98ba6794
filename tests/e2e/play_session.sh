#!/usr/bin/env bash
# A short session as a player would have it: the play screen, walking with the
# stage scrolling, a punch and a kick heard over the music, a crouch, the
# pause menu continued, then left through SALIR with exit code 0.
source "$(dirname "$0")/lib.bash"
start_game
shot start
is_grey start 400 100 && fail "no stage in the upper three quarters"
is_grey start 400 520 || fail "the band below the stage is not the grey clear colour"
is_grey start 180 525 && fail "no heart at the bottom left"

# The nearest enemies rush the hero within a second and block his way:
# punch them down first, then walk. How many punches that takes depends on
# how many ticks a loaded machine lets the game run in the time held, so
# the punching and walking go on until the stage scrolls (for 15 s at most).
scrolled=""
for _ in $(seq 10); do
  press z 0.9
  shot cleared
  press Right 0.4
  shot walked
  same_region cleared walked 0 200 800 1 || { scrolled=yes; break; }
done
[ -n "$scrolled" ] || fail "the stage did not scroll"

press z 0.15; sleep 0.5
press x 0.15; sleep 0.5
press Down 0.3
shot crouched

press Escape; sleep 0.3
expect_menu menu "the menu does not cover the window"
press Return; sleep 0.3
expect_play back "Enter on CONTINUAR did not go back to play"

leave_through_menu

music=$(music_level) || fail "no sound was recorded"
loudest=$(peak 0.0 60) || fail "no sound was recorded"
awk -v m="$music" -v l="$loudest" 'BEGIN { exit !(m > 0.01 && l > m * 1.5) }' ||
  fail "sound: music level $music, loudest $loudest (the blows should stand out over the music)"
# Mixed with headroom: no sample of play comes within 1 dB of full scale.
awk -v l="$loudest" 'BEGIN { exit !(l < 0.891) }' || fail "sound: the loudest sample, $loudest, is within 1 dB of full scale"
echo "play session: ok (music level $music, blows peak $loudest)"
