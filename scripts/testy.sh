#!/usr/bin/env bash
# Builds the program and runs every test twice: a normal build and an AddressSanitizer +
# UndefinedBehaviorSanitizer build; between the two it builds and checks the Debian package
# (scripts/pakiet.sh). Leaves the program at build/faktura and the package in build-pakiet/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/zaleznosci.sh
rdzenie=$(nproc)
export QT_QPA_PLATFORM=offscreen

# Every source file keeps the project's formatting (.clang-format).
find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 -r clang-format --dry-run --Werror

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$rdzenie"
(cd build && ctest --output-on-failure -j"$rdzenie")

# The Debian package in a Release build of its own: file list, validators, lintian.
scripts/pakiet.sh

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFAKTURA_SANITIZE=ON
cmake --build build-asan -j"$rdzenie"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j"$rdzenie")
