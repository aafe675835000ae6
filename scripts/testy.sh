#!/usr/bin/env bash
# Builds the program and runs every test twice: a normal build and an AddressSanitizer +
# UndefinedBehaviorSanitizer build; it also makes the Debian package from the normal build and checks
# it (scripts/pakiet.sh). Leaves the program at build/faktura and the package in
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

# The normal build is also the package's: Debian's hardening flags, installed below /usr. Line tables
# (-g1) instead of full debug information: the package strips them anyway, and they cost a fifth of
# the compile time.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
faza konfiguracja cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS"
unset CPPFLAGS CFLAGS CXXFLAGS LDFLAGS FFLAGS FCFLAGS OBJCFLAGS OBJCXXFLAGS GCJFLAGS DFLAGS
faza budowa cmake --build build -j"$rdzenie"

# The sanitizer build is made while the normal build's tests and the package run: those wait on
# timers, processes and the disk more than they use the processors. Its output goes to a log that is
# shown when it fails.
faza konfiguracja_asan cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFAKTURA_SANITIZE=ON >/dev/null
faza budowa_asan cmake --build build-asan -j"$rdzenie" >build-asan/budowa.log 2>&1 &
budowa_asan=$!
wynik=0
faza testy ctest --test-dir build --output-on-failure -j"$rdzenie" || wynik=$?
# The Debian package from that build: file list, validators, lintian.
if [ "$wynik" -eq 0 ]; then faza pakiet scripts/pakiet.sh build || wynik=$?; fi
if ! wait "$budowa_asan"; then
  cat build-asan/budowa.log >&2
  echo "testy.sh: budowa z AddressSanitizer nie powiodła się" >&2
  exit 1
fi
[ "$wynik" -eq 0 ] || exit "$wynik"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# One job more than processors: the sanitizer run's shares also wait on their own child processes.
faza testy_asan ctest --test-dir build-asan --output-on-failure -j"$((rdzenie + 1))"
