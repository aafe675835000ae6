#!/bin/sh
# Renders the hicolor PNG sizes from the two SVG icons. The PNGs are committed, so that building
# needs no SVG renderer; run this after changing an SVG (needs rsvg-convert, package librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for nazwa in io.github.kwintaro.Faktura io.github.kwintaro.Faktura.Ustawienia; do
  for rozmiar in 16 22 24 32 48 64 128 256; do
    mkdir -p "hicolor/${rozmiar}x${rozmiar}/apps"
    rsvg-convert -w "$rozmiar" -h "$rozmiar" "$nazwa.svg" -o "hicolor/${rozmiar}x${rozmiar}/apps/$nazwa.png"
  done
done
