#!/usr/bin/env bash
# Makes the Windows icon, packaging/windows/orrinade.ico, from the project's
# own packaging/orrinade.svg at the sizes Windows asks for: 16 to 64 pixels
# for lists, title bars and the taskbar, 256 (stored as PNG) for large views.
# Needs rsvg-convert (librsvg2-bin) and icotool (icoutils).
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
small=()
for size in 16 24 32 48 64; do
  rsvg-convert --width "$size" --height "$size" packaging/orrinade.svg -o "$work/$size.png"
  small+=("$work/$size.png")
done
rsvg-convert --width 256 --height 256 packaging/orrinade.svg -o "$work/256.png"
icotool --create --output packaging/windows/orrinade.ico "${small[@]}" --raw "$work/256.png"
icotool --list packaging/windows/orrinade.ico
