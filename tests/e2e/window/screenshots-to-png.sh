#!/usr/bin/env bash
# The window tests write BMP files; keep them as PNG.
set -euo pipefail
dir=$1
shopt -s nullglob
bmps=("$dir"/*.bmp)
[[ ${#bmps[@]} -gt 0 ]] || { echo "no screenshots in $dir" >&2; exit 1; }
for bmp in "${bmps[@]}"; do
  convert "$bmp" "${bmp%.bmp}.png"
  rm -f "$bmp"
  echo "${bmp%.bmp}.png"
done
