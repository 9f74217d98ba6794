#!/usr/bin/env bash
# Builds the fuzz targets of the picture and sound loaders and of the run reader with clang's
# libFuzzer (plus AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# each for the given seconds (default 20). Each run starts from fresh seed
# files: every kind of PNG and of sound file (tests/fuzz/seeds.cpp writes
# them), and the game's own pictures and sounds when build/run has them.
# The short run in test.sh uses a fixed seed, so it checks the same inputs
# every time; a run by hand takes a second argument, or 0 for a random seed.
# Each run prints the seed it used and the coverage it reached.
#   scripts/fuzz.sh 600 0    # a longer run by hand
# A crash is saved as build-fuzz/crash-* and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
seed=${2:-1}
out=build-fuzz
mkdir -p "$out"
# The PNG decoder copies zero bytes from a zero-length chunk into a buffer not
# yet allocated: memcpy(NULL, p, 0), harmless, so that one check is off.
flags=(-std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
  -fno-sanitize=nonnull-attribute -I. -isystem /usr/include/stb)
clang++ "${flags[@]}" tests/fuzz/image_fuzz.cpp render/image.cpp render/stb_impl.cpp base/files.cpp \
  -o "$out/image_fuzz" $(pkg-config --libs glew) -lGL
clang++ "${flags[@]}" tests/fuzz/sound_fuzz.cpp audio/sound_file.cpp audio/sound_open.cpp base/files.cpp \
  -o "$out/sound_fuzz" $(pkg-config --libs sndfile)
clang++ "${flags[@]}" -DNOMBRE_VERSION='"fuzz"' tests/fuzz/run_fuzz.cpp runs/run_file.cpp base/console.cpp -o "$out/run_fuzz"
clang++ -std=c++17 -O1 -I. tests/fuzz/make_seeds.cpp tests/fuzz/seeds.cpp -o "$out/make_seeds" \
  $(pkg-config --libs sndfile)

rm -rf "$out/seeds-image" "$out/seeds-sound" "$out/seeds-run"
mkdir -p "$out/seeds-image" "$out/seeds-sound" "$out/seeds-run"
# Run files: every kind of line.
printf 'nombre-replay 1 game 1.0.0 level 1 clock 412\n0 press right\n3 repeat right\n7 release right\n9 press z\n9 pause -\n9 press escape\n9 resume -\n12 drop 84\n1000 hash 3f2a9c0d11e4b5a7\n1000 press key65\nend 1203 9f3ac2d06b1e8e40\n' \
  > "$out/seeds-run/run.nrep"
printf 'nombre-replay 1 game 1.0.0 level 12 clock 0\nend 0 0000000000000000\n' > "$out/seeds-run/empty-run.nrep"
printf 'nombre-replay 3 game 1.0.0 level 2 clock 5000 tick 50/3\n0 press x\n180 hash 3f2a9c0d11e4b5a7\n200 drop 140\nend 240 9f3ac2d06b1e8e40\n' \
  > "$out/seeds-run/paced-run.nrep"
"$out/make_seeds" "$out/seeds-image" "$out/seeds-sound"
run_dir=build/run
for f in corazon hp_bar prueba digitos; do
  [ -f "$run_dir/img/$f.png" ] && cp "$run_dir/img/$f.png" "$out/seeds-image/game-$f.png"
done
for f in punch kick; do
  [ -f "$run_dir/sound/$f.wav" ] && cp "$run_dir/sound/$f.wav" "$out/seeds-sound/game-$f.wav"
done

for target in image sound run; do
  # New inputs go to the corpus folder, emptied first so a run repeats with its seed.
  corpus="$out/corpus-$target"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  log="$out/$target.log"
  echo "fuzzing the $target loader for ${seconds}s from $(ls "$out/seeds-$target" | wc -l) seed files"
  status=0
  LSAN_OPTIONS=suppressions=tests/fuzz/lsan.supp "$out/${target}_fuzz" -seed="$seed" -artifact_prefix="$out/" \
    -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    "$corpus" "$out/seeds-$target" > "$log" 2>&1 &
  pid=$!
  wait "$pid" || status=$?
  grep -E "^INFO: Seed:|^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::(number_of_executed_units|peak_rss)" "$log" || true
  grep -E "^==|^SUMMARY|runtime error|Test unit written" "$log" | tail -6 || true
  # A clean end removes the target's scratch file; a crash or a timeout cannot.
  leftovers=$(ls /dev/shm/nombre-fuzz-"$pid".* 2>/dev/null || true)
  rm -f /dev/shm/nombre-fuzz-"$pid".*
  if [ "$status" -ne 0 ]; then
    echo "fuzz: the $target loader failed (exit $status); see $log"
    exit 1
  fi
  if [ -n "$leftovers" ]; then
    echo "fuzz: the $target target left its scratch file behind: $leftovers"
    exit 1
  fi
done
echo "fuzz: no crash found"
