#!/usr/bin/env bash
# Printing one invoice page to a PDF file: the whole process (start, print, end; median of 5 after a
# warm-up) and in-process (Google Benchmark).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DFAKTURA_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target bench_wydruk >/dev/null
program=build-bench/bench/bench_wydruk
plik=$(mktemp --suffix=.pdf)
trap 'rm -f "$plik"' EXIT
"$program" --jedna-strona "$plik" 2>/dev/null
czasy=()
for i in 1 2 3 4 5; do
  t0=$(date +%s%N); "$program" --jedna-strona "$plik" 2>/dev/null; t1=$(date +%s%N)
  czasy+=($(( (t1 - t0) / 1000000 )))
done
echo "cały proces (ms): ${czasy[*]}; mediana $(printf "%s\n" "${czasy[@]}" | sort -n | sed -n 3p) ms"
"$program" --benchmark_min_time=1 2>/dev/null | tail -1
