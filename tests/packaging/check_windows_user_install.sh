#!/usr/bin/env bash
# The per-user install from signed packages, under Wine:
# - cpack with a self-signed code-signing certificate made here with openssl: the
#   installer, the programs of the zip and the installed uninstaller verify with
#   `osslsigncode verify` against that certificate;
# - the installer asks for no administrator (its manifest) and, with /CURRENTUSER
#   /ADDTOPATH, installs under the user's local programs folder with an HKCU uninstall
#   entry (none under HKLM) and the program folder at the end of the user's PATH;
# - the quiet uninstall removes all of it, the PATH entry too, keeps the PATH's other
#   entries as they were and the user's settings.
#   check_windows_user_install.sh <build dir> <version>
# Runs inside scripts/wine-session (WINEPREFIX set, wineserver running).
set -uo pipefail
build=$1
version=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/windows_package_lib.sh"

: "${WINEPREFIX:?run under scripts/wine-session}"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZR8 Utility Installation'
machine_uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZR8 Utility Installation'
settings_key='HKCU\Software\Orvandel\ZR8 Utility'

echo "== a self-signed code-signing certificate"
password='zr8 test: "signing" pass'
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$out/key.pem" -out "$out/cert.pem" -days 2 \
  -subj "/CN=ZR8 package test/O=Orvandel" -addext extendedKeyUsage=codeSigning >/dev/null 2>&1 &&
  openssl pkcs12 -export -inkey "$out/key.pem" -in "$out/cert.pem" -out "$out/test.pfx" \
    -passout "pass:$password" >/dev/null 2>&1 || { echo "FAIL: openssl could not make the certificate" >&2; exit 1; }

echo "== cpack, signed"
make_packages "$build" "$out/signed" "NSIS64;ZIP" "CPACK_ZR8_SIGN_PFX=$out/test.pfx" \
  "CPACK_ZR8_SIGN_PASSWORD=$password" || { echo "FAIL: cpack could not make signed packages" >&2; exit 1; }
installer=$out/signed/ZR8Utility-$version-win64.exe
zip=$out/signed/ZR8Utility-$version-win64.zip
[ -f "$installer" ] && [ -f "$zip" ] || { echo "FAIL: no signed packages" >&2; ls -R "$out/signed" >&2; exit 1; }
mkdir -p "$out/zip"
(cd "$out/zip" && cmake -E tar xf "$zip")

verify() {
  local result
  if result=$(osslsigncode verify -CAfile "$out/cert.pem" -in "$1" 2>&1); then
    echo "  $(basename "$1"): $(grep -m1 -i 'Signature verification' <<<"$result")"
  else
    problem "$(basename "$1") does not verify:"
    echo "$result" >&2
  fi
}
verify "$installer"
verify "$out/zip/ZR8Utility.exe"
verify "$out/zip/zr8.exe"

manifest=$(wrestool -x --raw --type=24 "$installer" 2>/dev/null | tr -d '\0')
grep -q 'requestedExecutionLevel level="highestAvailable"' <<<"$manifest" ||
  problem "the installer's manifest does not let a user without administrator rights run it"

echo "== per-user install with the PATH entry"
user_path='C:\keep\this;C:\and\this'
earlier_path=$(reg_value 'HKCU\Environment' Path)
wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$user_path" /f >/dev/null 2>&1
wine reg add "$settings_key" /v FirmwareFolder /t REG_SZ /d 'C:\users\zr8\firmware' /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/zr8-package-test"
cp "$installer" "$WINEPREFIX/drive_c/zr8-package-test/"
win_run "\"C:\\zr8-package-test\\$(basename "$installer")\" /S /CURRENTUSER /ADDTOPATH" ||
  problem "the per-user install ended with status $?"

win_dir=$(reg_value "$uninstall_key" InstallLocation)
echo "installed in: $win_dir"
local_programs=$(find "$WINEPREFIX/drive_c/users" -maxdepth 4 -type d -path '*AppData/Local/Programs' | head -1)
unix_dir="$local_programs/Orvandel/ZR8 Utility"
[ -n "$local_programs" ] && [ "$win_dir" = "$(win_path "$unix_dir")" ] ||
  problem "not installed under the user's local programs folder: '$win_dir'"
for f in ZR8Utility.exe zr8.exe ZR8Utility.chm Uninstall.exe; do
  [ -f "$unix_dir/$f" ] || problem "not installed: $f"
done
[ "$(reg_value "$uninstall_key" QuietUninstallString)" = "\"$win_dir\\Uninstall.exe\" /S" ] ||
  problem "the HKCU entry has no quiet uninstall string"
reg_has "$machine_uninstall_key" && problem "the per-user install wrote an HKLM uninstall entry"
wine reg query "$uninstall_key" | tr -d '\r'
verify "$unix_dir/Uninstall.exe"
verify "$unix_dir/ZR8Utility.exe"
path_now=$(reg_value 'HKCU\Environment' Path)
echo "PATH: $path_now"
[ "$path_now" = "$user_path;$win_dir" ] || problem "the user's PATH is '$path_now', not '$user_path;$win_dir'"

echo "== quiet uninstall"
uninstall_quietly "$uninstall_key"
wait_gone "$unix_dir" || { problem "files left after the uninstall:"; find "$unix_dir" >&2; }
[ -e "$local_programs/Orvandel" ] && problem "an empty Orvandel folder is left in $local_programs"
reg_has "$uninstall_key" && problem "the HKCU uninstall entry is left"
reg_has 'HKCU\Software\Orvandel\ZR8 Utility Installation' && problem "the installation key is left"
path_now=$(reg_value 'HKCU\Environment' Path)
[ "$path_now" = "$user_path" ] || problem "after the uninstall the user's PATH is '$path_now', not '$user_path'"
[ "$(reg_value "$settings_key" FirmwareFolder)" = 'C:\users\zr8\firmware' ] || problem "the uninstall removed the user's settings"

wine reg delete "$settings_key" /v FirmwareFolder /f >/dev/null 2>&1
if [ -n "$earlier_path" ]; then
  wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$earlier_path" /f >/dev/null 2>&1
else
  wine reg delete 'HKCU\Environment' /v Path /f >/dev/null 2>&1
fi
rm -rf "$WINEPREFIX/drive_c/zr8-package-test"

[ "$fail" = 0 ] && echo "Per-user signed install OK"
exit $fail
