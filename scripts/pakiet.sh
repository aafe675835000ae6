#!/usr/bin/env bash
# Builds the Debian package and checks it. `scripts/pakiet.sh` makes a Release build of its own
# (build-pakiet/, with Debian's build flags); `scripts/pakiet.sh FOLDER` packs an existing build
# folder configured with them (the test command's build/). The checks: the file list and modes against pakiet/zawartosc.txt, the dependencies, stripped
# programs that start, the desktop entries, the AppStream metadata and lintian (errors fail,
# warnings are printed). Installing the package is left to the user (see README).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/zaleznosci.sh

budowa=${1:-build-pakiet}
if [ $# -eq 0 ]; then
  # Debian's hardening and reproducibility flags, as a Debian build of the package would use them.
  eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
  cmake -S . -B "$budowa" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFAKTURA_TESTY=OFF -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
fi
rm -f "$budowa"/faktura_*.deb
cmake --build "$budowa" -j"$(nproc)" --target package >"$budowa"/budowa.log 2>&1 ||
  { cat "$budowa"/budowa.log >&2; exit 1; }
pakiety=("$budowa"/faktura_*.deb)
[ ${#pakiety[@]} -eq 1 ] || { echo "pakiet.sh: oczekiwano jednego pliku .deb, są: ${pakiety[*]}" >&2; exit 1; }
deb=${pakiety[0]}
bledy=0
blad() { echo "pakiet.sh: $*" >&2; bledy=$((bledy + 1)); }

# The files (not folders), their modes and owners.
lista=$(dpkg-deb -c "$deb")
if ! diff -u pakiet/zawartosc.txt <(awk '$6 !~ /\/$/ {sub(/^\.\//, "", $6); print $6}' <<<"$lista" | sort); then
  blad "lista plików pakietu różni się od pakiet/zawartosc.txt (wyżej: - brakuje, + nadmiarowy)"
fi
while read -r tryb wlasciciel _ _ _ sciezka _; do
  case $sciezka in
    */) oczekiwany=drwxr-xr-x ;;
    ./usr/bin/* | ./usr/libexec/faktura/*) oczekiwany=-rwxr-xr-x ;;
    *) oczekiwany=-rw-r--r-- ;;
  esac
  [ "$tryb" = "$oczekiwany" ] || blad "$sciezka: prawa $tryb, oczekiwane $oczekiwany"
  [ "$wlasciciel" = root/root ] || blad "$sciezka: właściciel $wlasciciel"
done <<<"$lista"

zaleznosci=$(dpkg-deb -f "$deb" Depends)
# libqt6gui6 holds the JPEG reader of the window's pictures.
for wymagany in fonts-liberation libqt6widgets6 libqt6printsupport6 libqt6gui6; do
  grep -qE "(^|, )$wymagany( |,|$)" <<<"$zaleznosci" || blad "Depends bez $wymagany: $zaleznosci"
done

rozpakowany=$(mktemp -d)
trap 'rm -rf "$rozpakowany"' EXIT
dpkg-deb -x "$deb" "$rozpakowany"
for program in bin/faktura bin/faktura-ustawienia bin/faktura-eksport bin/faktura-ksef \
  libexec/faktura/faktura-eksport-pdf; do
  opis=$(file -b "$rozpakowany/usr/$program")
  case $opis in
    *"not stripped"* | *"with debug_info"*) blad "$program nie jest okrojony: $opis" ;;
  esac
done
# The installed programs start (help needs no display) and the launcher finds them beside it.
for program in faktura faktura-ustawienia faktura-eksport faktura-ksef faktura-start; do
  "$rozpakowany/usr/bin/$program" --help >/dev/null || blad "$program --help zakończył się błędem"
done
# The export finds its PDF program where the package puts it: outside a data folder that program
# itself refuses the export.
pusty=$(mktemp -d)
pdf=$(cd "$pusty" && QT_QPA_PLATFORM=offscreen "$rozpakowany/usr/bin/faktura-eksport" pdf --do x 2>&1 || true)
rmdir "$pusty"
grep -q "nie można uruchomić programu eksportu PDF" <<<"$pdf" && blad "faktura-eksport nie znalazł programu PDF: $pdf"
grep -q "folder" <<<"$pdf" || blad "faktura-eksport pdf poza folderem danych: $pdf"

for wpis in "$rozpakowany"/usr/share/applications/*.desktop; do
  desktop-file-validate "$wpis" || blad "desktop-file-validate: $(basename "$wpis")"
done
appstreamcli validate --no-net "$rozpakowany"/usr/share/metainfo/*.metainfo.xml || blad "appstreamcli validate"

# Errors fail the check; warnings are printed (the README lists why each is left).
lintian_wynik=0
lintian --fail-on error --tag-display-limit 0 "$deb" >"$budowa"/lintian.txt 2>&1 || lintian_wynik=$?
grep -v '^running with root privileges' "$budowa"/lintian.txt || true
[ "$lintian_wynik" -eq 0 ] || blad "lintian zgłosił błędy (kod $lintian_wynik)"

if [ "$bledy" -gt 0 ]; then
  echo "pakiet.sh: $bledy błędów w $deb" >&2
  exit 1
fi
echo "Pakiet $deb: $(stat -c %s "$deb") bajtów, sprawdzony."
