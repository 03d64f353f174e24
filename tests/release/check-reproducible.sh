#!/usr/bin/env bash
# Two builds of the same sources in two clean build folders give the same
# setup program, byte for byte: no time stamp and no folder name in it.
# Only the setup program and what it is made of are built.
#   check-reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
for side in a b; do
  rm -rf "build/repro-$side"
  cmake --preset windows -B "build/repro-$side" >/dev/null
  # A failed build is said as such, not taken for two builds that differ.
  out=$(cmake --build "build/repro-$side" -j2 --target KoraValeSetup 2>&1) || { printf '%s\n' "$out"; echo "build/repro-$side failed"; exit 1; }
  grep '^KoraValeSetup:' <<<"$out" || true
done
status=0
for file in KoraVale.exe KoraValeSetup.exe; do
  if cmp "build/repro-a/$file" "build/repro-b/$file"; then
    echo "$file: the same in both builds, SHA-256 $(sha256sum <"build/repro-a/$file" | cut -d' ' -f1)"
  else
    echo "$file: the two builds differ in $(cmp -l "build/repro-a/$file" "build/repro-b/$file" | wc -l) bytes"
    status=1
  fi
done
exit $status
