#!/usr/bin/env bash
# Builds the program and runs every test twice: a normal build and an AddressSanitizer +
# UndefinedBehaviorSanitizer build; between the two it makes the Debian package from the normal
# build and checks it (scripts/pakiet.sh). Leaves the program at build/faktura and the package in
# build/.
#
# With FAKTURA_CZAS_FAZ=FILE every phase's wall, user and system seconds are appended to FILE, one
# line a phase (bench/czas_testow.sh reads them).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/zaleznosci.sh
rdzenie=$(nproc)
export QT_QPA_PLATFORM=offscreen

faza() {
  local nazwa=$1
  shift
  if [ -n "${FAKTURA_CZAS_FAZ:-}" ]; then
    /usr/bin/time -a -o "$FAKTURA_CZAS_FAZ" -f "$nazwa %e %U %S" "$@"
  else
    "$@"
  fi
}

# Every source file keeps the project's formatting (.clang-format).
faza formatowanie sh -c "find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 -r clang-format --dry-run --Werror"

# The normal build is also the package's: Debian's hardening flags, installed below /usr.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
faza konfiguracja cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS"
unset CPPFLAGS CFLAGS CXXFLAGS LDFLAGS FFLAGS FCFLAGS OBJCFLAGS OBJCXXFLAGS GCJFLAGS DFLAGS
faza budowa cmake --build build -j"$rdzenie"
faza testy ctest --test-dir build --output-on-failure -j"$rdzenie"

# The Debian package from that build: file list, validators, lintian.
faza pakiet scripts/pakiet.sh build

faza konfiguracja_asan cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFAKTURA_SANITIZE=ON
faza budowa_asan cmake --build build-asan -j"$rdzenie"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
faza testy_asan ctest --test-dir build-asan --output-on-failure -j"$rdzenie"
