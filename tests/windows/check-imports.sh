#!/usr/bin/env bash
# Fails unless each named PE file is a 64-bit Windows GUI program whose
# import table names only Windows system DLLs, and only functions that
# Windows 10 1507 has: those listed in imports-in-windows-10-1507.txt
# beside this script, none of the newer ones named below.
#   check-imports.sh OBJDUMP FILE...
set -euo pipefail
objdump=$1
shift
allowed='^(ntdll|kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|msvcrt|api-ms-win-crt-[a-z0-9-]+)\.dll$'
known_list=$(dirname "$0")/imports-in-windows-10-1507.txt
known=$(awk '!/^#/ && NF { dll = $1; sub(/:$/, "", dll); for (i = 2; i <= NF; i++) print dll "!" $i }' "$known_list")
# Calls a Windows 10 program is likely to reach for that came after 1507:
# imported, any of them stops the program from loading there at all.
newer=(
  user32.dll!GetDpiForWindow user32.dll!GetDpiForSystem user32.dll!SetProcessDpiAwarenessContext
  user32.dll!SetThreadDpiAwarenessContext user32.dll!GetThreadDpiAwarenessContext
  user32.dll!GetWindowDpiAwarenessContext user32.dll!AdjustWindowRectExForDpi user32.dll!GetSystemMetricsForDpi
  user32.dll!SystemParametersInfoForDpi user32.dll!EnableNonClientDpiScaling
  kernel32.dll!SetThreadDescription kernel32.dll!GetThreadDescription kernel32.dll!CreatePseudoConsole
  kernel32.dll!GetSystemCpuSetInformation kernel32.dll!SetProcessDefaultCpuSets user32.dll!GetSystemDpiForProcess
)
status=0
for name in "${newer[@]}"; do
  if grep -qxF "$name" <<<"$known"; then echo "$known_list: lists $name, which Windows 10 1507 lacks"; status=1; fi
done
for file in "$@"; do
  headers=$("$objdump" -p "$file")
  grep -Eq '^Magic[[:space:]]+020b' <<<"$headers" || { echo "$file: not a PE32+ (64-bit) image"; status=1; }
  grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || { echo "$file: not a Windows GUI program"; status=1; }
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
  [[ -n "$dlls" ]] || { echo "$file: no import table found"; status=1; }
  for dll in $dlls; do
    if [[ "$dll" =~ $allowed ]]; then echo "$file: imports $dll"; else echo "$file: imports $dll, which is not a Windows system DLL"; status=1; fi
  done
  functions=$(awk '/DLL Name:/ { dll = tolower($3) } /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll "!" $3 }' <<<"$headers")
  [[ -n "$functions" ]] || { echo "$file: no imported function found"; status=1; }
  for name in $functions; do
    if printf '%s\n' "${newer[@]}" | grep -qxF "$name"; then
      echo "$file: imports $name, which Windows 10 1507 lacks: look it up at run time"; status=1
    elif ! grep -qxF "$name" <<<"$known"; then
      echo "$file: imports $name, not in $known_list: check that Windows 10 1507 has it"; status=1
    fi
  done
done
exit $status
