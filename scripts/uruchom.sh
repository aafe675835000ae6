#!/usr/bin/env bash
# Builds the program and starts it on a demo data folder (demo/, prepared when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/zaleznosci.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target faktura
build/faktura --dane-demonstracyjne demo
cd demo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Brak ekranu (zmienna DISPLAY jest pusta). Uruchom program na wirtualnym ekranie:"
  echo "  cd demo && xvfb-run -a ../build/faktura"
  exit 2
fi
exec ../build/faktura
