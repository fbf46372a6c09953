# Helpers of the Windows package checks (sourced; WINEPREFIX set, wineserver running).
#   problem MESSAGE            records a failure
#   win_run COMMAND-LINE       runs a Windows command line as cmd.exe would (no quoting
#                              added: "/D=C:\a folder" reaches the installer as written);
#                              returns its exit status
#   reg_value KEY NAME         the value's data, or nothing (status 1) when it is missing;
#                              NAME "" is the key's default value
#   reg_has KEY                status 0 when the key exists
#   version_field FILE NAME    a string of the file's version block (via wrestool)
#   wait_gone PATH             waits up to a minute for PATH to disappear
#   uninstall_quietly KEY      runs the QuietUninstallString of the uninstall entry KEY and
#                              waits for the uninstall to end (the entry goes last; the
#                              uninstaller runs from a copy of itself in the temporary folder)
fail=0
problem() { echo "FAIL: $*" >&2; fail=1; }

win_run() {
  local bat="$WINEPREFIX/drive_c/zr8-package-run.bat"
  printf '@echo off\r\n%s\r\nexit /b %%errorlevel%%\r\n' "$1" >"$bat"
  wine cmd /c 'C:\zr8-package-run.bat' >/dev/null 2>&1
}

reg_value() {
  local out
  local name=$2 query=(/v "$2")
  [ -z "$name" ] && name='(Default)' && query=(/ve)
  out=$(wine reg query "$1" "${query[@]}" 2>/dev/null | tr -d '\r') || return 1
  # "    Name    REG_SZ    data": everything after the type.
  grep -F -- "    $name    REG_" <<<"$out" | head -1 | sed 's/^ *.*    REG_[A-Z_]*    //'
}

reg_has() { wine reg query "$1" >/dev/null 2>&1; }

version_field() {
  wrestool -x --raw --type=16 "$1" 2>/dev/null | strings -el -n 2 | grep -A1 -x "$2" | sed -n 2p
}

wait_gone() {
  for _ in $(seq 120); do
    [ -e "$1" ] || return 0
    sleep 0.5
  done
  return 1
}

uninstall_quietly() {
  local command
  command=$(reg_value "$1" QuietUninstallString) || { problem "no QuietUninstallString in $1"; return 1; }
  win_run "$command" || { problem "the uninstaller ended with status $?"; return 1; }
  for _ in $(seq 120); do
    reg_has "$1" || return 0
    sleep 0.5
  done
  problem "the uninstall did not end within a minute"
  return 1
}

# The Windows path of a file under the prefix's drive C.
win_path() { local p=${1#"$WINEPREFIX/drive_c/"}; echo "C:\\${p//\//\\}"; }

# ZR8Utility-<version>-win64.exe and its zip, made by cpack from the build into DIR, with
# CPack settings of the test on top of the build's (a config that reads the build's first):
#   make_packages BUILD DIR GENERATORS [NAME=VALUE...]
make_packages() {
  local build=$1 dir=$2 generators=$3 setting
  shift 3
  mkdir -p "$dir"
  {
    echo "include([==[$build/CPackConfig.cmake]==])"
    echo "set(CPACK_OUTPUT_FILE_PREFIX [==[$dir]==])"
    for setting in "$@"; do
      echo "set(${setting%%=*} [==[${setting#*=}]==])"
    done
  } >"$dir/CPackConfig.cmake"
  if ! (cd "$build" && cpack --config "$dir/CPackConfig.cmake" -G "$generators" -B "$dir/cpack" \
        >"$dir/cpack.log" 2>&1); then
    cat "$dir/cpack.log" >&2
    return 1
  fi
}
