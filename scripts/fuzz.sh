#!/usr/bin/env bash
# Builds the fuzz targets of the picture and sound loaders with clang's
# libFuzzer (plus AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# each for the given seconds (default 20), starting from the game's own files.
# The short run in test.sh uses a fixed seed, so it checks the same inputs
# every time; a run by hand takes a second argument, or 0 for a random seed.
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
clang++ "${flags[@]}" tests/fuzz/image_fuzz.cpp render/image.cpp render/stb_impl.cpp \
  -o "$out/image_fuzz" $(pkg-config --libs glew) -lGL
clang++ "${flags[@]}" tests/fuzz/sound_fuzz.cpp audio/sound_file.cpp -o "$out/sound_fuzz" $(pkg-config --libs sndfile)

run_dir=build/run
for target in image sound; do
  corpus="$out/corpus-$target"
  mkdir -p "$corpus"
  if [ "$target" = image ]; then
    for f in corazon hp_bar prueba digitos; do [ -f "$run_dir/img/$f.png" ] && cp "$run_dir/img/$f.png" "$corpus/"; done
  else
    [ -f "$run_dir/sound/punch.wav" ] && cp "$run_dir/sound/punch.wav" "$corpus/"
  fi
  echo "fuzzing the $target loader for ${seconds}s"
  "$out/${target}_fuzz" -seed="$seed" -artifact_prefix="$out/" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$corpus" 2>&1 | grep -E "^(#|stat::number_of_executed_units|stat::peak_rss|==|SUMMARY|Done)|runtime error|Test unit written" | tail -6
done
echo "fuzz: no crash found"
