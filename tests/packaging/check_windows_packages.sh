#!/usr/bin/env bash
# The Windows packages, made by CPack from the build and used as an owner and an
# administrator would, under Wine:
# - the zip holds ZR8Utility.exe, zr8.exe and ZR8Utility.chm; the installer, both
#   programs and the installed uninstaller carry version blocks with their own names;
# - the installer, run silently into a folder with blanks, installs the three with an
#   uninstaller, a Start-menu entry for the program and its help (none for the
#   uninstaller) and a complete Add/Remove Programs entry; the installed programs find
#   the simulated radio;
# - a newer installer run without /D= closes the running program and upgrades in the
#   same folder: one entry, no uninstaller left elsewhere;
# - the older installer then refuses to replace it (exit status 3) unless given /DOWNGRADE;
# - the quiet uninstall string removes every file, shortcut, folder and key of ours and
#   leaves the user's settings alone.
#   check_windows_packages.sh <build dir> <program test exe> <version>
# Runs inside scripts/wine-session (WINEPREFIX set, wineserver running).
set -uo pipefail
build=$1
program_test=$2
version=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/windows_package_lib.sh"

: "${WINEPREFIX:?run under scripts/wine-session}"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZR8 Utility Installation'
install_key='HKLM\Software\Orvandel\ZR8 Utility Installation'
settings_key='HKCU\Software\Orvandel\ZR8 Utility'
# One more in the last part: the same program as a newer release.
newer=${version%.*}.$(( ${version##*.} + 1 ))

echo "== cpack: NSIS64 and ZIP of $version, NSIS64 of $newer"
make_packages "$build" "$out/current" "NSIS64;ZIP" || { echo "FAIL: cpack could not make the packages" >&2; exit 1; }
make_packages "$build" "$out/newer" NSIS64 "CPACK_PACKAGE_VERSION=$newer" \
  "CPACK_PACKAGE_FILE_NAME=ZR8Utility-$newer-win64" || { echo "FAIL: cpack could not make the newer installer" >&2; exit 1; }
installer=$out/current/ZR8Utility-$version-win64.exe
zip=$out/current/ZR8Utility-$version-win64.zip
newer_installer=$out/newer/ZR8Utility-$newer-win64.exe
for f in "$installer" "$zip" "$newer_installer"; do
  [ -f "$f" ] || { echo "FAIL: cpack made no $(basename "$f")" >&2; ls -R "$out" >&2; exit 1; }
done
ls -l "$installer" "$zip" "$newer_installer"

expected=(ZR8Utility.exe zr8.exe ZR8Utility.chm)
mkdir -p "$out/zip"
(cd "$out/zip" && cmake -E tar xf "$zip")
for f in "${expected[@]}"; do
  [ -f "$out/zip/$f" ] || problem "the zip lacks $f"
done

echo "== version blocks"
# file, FileDescription, OriginalFilename
check_version_block() {
  local file=$1 description=$2 original=$3 got
  for field in FileDescription OriginalFilename ProductVersion CompanyName; do
    got=$(version_field "$file" $field)
    printf '  %-22s %-17s %s\n' "$(basename "$file")" "$field" "$got"
    case $field in
      FileDescription) [ "$got" = "$description" ] || problem "$(basename "$file"): FileDescription '$got', not '$description'" ;;
      OriginalFilename) [ "$got" = "$original" ] || problem "$(basename "$file"): OriginalFilename '$got', not '$original'" ;;
      ProductVersion) [ "$got" = "$version" ] || problem "$(basename "$file"): ProductVersion '$got', not '$version'" ;;
      CompanyName) [ "$got" = Orvandel ] || problem "$(basename "$file"): CompanyName '$got'" ;;
    esac
  done
}
check_version_block "$installer" "Orvandel ZR8 Utility Setup" "ZR8Utility-$version-win64.exe"
check_version_block "$out/zip/ZR8Utility.exe" "Orvandel ZR8 Utility" ZR8Utility.exe
check_version_block "$out/zip/zr8.exe" "Orvandel ZR8 command-line tool" zr8.exe

echo "== silent install into a folder with blanks"
test_root="$WINEPREFIX/drive_c/zr8 package test"
unix_dir="$test_root/ZR8 Utility"
win_dir='C:\zr8 package test\ZR8 Utility'
rm -rf "$test_root"
mkdir -p "$test_root/setup"
cp "$installer" "$newer_installer" "$test_root/setup/"
setup='C:\zr8 package test\setup'
win_run "\"$setup\\ZR8Utility-$version-win64.exe\" /S /D=$win_dir" || problem "the installer ended with status $?"
for f in "${expected[@]}" Uninstall.exe; do
  [ -f "$unix_dir/$f" ] || problem "not installed: $f"
done
ls -l "$unix_dir" 2>/dev/null
check_version_block "$unix_dir/Uninstall.exe" "Orvandel ZR8 Utility Setup" "ZR8Utility-$version-win64.exe"

