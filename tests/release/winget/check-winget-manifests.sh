#!/usr/bin/env bash
# The release's package-manager manifests: written by the release script as
# the release target runs it, checked against the manifest schema's rules
# and the release program's digest, then used as a package manager uses
# them: the installer run through cmd.exe with the manifest's own switches,
# their tokens replaced by a folder and a log path that contain a space. It
# must install there, register that location and the manifest's values
# under the manifest's key, and write the log. No network is needed.
#   check-winget-manifests.sh WORK_DIR RELEASE_COMMAND...
# RELEASE_COMMAND writes the release into WORK_DIR/dist.
set -euo pipefail
[[ $# -ge 2 ]] || { echo "usage: $0 WORK_DIR RELEASE_COMMAND..." >&2; exit 2; }
work=$(realpath -m "$1")
shift
here=$(cd "$(dirname "$0")" && pwd)
scripts=$here/../../../scripts
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

echo "== the release with its manifests"
"$@"
ls -l "$work/dist/winget"

echo "== the manifests read back and checked"
install_dir='C:\Deploy Test\KoraVale'
log_file='C:\Deploy Test\setup log.txt'
declare -A manifest
release_name=$(cd "$work/dist" && ls KoraValeSetup-*.exe)
while IFS='=' read -r name value; do
  manifest[$name]=$value
done < <(python3 "$here/read_manifests.py" "$work/dist" "C:\\downloads\\$release_name" "$install_dir" "$log_file")
[[ -n "${manifest[PASSIVE_COMMAND]:-}" ]] || { echo "FAIL: the manifests do not pass their checks"; exit 1; }
printf '%s\n' "${manifest[PASSIVE_COMMAND]}"

echo "== the installer run through cmd.exe with the manifest's switches"
"$scripts/wine-prefix" create "$prefix"
trap '"$scripts/wine-prefix" stop "$prefix"' EXIT
export WINEPREFIX=$prefix HOME=$prefix/home WINEDEBUG=-all
if [[ -z "${DISPLAY:-}" && -f "$prefix/xvfb.display" ]]; then export DISPLAY=$(cat "$prefix/xvfb.display"); fi
mkdir -p "$prefix/drive_c/downloads" "$prefix/drive_c/deploy" "$prefix/drive_c/Deploy Test"
cp "$work/dist/$release_name" "$prefix/drive_c/downloads/"
registration="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${manifest[PRODUCT_CODE]}"
registered() { wine reg query "$registration" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"; }

deploy() {  # MODE COMMAND: a batch file, as a deployment script would hold it
  printf '@echo off\r\n%s\r\nexit /b %%errorlevel%%\r\n' "$2" >"$prefix/drive_c/deploy/$1.cmd"
  status=0
  timeout 180 wine cmd.exe /c "C:\\deploy\\$1.cmd" </dev/null >"$work/$1.out" 2>&1 || status=$?
  cat "$work/$1.out"
  [[ $status -eq 0 ]] || fail "the $1 install ended with $status"
}

deploy passive "${manifest[PASSIVE_COMMAND]}"
[[ -f "$prefix/drive_c/Deploy Test/KoraVale/KoraVale.exe" ]] || fail "nothing installed in $install_dir"
[[ "$(registered InstallLocation)" == "$install_dir" ]] || fail "registered location: $(registered InstallLocation)"
for value in DisplayName:DISPLAY_NAME Publisher:PUBLISHER DisplayVersion:DISPLAY_VERSION; do
  [[ "$(registered "${value%%:*}")" == "${manifest[${value#*:}]}" ]] ||
    fail "registered ${value%%:*} '$(registered "${value%%:*}")' is not the manifest's '${manifest[${value#*:}]}'"
done
log_path="$prefix/drive_c/Deploy Test/setup log.txt"
grep -q 'run: passive install' "$log_path" || fail "the log does not tell the passive install"
grep -q 'exit status: 0' "$log_path" || fail "the log does not tell the exit status"

# The package manager's silent mode, over the install that is there now.
deploy silent "${manifest[SILENT_COMMAND]}"
grep -q 'run: silent install' "$log_path" || fail "the log does not tell the silent install"
[[ "$(registered InstallLocation)" == "$install_dir" ]] || fail "registered location after the silent install"

[[ $failures -eq 0 ]] && echo "the manifests pass the schema's rules and install as a package manager runs them"
exit $((failures > 0))
