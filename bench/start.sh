#!/usr/bin/env bash
# Whole-process time from start to the first painted main window on an existing data folder (median
# of 5 runs, after one warm-up), and the idle CPU share of the running program over 10 s. Needs Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DFAKTURA_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target bench_start faktura >/dev/null
dane=$(mktemp -d)
trap 'rm -rf "$dane"' EXIT
build-bench/faktura --dane-demonstracyjne "$dane"
cd "$dane"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  program=$1
  "$program" 2>/dev/null   # first run creates the default files
  czasy=()
  for i in 1 2 3 4 5; do
    t0=$(date +%s%N); "$program" 2>/dev/null; t1=$(date +%s%N)
    czasy+=($(( (t1 - t0) / 1000000 )))
  done
  printf "start do pierwszego okna (ms): %s\n" "${czasy[*]}"
  printf "mediana: %s ms\n" "$(printf "%s\n" "${czasy[@]}" | sort -n | sed -n 3p)"
' _ "$OLDPWD/build-bench/bench/bench_start"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1" & pid=$!
  sleep 2
  takty=$(getconf CLK_TCK)
  a=$(awk "{print \$14+\$15}" /proc/$pid/stat); sleep 10; b=$(awk "{print \$14+\$15}" /proc/$pid/stat)
  kill $pid
  echo "bezczynne okno przez 10 s: $(( b - a )) taktów z $(( 10 * takty )) = $(awk "BEGIN{printf \"%.2f\", ($b-$a)*100/(10*$takty)}") % rdzenia"
' _ "$OLDPWD/build-bench/faktura"
