#!/usr/bin/env bash
# The Windows packages, made by CPack from the build and used as a user would:
# - the zip holds ZR8Utility.exe, zr8.exe and ZR8Utility.chm;
# - the NSIS installer, run silently under Wine into a folder of its own, installs the
#   three with an uninstaller and a Start-menu entry; the installed program starts with
#   --simulate and finds the radio, the installed zr8.exe finds it too;
# - the uninstaller removes every file and shortcut it installed and leaves the user's
#   settings alone.
#   check_windows_packages.sh <build dir> <program test exe>
# Runs inside scripts/wine-session (WINEPREFIX set, wineserver running).
set -uo pipefail
build=$1
program_test=$2
fail=0
problem() { echo "FAIL: $*" >&2; fail=1; }

: "${WINEPREFIX:?run under scripts/wine-session}"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

echo "== cpack (NSIS64, ZIP)"
rm -rf "$build/packages"
if ! (cd "$build" && cpack -G "NSIS64;ZIP" -B "$out" >"$out/cpack.log" 2>&1); then
  cat "$out/cpack.log" >&2
  echo "FAIL: cpack could not make the Windows packages" >&2
  exit 1
fi
installer=$(ls "$build"/packages/ZR8Utility-*-win64.exe 2>/dev/null | head -1)
zip=$(ls "$build"/packages/ZR8Utility-*-win64.zip 2>/dev/null | head -1)
[ -n "$installer" ] || { echo "FAIL: no installer in $out" >&2; ls "$out" >&2; exit 1; }
[ -n "$zip" ] || problem "no zip in $out"
ls -l "$installer" ${zip:+"$zip"}

expected=(ZR8Utility.exe zr8.exe ZR8Utility.chm)
if [ -n "$zip" ]; then
  listing=$(cmake -E tar tf "$zip")
  for f in "${expected[@]}"; do
    grep -qE "(^|/)$f\$" <<<"$listing" || problem "the zip lacks $f"
  done
fi

echo "== silent install"
win_dir='C:\zr8-package-test\ZR8Utility'  # /D= takes no quotes, so no blanks
unix_dir="$WINEPREFIX/drive_c/zr8-package-test/ZR8Utility"
rm -rf "$WINEPREFIX/drive_c/zr8-package-test"
wine "$installer" /S "/D=$win_dir" >/dev/null 2>&1 || problem "the installer ended with status $?"
for f in "${expected[@]}" Uninstall.exe; do
  [ -f "$unix_dir/$f" ] || problem "not installed: $f"
done
ls -l "$unix_dir" 2>/dev/null
mapfile -t links < <(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'ZR8 Utility*.lnk' 2>/dev/null)
[ ${#links[@]} -ge 1 ] || problem "no Start-menu shortcut"
printf 'shortcut: %s\n' "${links[@]}"

echo "== the installed programs find the radio"
# The settings the user has must survive the uninstall; the program test leaves its own.
wine reg add 'HKCU\Software\Orvandel\ZR8 Utility' /v FirmwareFolder /t REG_SZ /d 'C:\users\zr8\firmware' /f >/dev/null 2>&1
ZR8_TEST_PROGRAM="$win_dir\\ZR8Utility.exe" wine "$program_test" --gtest_brief=1 ||
  problem "the installed ZR8Utility.exe did not find the simulated radio"
info=$(wine "$unix_dir/zr8.exe" --port sim info 2>/dev/null | tr -d '\r')
echo "$info"
grep -q 'Serial number: 12345' <<<"$info" || problem "the installed zr8.exe did not find the simulated radio"

echo "== silent uninstall"
wine "$unix_dir/Uninstall.exe" /S >/dev/null 2>&1
# The uninstaller runs from a copy of itself in the temporary folder: wait for it.
for _ in $(seq 120); do
  [ -e "$unix_dir" ] || break
  sleep 0.5
done
if [ -e "$unix_dir" ]; then
  problem "files left after the uninstall:"
  find "$unix_dir" >&2
fi
for link in "${links[@]}"; do
  [ -e "$link" ] && problem "shortcut left after the uninstall: $link"
done
wine reg query 'HKCU\Software\Orvandel\ZR8 Utility' /v FirmwareFolder >/dev/null 2>&1 ||
  problem "the uninstall removed the user's settings"
wine reg delete 'HKCU\Software\Orvandel\ZR8 Utility' /v FirmwareFolder /f >/dev/null 2>&1
rm -rf "$WINEPREFIX/drive_c/zr8-package-test"

[ "$fail" = 0 ] && echo "Windows packages OK"
exit $fail
