#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when any is missing.
# (xvfb, dbus-daemon and at-spi2-core: the accessibility test reads the window over AT-SPI; lld:
# the faster linker, see CMakeLists.txt; libssl-dev, libxmlsec1-dev, qtkeychain-qt6-dev: KSeF;
# libqrencode-dev: its verification codes, zbar-tools: the tests read them back.)
set -euo pipefail
pakiety=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-translations-l10n libgtest-dev
         libbenchmark-dev clang-format fonts-liberation poppler-utils libxml2-utils xvfb xauth libgl-dev
         libxcb1-dev dpkg-dev file desktop-file-utils appstream lintian
         dbus-daemon at-spi2-core lld
         libssl-dev libxmlsec1-dev libxml2-dev qtkeychain-qt6-dev libqrencode-dev zbar-tools)
brakujace=()
for p in "${pakiety[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || brakujace+=("$p")
done
if [ ${#brakujace[@]} -gt 0 ]; then
  echo "Instaluję brakujące pakiety: ${brakujace[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${brakujace[@]}"
fi
