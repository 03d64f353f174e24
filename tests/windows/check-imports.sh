#!/usr/bin/env bash
# Fails unless each named PE file is a 64-bit Windows GUI program whose
# import table names only Windows system DLLs.
#   check-imports.sh OBJDUMP FILE...
set -euo pipefail
objdump=$1
shift
allowed='^(ntdll|kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|msvcrt|api-ms-win-crt-[a-z0-9-]+)\.dll$'
status=0
for file in "$@"; do
  headers=$("$objdump" -p "$file")
  grep -Eq '^Magic[[:space:]]+020b' <<<"$headers" || { echo "$file: not a PE32+ (64-bit) image"; status=1; }
  grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || { echo "$file: not a Windows GUI program"; status=1; }
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
  [[ -n "$dlls" ]] || { echo "$file: no import table found"; status=1; }
  for dll in $dlls; do
    if [[ "$dll" =~ $allowed ]]; then echo "$file: imports $dll"; else echo "$file: imports $dll, which is not a Windows system DLL"; status=1; fi
  done
done
exit $status
