#!/bin/sh
# Builds the chord / lyric fuzzers with clang, libFuzzer, ASan and UBSan.
# Usage: fuzz/build.sh [outdir]; then e.g. out/fuzz_chord_file -max_total_time=60 corpus/
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out=${1:-$root/build-fuzz}
mkdir -p "$out"
srcs="$root/src/chords/chord_name.cpp $root/src/chords/chord_settings.cpp
      $root/src/chords/chord_sheet.cpp $root/src/chords/chordpro.cpp
      $root/src/chords/sheet_bars.cpp $root/src/lyrics/lrc.cpp $root/src/lyrics/cvl_cache.cpp
      $root/src/core/state.cpp"
for t in CHORD_NAME CHORD_FILE CHORDPRO LRC; do
  name=fuzz_$(echo $t | tr 'A-Z' 'a-z')
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -DFUZZ_$t -I"$root/src" -I"$here" "$here/fuzz_chords.cpp" $srcs -lcrypto -o "$out/$name"
  echo "built $out/$name"
done