check_entry() {  # expected version
  local name value
  declare -A want=(
    [DisplayName]="Orvandel ZR8 Utility" [DisplayVersion]=$1 [Publisher]=Orvandel
    [InstallLocation]=$win_dir [DisplayIcon]="$win_dir\\ZR8Utility.exe,0"
    [HelpLink]="$win_dir\\ZR8Utility.chm"
    [UninstallString]="\"$win_dir\\Uninstall.exe\"" [QuietUninstallString]="\"$win_dir\\Uninstall.exe\" /S")
  for name in "${!want[@]}"; do
    value=$(reg_value "$uninstall_key" "$name")
    [ "$value" = "${want[$name]}" ] || problem "uninstall entry: $name is '$value', not '${want[$name]}'"
  done
  value=$(reg_value "$uninstall_key" EstimatedSize)
  # In KiB: the three files take more than a megabyte.
  [[ $value =~ ^0x[0-9a-f]+$ ]] && [ $((value)) -gt 1024 ] || problem "uninstall entry: EstimatedSize '$value'"
  [ "$(reg_value "$install_key" "")" = "$win_dir" ] || problem "the install folder is not recorded"
}
check_entry "$version"
wine reg query "$uninstall_key" | tr -d '\r'

mapfile -t links < <(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -iname '*.lnk' -ipath '*ZR8*' 2>/dev/null)
printf 'shortcut: %s\n' "${links[@]}"
[ ${#links[@]} -eq 2 ] || problem "expected two Start-menu shortcuts, the program and its help"
for link in "${links[@]}"; do
  [[ $link == *Uninstall* ]] && problem "an uninstaller shortcut in the Start menu: $link"
done

echo "== the installed programs find the radio"
# The settings the user has must survive the uninstall; the program test leaves its own.
wine reg add "$settings_key" /v FirmwareFolder /t REG_SZ /d 'C:\users\zr8\firmware' /f >/dev/null 2>&1
ZR8_TEST_PROGRAM="$win_dir\\ZR8Utility.exe" wine "$program_test" --gtest_brief=1 ||
  problem "the installed ZR8Utility.exe did not find the simulated radio"
info=$(wine "$unix_dir/zr8.exe" --port sim info 2>/dev/null | tr -d '\r')
echo "$info"
grep -q 'Serial number: 12345' <<<"$info" || problem "the installed zr8.exe did not find the simulated radio"

echo "== upgrade to $newer without /D=, the program running"
wine "$unix_dir/ZR8Utility.exe" --simulate >/dev/null 2>&1 &
program_pid=$!
sleep 5  # time for its main window to appear
win_run "\"$setup\\ZR8Utility-$newer-win64.exe\" /S" || problem "the upgrade ended with status $?"
for _ in $(seq 40); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$program_pid" 2>/dev/null; then
  problem "the running ZR8Utility.exe was not closed by the upgrade"
  kill "$program_pid" 2>/dev/null
fi
wait "$program_pid" 2>/dev/null
check_entry "$newer"
[ "$(version_field "$unix_dir/ZR8Utility.exe" ProductVersion)" = "$version" ] || problem "the upgrade did not install into $win_dir"
[ -f "$unix_dir/Uninstall.exe" ] || problem "no uninstaller after the upgrade"
[ "$(version_field "$unix_dir/Uninstall.exe" ProductVersion)" = "$newer" ] || problem "the uninstaller is not the newer one"
[ -e "$WINEPREFIX/drive_c/Program Files/Orvandel" ] && problem "the upgrade installed into Program Files"
entries=$( (wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
            wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall') 2>/dev/null | grep -ci 'ZR8')
[ "$entries" = 1 ] || problem "$entries uninstall entries after the upgrade, not one"

echo "== downgrade"
win_run "\"$setup\\ZR8Utility-$version-win64.exe\" /S"
status=$?
[ "$status" = 3 ] || problem "the older installer ended with status $status, not 3 (downgrade refused)"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$newer" ] || problem "a downgrade without /DOWNGRADE replaced $newer"
win_run "\"$setup\\ZR8Utility-$version-win64.exe\" /S /DOWNGRADE" || problem "the downgrade with /DOWNGRADE ended with status $?"
check_entry "$version"

echo "== quiet uninstall"
uninstall_quietly "$uninstall_key"
wait_gone "$unix_dir" || { problem "files left after the uninstall:"; find "$unix_dir" >&2; }
for link in "${links[@]}"; do
  [ -e "$link" ] && problem "shortcut left after the uninstall: $link"
  [ -e "$(dirname "$link")" ] && problem "Start-menu folder left after the uninstall: $(dirname "$link")"
done
reg_has "$uninstall_key" && problem "the uninstall entry is left"
reg_has 'HKLM\Software\Orvandel' && problem "HKLM\\Software\\Orvandel is left"
[ "$(reg_value "$settings_key" FirmwareFolder)" = 'C:\users\zr8\firmware' ] || problem "the uninstall removed the user's settings"
wine reg delete "$settings_key" /v FirmwareFolder /f >/dev/null 2>&1
rm -rf "$test_root"

[ "$fail" = 0 ] && echo "Windows packages OK"
exit $fail
