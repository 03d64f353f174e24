#!/usr/bin/env bash
# The setup program can be signed after the build: a throwaway CA signs
# it with osslsigncode, the signature verifies against that CA, and the
# signed program installs silently in a fresh prefix (its image verified,
# or the install fails), leaves an uninstaller that is the same signed
# file and imports only system DLLs, and uninstalls silently to nothing.
#   check-signed-install.sh WORK_DIR SETUP_EXE APP_EXE OBJDUMP
set -euo pipefail
[[ $# -eq 4 ]] || { echo "usage: $0 WORK_DIR SETUP_EXE APP_EXE OBJDUMP" >&2; exit 2; }
work=$(realpath -m "$1") setup=$2 app=$3 objdump=$4
here=$(cd "$(dirname "$0")" && pwd)
scripts=$here/../../../scripts
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"
cd "$work"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

echo "== a throwaway CA and a code-signing certificate it issued"
"$here/make-test-signer.sh" "$work"

echo "== signing and verifying"
osslsigncode sign -certs signer.pem -key signer.key -n "KoraVale" -h sha256 -in "$setup" -out KoraValeSetup.exe
osslsigncode verify -CAfile ca.pem -TSA-CAfile ca.pem -in KoraValeSetup.exe || fail "the signed program does not verify"
# A file signed by someone else must not verify: the check above can fail.
openssl req -x509 -newkey rsa:2048 -nodes -keyout other.key -out other.pem -days 2 -subj "/CN=Other CA" 2>/dev/null
if osslsigncode verify -CAfile other.pem -TSA-CAfile other.pem -in KoraValeSetup.exe >/dev/null 2>&1; then
  fail "the signature verifies against a CA that did not issue it"
fi

echo "== a silent install of the signed program in a fresh prefix"
"$scripts/wine-prefix" create "$prefix"
trap '"$scripts/wine-prefix" stop "$prefix"' EXIT
export WINEPREFIX=$prefix HOME=$prefix/home WINEDEBUG=-all
if [[ -z "${DISPLAY:-}" && -f "$prefix/xvfb.display" ]]; then export DISPLAY=$(cat "$prefix/xvfb.display"); fi
mkdir -p "$prefix/drive_c/downloads"
cp KoraValeSetup.exe "$prefix/drive_c/downloads/"
run() {
  status=0
  timeout 180 wine "$@" </dev/null >"$work/run.log" 2>&1 || status=$?
  cat "$work/run.log"
}
registration='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\KoraVale'

run 'C:\downloads\KoraValeSetup.exe' /S
[[ $status -eq 0 ]] || fail "the silent install ended with $status"
install_dir=$(find "$prefix/drive_c/users" -ipath '*/AppData/Local/Programs/KoraVale' -type d | head -n1)
if [[ -z "$install_dir" ]]; then
  fail "no install folder"
else
  echo "installed in $install_dir"
  cmp "$app" "$install_dir/KoraVale.exe" || fail "the installed program is not the embedded application"
  cmp KoraValeSetup.exe "$install_dir/uninstall.exe" || fail "the uninstaller is not the signed setup program"
  osslsigncode verify -CAfile ca.pem -TSA-CAfile ca.pem -in "$install_dir/uninstall.exe" >/dev/null ||
    fail "the installed uninstaller does not carry the signature"
  "$here/../../windows/check-imports.sh" "$objdump" "$install_dir/uninstall.exe" ||
    fail "the installed uninstaller imports more than system DLLs"
  wine reg query "$registration" >/dev/null 2>&1 || fail "no uninstall registration"

  echo "== a silent uninstall by the installed uninstaller"
  run "$(winepath -w "$install_dir/uninstall.exe")" --uninstall --silent
  [[ $status -eq 0 ]] || fail "the silent uninstall ended with $status"
  # The shell that removes the uninstaller and its folder tries for about ten seconds.
  for _ in $(seq 150); do [[ -e "$install_dir" ]] || break; sleep 0.1; done
  [[ ! -e "$install_dir" ]] || fail "the install folder remains: $(ls -A "$install_dir" | tr '\n' ' ')"
  ! wine reg query "$registration" >/dev/null 2>&1 || fail "the uninstall registration remains"
fi

[[ $failures -eq 0 ]] && echo "the signed program verifies, installs and uninstalls"
exit $((failures > 0))
