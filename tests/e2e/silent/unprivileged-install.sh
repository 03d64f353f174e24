#!/usr/bin/env bash
# unprivileged-install.sh SETUP_EXE: silent installs by an unprivileged Unix user (Wine run by root reads
# every file) into folders it may not wholly read, a second Unix user the other account: each is refused,
# nothing written or registered. Needs root and setpriv (util-linux); skipped (77) without.
set -euo pipefail
[[ $(id -u) -eq 0 ]] && command -v setpriv >/dev/null || { echo "needs root and setpriv"; exit 77; }
user=65534 other=1
scratch=$(mktemp -d /tmp/koravale-unprivileged.XXXXXX)  # every user may reach /tmp
prefix=$scratch/prefix drive_c=$scratch/prefix/drive_c
as_user() { setpriv --reuid=$user --regid=$user --clear-groups env -i HOME="$scratch/home" WINEPREFIX="$prefix" \
              WINEDEBUG=-all PATH=/usr/bin:/bin WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "$@"; }
cleanup() {
  as_user wineserver -k 2>/dev/null || true
  local server  # the server's folder, named by the prefix's device and inode, in a folder of its own
  server=$(printf 'server-%x-%x' $(stat -c '%d %i' "$prefix" 2>/dev/null || echo 0 0))
  for dir in /tmp/wine-*/"$server"; do [[ $(stat -c %u "$dir" 2>/dev/null) == "$user" ]] && rm -rf "${dir%/*}"; done
  rm -rf "$scratch"
}
trap cleanup EXIT
mkdir "$scratch/home" && cp "$1" "$scratch/KoraValeSetup.exe" && chmod 755 "$scratch" && chown -R $user:$user "$scratch"
as_user wineboot -i >"$scratch/boot.log" 2>&1 && as_user wineserver -w || { cat "$scratch/boot.log"; exit 1; }
install -d -o $user -g $user "$drive_c/Shared" "$drive_c/Mine/KoraVale"
# Another account's folder others may add to but not read; the user's holding another account's unreadable file.
install -d -o $other -g $other -m 0733 "$drive_c/Shared/KoraVale"
install -o $other -g $other -m 0600 /dev/null "$drive_c/Mine/KoraVale/version.dll"
failed=0
for dir in Shared Mine; do
  before=$(ls -A "$drive_c/$dir/KoraVale") code=0 registered=no refused=no
  as_user wine "$scratch/KoraValeSetup.exe" --silent --dir "C:\\$dir\\KoraVale" --log "C:\\$dir.log" >/dev/null 2>&1 || code=$?
  as_user wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\KoraVale' >/dev/null 2>&1 && registered=yes
  grep -qF "error: 无法确认哪些账户可以修改安装目录 C:\\$dir\\KoraVale，其中的程序可能被其他账户替换。请选择其他目录" \
    "$drive_c/$dir.log" && refused=yes
  echo "C:\\$dir\\KoraVale: exit status $code, registered: $registered, the unreadable refusal: $refused"
  [[ $code == 1 && $registered == no && $refused == yes && $(ls -A "$drive_c/$dir/KoraVale") == "$before" ]] ||
    { echo "FAIL"; cat "$drive_c/$dir.log"; failed=1; }
done
exit $failed
