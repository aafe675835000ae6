#!/usr/bin/env bash
# Runs each fuzzer for the given number of seconds (default 60) with clang and libFuzzer, starting
# from the saved inputs. Inputs that crash land in tests/fuzz/korpus/<target>/ (keep them once fixed);
# the inputs the run grows stay in a temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
sekundy=${1:-60}
CXX=clang++ CC=clang cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFAKTURA_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_Liczby fuzz_Rekordu fuzz_Podsumowania
for cel in Liczby Rekordu Podsumowania; do
  katalog=$(case $cel in Liczby) echo liczby;; Rekordu) echo rekord;; Podsumowania) echo podsumowanie;; esac)
  roboczy=$(mktemp -d)
  QT_QPA_PLATFORM=offscreen build-fuzz/tests/fuzz_$cel -max_total_time="$sekundy" -max_len=4096 \
    -artifact_prefix="tests/fuzz/korpus/$katalog/" "$roboczy" "tests/fuzz/korpus/$katalog"
  rm -rf "$roboczy"
done
