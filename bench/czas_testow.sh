#!/usr/bin/env bash
# Time of the test command (scripts/testy.sh) as CI runs it: on a clean copy of a commit (git
# archive, no build folders) and without ccache.
#
#   bench/czas_testow.sh [COMMIT]      (HEAD by default)
#
# The copy and its builds are in build-czas/<commit>/ below the source root; the phases' times in
# build-czas/<commit>/czasy.txt. The machine may be shared, so wall time is only printed; the estimate
# for a quiet 2-core machine is taken from CPU time: phases that run one process at a time
# (formatting, configuring) take their CPU time; the build, the test run and the package checks
# beside it share both processors, so they take half of theirs. The estimate is therefore a lower
# bound (the last links of a build wait on each other).
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$(git rev-parse --short "${1:-HEAD}")
miejsce=$PWD/build-czas/$commit
rm -rf "$miejsce"
mkdir -p "$miejsce/zrodla"
git archive "$commit" | tar -x -C "$miejsce/zrodla"
export CCACHE_DISABLE=1
unset CMAKE_CXX_COMPILER_LAUNCHER
: >"$miejsce/czasy.txt"
start=$(date +%s)
FAKTURA_CZAS_FAZ=$miejsce/czasy.txt "$miejsce/zrodla/scripts/testy.sh" >"$miejsce/wyjscie.log" 2>&1 ||
  { tail -50 "$miejsce/wyjscie.log" >&2; echo "czas_testow.sh: testy.sh zakończył się błędem" >&2; exit 1; }
koniec=$(date +%s)
awk -v razem=$((koniec - start)) '
  BEGIN { printf "%-18s %9s %9s %9s %12s\n", "faza", "wall [s]", "user [s]", "sys [s]", "2 rdzenie [s]" }
  {
    cpu = $3 + $4
    szac = ($1 ~ /^(budowa|testy|pakiet)/) ? cpu / 2 : cpu
    printf "%-18s %9.1f %9.1f %9.1f %12.1f\n", $1, $2, $3, $4, szac
    w += $2; c += cpu; s += szac
  }
  END {
    printf "%-18s %9.1f %19.1f %12.1f\n", "razem", w, c, s
    printf "cały testy.sh (z zaleznosci.sh): %d s wall\n", razem
  }' "$miejsce/czasy.txt" | tee "$miejsce/podsumowanie.txt"
