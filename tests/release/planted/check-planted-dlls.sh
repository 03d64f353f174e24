#!/usr/bin/env bash
# Planted DLLs beside the setup program are never loaded: decoys named
# like the system libraries that programs load on demand lie beside a copy
# of it, and Wine is told to prefer DLLs found there (native first), as
# Windows does for libraries that are not known DLLs. Each decoy adds a
# line to a marker file whenever it is loaded.
#   check-planted-dlls.sh PREFIX SETUP_EXE DECOY_DLL UNPROTECTED_LOADER STATIC_IMPORTS_ONLY CLOSE_SETUP_WINDOW
#
# Wine differs from Windows here. Its own user32 imports version.dll, so a
# decoy of it preferred to the builtin is loaded into every program that
# imports user32, before any code of the program runs (and aborts it, as
# the decoy exports nothing): only the control prefers that decoy, so the
# program's own loads of version.dll are not covered under Wine. Its user32
# also loads uxtheme.dll while it starts. A module is loaded once per
# process and later loads find it by name, so the setup program's own load
# of either (from the system folder) finds the one already there: no marker
# can tell where it would have come from, and neither is covered under
# Wine. What a program that merely imports what the setup program imports
# loads is the floor; the setup program may load no decoy more often than that.
set -euo pipefail
[[ $# -eq 6 ]] || { echo "usage: $0 PREFIX SETUP_EXE DECOY_DLL UNPROTECTED_LOADER STATIC_IMPORTS_ONLY CLOSE_SETUP_WINDOW" >&2; exit 2; }
prefix=$(realpath -m "$1") setup=$2 decoy=$3 loader=$4 imports_only=$5 closer=$6
scripts=$(dirname "$0")/../../../scripts
names=(version uxtheme dwmapi cryptbase propsys)
wine_floor_allowed=" uxtheme "

"$scripts/wine-prefix" create "$prefix"
trap '"$scripts/wine-prefix" stop "$prefix"' EXIT
export WINEPREFIX=$prefix HOME=$prefix/home WINEDEBUG=-all
if [[ -z "${DISPLAY:-}" && -f "$prefix/xvfb.display" ]]; then export DISPLAY=$(cat "$prefix/xvfb.display"); fi

folder=$prefix/drive_c/downloads
markers=$prefix/drive_c/markers
mkdir -p "$folder" "$markers"
cp "$setup" "$folder/KoraValeSetup.exe"
cp "$loader" "$folder/unprotected_loader.exe"
cp "$imports_only" "$folder/static_imports_only.exe"
# The window's driver imports user32 too: kept away from the decoys.
mkdir -p "$prefix/drive_c/driver"
cp "$closer" "$prefix/drive_c/driver/close_setup_window.exe"
for name in "${names[@]}"; do cp "$decoy" "$folder/$name.dll"; done
export KORAVALE_DECOY_MARKERS='C:\markers'
all_native_first="$(IFS=,; echo "${names[*]}")=n,b"
programs_native_first="$(IFS=,; echo "${names[*]:1}")=n,b"

declare -A loads floor
# Runs one Windows program from the folder; its status goes to $status,
# the decoys it loaded to $loads.
run() {
  rm -f "$markers"/*
  status=0
  timeout 180 wine "$@" </dev/null >"$prefix/run.log" 2>&1 || status=$?
  cat "$prefix/run.log"
  for name in "${names[@]}"; do
    loads[$name]=0
    [[ -f "$markers/$name.dll.loaded" ]] && loads[$name]=$(wc -l <"$markers/$name.dll.loaded")
  done
  echo "decoys loaded: $(for n in "${names[@]}"; do printf '%s=%s ' "$n" "${loads[$n]}"; done)"
}

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

echo "== control: a program that loads the five by name without limiting the search"
WINEDLLOVERRIDES=$all_native_first run 'C:\downloads\unprotected_loader.exe' "${names[@]/%/.dll}"
export WINEDLLOVERRIDES=$programs_native_first
for name in "${names[@]}"; do
  [[ ${loads[$name]} -ge 1 ]] || fail "the control did not load the decoy $name.dll: this check could not fail"
done

echo "== floor: what Wine loads before a program's entry point"
run 'C:\downloads\static_imports_only.exe'
for name in "${names[@]}"; do
  floor[$name]=${loads[$name]}
  if [[ ${floor[$name]} -gt 0 && "$wine_floor_allowed" != *" $name "* ]]; then
    fail "Wine loads the decoy $name.dll before the entry point: the check no longer covers it"
  fi
done

check_no_more_than_floor() {
  for name in "${names[@]}"; do
    [[ ${loads[$name]} -le ${floor[$name]} ]] || fail "$1 loaded the planted $name.dll"
  done
}

echo "== the window, closed once it appears"
run 'C:\driver\close_setup_window.exe' 'C:\downloads\KoraValeSetup.exe'
[[ $status -eq 0 ]] || fail "the window run ended with $status"
grep -q 'appeared and was closed' "$prefix/run.log" || fail "the setup window did not appear"
check_no_more_than_floor "the window run"

echo "== a silent install"
run 'C:\downloads\KoraValeSetup.exe' /S
[[ $status -eq 0 ]] || fail "the silent install ended with $status"
installed=$(find "$prefix/drive_c/users" -ipath '*/AppData/Local/Programs/KoraVale/KoraVale.exe' | head -n1)
[[ -n "$installed" ]] || fail "the silent install left no KoraVale.exe"
check_no_more_than_floor "the silent install"

[[ $failures -eq 0 ]] && echo "no planted DLL was loaded by the setup program"
exit $((failures > 0))
