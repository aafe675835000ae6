#!/usr/bin/env bash
# Figures of the Debian package: its size, and the start-up of the module through its menu entry's
# command (faktura-start of the package, unpacked into a staging folder, not installed on the
# system; a configuration that remembers the demo folder) against build/faktura started in the demo
# folder. Start-up is the time to the first mapped window (bench/czas_do_okna), median of 5 each
# after one warm-up, in one Xvfb; and the launcher's own time without a window. Needs what
# scripts/pakiet.sh needs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/pakiet.sh >/dev/null
deb=$(ls build-pakiet/faktura_*.deb)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target faktura >/dev/null
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DFAKTURA_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target czas_do_okna >/dev/null

robocze=$(mktemp -d)
trap 'rm -rf "$robocze"' EXIT
dpkg-deb -x "$deb" "$robocze/pakiet"
mkdir -p "$robocze/dom/.config/faktura"
build/faktura --dane-demonstracyjne "$robocze/demo"
printf '%s\n' "$robocze/demo" >"$robocze/dom/.config/faktura/katalog-danych"
unset LD_LIBRARY_PATH
if ldd "$robocze/pakiet/usr/bin/faktura" | grep -q 'not found'; then
  echo "pakiet: biblioteka nie znaleziona" >&2; exit 1
fi

echo "pakiet: $(basename "$deb"), $(stat -c %s "$deb") bajtów; po instalacji $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "programy w pakiecie (okrojone): $(cd "$robocze/pakiet/usr/bin" && stat -c '%n %s' faktura faktura-ustawienia faktura-eksport | paste -sd, - | sed 's/,/, /g') bajtów"
echo "build/faktura: $(stat -c %s build/faktura) bajtów"

# Three series, their runs interleaved so that other load on the machine falls on all alike: the
# menu's command, the packaged module started in the demo folder (what the launcher adds is the
# difference), and build/faktura there. -noreset: a server that resets when its last client goes
# refuses the next run's connection for a moment.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" env HOME="$robocze/dom" XDG_CONFIG_HOME= bash -c '
  set -euo pipefail
  czas=$1 pakiet=$2 budowa=$3 demo=$4
  # Warm-up: the first start in the folder, the files in the page cache.
  "$czas" "$pakiet/faktura-start" >/dev/null
  (cd "$demo" && "$czas" "$pakiet/faktura" && "$czas" "$budowa") >/dev/null
  a=() b=() c=()
  for i in 1 2 3 4 5; do
    a+=("$(cd / && "$czas" "$pakiet/faktura-start")")
    b+=("$(cd "$demo" && "$czas" "$pakiet/faktura")")
    c+=("$(cd "$demo" && "$czas" "$budowa")")
  done
  mediana() { printf "%s\n" "$@" | sort -n | sed -n 3p; }
  echo "start do pierwszego okna (ms, 5 razy; mediana):"
  printf "  menu: faktura-start z pakietu (folder z konfiguracji): %s; %s\n" "${a[*]}" "$(mediana "${a[@]}")"
  printf "  faktura z pakietu w folderze demo:                    %s; %s\n" "${b[*]}" "$(mediana "${b[@]}")"
  printf "  build/faktura w folderze demo:                        %s; %s\n" "${c[*]}" "$(mediana "${c[@]}")"
' _ "$PWD/build-bench/bench/czas_do_okna" "$robocze/pakiet/usr/bin" "$PWD/build/faktura" "$robocze/demo"

# The launcher's own share, without the noise of a window: the packaged faktura-start beside a
# faktura that is /bin/true, 200 runs, against /bin/true itself.
mkdir -p "$robocze/samo"
cp "$robocze/pakiet/usr/bin/faktura-start" "$robocze/samo/"
ln -s /bin/true "$robocze/samo/faktura"
mkdir -p "$robocze/demo-puste/Admini"
printf '%s\n' "$robocze/demo-puste" >"$robocze/dom/.config/faktura/katalog-danych"
ns() { date +%s%N; }
t0=$(ns); for _ in $(seq 200); do HOME="$robocze/dom" XDG_CONFIG_HOME='' "$robocze/samo/faktura-start"; done; t1=$(ns)
for _ in $(seq 200); do /bin/true; done; t2=$(ns)
awk -v a=$((t1 - t0)) -v b=$((t2 - t1)) \
  'BEGIN { printf "faktura-start bez okna: %.2f ms na uruchomienie (samo /bin/true: %.2f ms)\n", a / 200e6, b / 200e6 }'
