#!/usr/bin/env bash
# Builds the program and runs every test twice: against a normal build and against an
# AddressSanitizer + UndefinedBehaviorSanitizer build; it also makes the Debian package from the
# normal build and checks it (scripts/pakiet.sh). Leaves the program at build/faktura and the package in
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

# One build folder holds both builds: every layer and program as the package has it, and their
# sanitizer twins (AddressSanitizer + UndefinedBehaviorSanitizer, in build/asan/); the tests' own code
# is compiled once and linked against each. The normal build is the package's: Debian's hardening
# flags, installed below /usr. Line tables (-g1) instead of full debug information: the package strips
# them anyway, and they cost a fifth of the compile time.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
faza konfiguracja cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DFAKTURA_ASAN_OBOK=ON \
  -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS"
unset CPPFLAGS CFLAGS CXXFLAGS LDFLAGS FFLAGS FCFLAGS OBJCFLAGS OBJCXXFLAGS GCJFLAGS DFLAGS
faza budowa cmake --build build -j"$rdzenie"

# Both builds' tests in one run (the sanitizer build's are asan/…, with the sanitizers' options set
# per test), and beside them the Debian package from the normal build: file list, validators,
# lintian. The tests wait on timers and child processes, so one job more than processors.
faza pakiet scripts/pakiet.sh build >build/pakiet.log 2>&1 &
pakiet=$!
wynik=0
faza testy ctest --test-dir build --output-on-failure -j"$((rdzenie + 1))" || wynik=$?
if ! wait "$pakiet"; then
  cat build/pakiet.log >&2
  echo "testy.sh: pakiet Debiana nie przeszedł sprawdzenia" >&2
  wynik=1
else
  cat build/pakiet.log
fi
exit "$wynik"
