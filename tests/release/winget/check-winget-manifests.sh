#!/usr/bin/env bash
# The release's package-manager manifests: written by the release script as
# the release target runs it and checked against the manifest schema's rules
# and the release program's digest; then written by scripts/winget-manifests
# for a copy signed with a throwaway certificate, as a real release is, and
# used as a package manager uses them: the signed installer run through
# cmd.exe with the manifest's own switches in the package manager's order
# (location last), their tokens replaced by a folder and a log path that
# contain a space, the folder once typed with a trailing backslash. It must
# install there, register that location and the manifest's values under the
# manifest's key, and write the log. No network is needed.
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

release_name=$(cd "$work/dist" && ls KoraValeSetup-*.exe)
python3 "$here/read_manifests.py" "$work/dist" || fail "the release's manifests do not pass their checks"

echo "== a signed copy, and the manifests written for it"
"$here/../signing/make-test-signer.sh" "$work/signer"
mkdir -p "$work/signed"
osslsigncode sign -certs "$work/signer/signer.pem" -key "$work/signer/signer.key" -h sha256 \
  -in "$work/dist/$release_name" -out "$work/signed/$release_name" >/dev/null
# Signing changes the digest: manifests of the unsigned file would not pass for this one.
! cmp -s "$work/dist/$release_name" "$work/signed/$release_name" || fail "signing left the file as it was"
url="https://downloads.example.org/koravale/$release_name"
"$scripts/winget-manifests" "$work/signed/$release_name" "$url" "$work/signed/winget"
ls -l "$work/signed/winget"
install_dir='C:\Deploy Test\KoraVale'
log_file='C:\Deploy Test\setup log.txt'
declare -A manifest
while IFS='=' read -r name value; do
  manifest[$name]=$value
done < <(python3 "$here/read_manifests.py" "$work/signed" "C:\\downloads\\$release_name" "$install_dir" "$log_file")
[[ -n "${manifest[PASSIVE_COMMAND]:-}" ]] || { echo "FAIL: the signed copy's manifests do not pass their checks"; exit 1; }
[[ "${manifest[INSTALLER_URL]}" == "$url" ]] || fail "InstallerUrl ${manifest[INSTALLER_URL]} is not $url"
printf '%s\n' "${manifest[PASSIVE_COMMAND]}"

echo "== the installer run through cmd.exe with the manifest's switches"
"$scripts/wine-prefix" create "$prefix"
trap '"$scripts/wine-prefix" stop "$prefix"' EXIT
export WINEPREFIX=$prefix HOME=$prefix/home WINEDEBUG=-all
if [[ -z "${DISPLAY:-}" && -f "$prefix/xvfb.display" ]]; then export DISPLAY=$(cat "$prefix/xvfb.display"); fi
mkdir -p "$prefix/drive_c/downloads" "$prefix/drive_c/deploy" "$prefix/drive_c/Deploy Test"
cp "$work/signed/$release_name" "$prefix/drive_c/downloads/"
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

# The package manager's silent mode, over the install that is there now,
# with the folder typed with a trailing backslash: it escapes the closing
# quote, which the program drops from the folder's end.
printf '%s\n' "${manifest[SILENT_COMMAND]}"
deploy silent "${manifest[SILENT_COMMAND]}"
grep -q 'run: silent install' "$log_path" || fail "the log does not tell the silent install"
chosen=$(grep -F 'install directory: ' "$log_path" | tail -n1 | tr -d '\r' | sed 's/.*install directory: //')
[[ "$chosen" == "$install_dir" ]] || fail "the silent install's log names the folder $chosen"
[[ $(grep -c 'exit status: 0' "$log_path") -eq 2 ]] || fail "the log does not tell two installs that succeeded"
[[ "$(registered InstallLocation)" == "$install_dir" ]] || fail "registered location after the silent install"
[[ $(ls "$prefix/drive_c/Deploy Test") == $'KoraVale\nsetup log.txt' ]] ||
  fail "the silent install made another folder: $(ls "$prefix/drive_c/Deploy Test" | tr '\n' ' ')"

[[ $failures -eq 0 ]] && echo "the manifests pass the schema's rules and install as a package manager runs them"
exit $((failures > 0))
