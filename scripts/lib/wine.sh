# Wine helpers shared by scripts/wine-run and scripts/wine-session (sourced, not run).
#
# A prefix is owned by one build directory (build/<preset>/wineprefix). It is created on
# first use with `wineboot --init`; a stamp file marks it finished, so a prefix whose first
# boot was interrupted is booted again instead of being trusted half-made. Creation is
# serialised with flock: ctest -j2 can start two Wine processes on a fresh prefix at once.

# Bump when the prefix set-up below changes, so existing prefixes are set up again.
ZR8_WINE_PREFIX_REV=3

zr8_wine_env() {
  export WINEPREFIX=$1
  export WINEDEBUG=${WINEDEBUG:--all}
  # No mono and no gecko: nothing of ours needs them, and their install prompts would
  # block a headless run.
  case ",${WINEDLLOVERRIDES:-}," in
    *mscoree*) ;;
    *) export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mscoree,mshtml=" ;;
  esac
}

zr8_wine_stamp() { printf '%s/.zr8-prefix-ready' "$WINEPREFIX"; }

zr8_wine_prefix_is_ready() {
  [ "$(cat "$(zr8_wine_stamp)" 2>/dev/null)" = "$ZR8_WINE_PREFIX_REV" ]
}

# Boots $WINEPREFIX once and sets it up. Prints the boot log and fails if wineboot fails.
zr8_wine_prefix_ready() {
  zr8_wine_prefix_is_ready && return 0
  local lock="${WINEPREFIX%/}.lock" log="${WINEPREFIX%/}.boot.log"
  mkdir -p "$(dirname "$lock")"
  (
    flock -w 600 9 || { echo "wine: timed out waiting for $lock" >&2; exit 1; }
    zr8_wine_prefix_is_ready && exit 0
    mkdir -p "$WINEPREFIX"
    echo "wine: setting up prefix $WINEPREFIX" >&2
    if ! wineboot --init >"$log" 2>&1; then
      echo "wine: wineboot --init failed for $WINEPREFIX:" >&2
      cat "$log" >&2
      exit 1
    fi
    # Windows live inside one virtual desktop window. Xvfb has no window manager, and
    # without one Wine waits two seconds for every top-level window it hides or destroys;
    # inside a virtual desktop Wine manages the windows itself.
    local desktop=${ZR8_WINE_DESKTOP:-1280x1024}
    if [ "$desktop" != off ]; then
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$log" 2>&1 &&
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop" /f >>"$log" 2>&1 ||
        { echo "wine: could not set up the virtual desktop:" >&2; cat "$log" >&2; exit 1; }
    fi
    # A program that crashes ends at once with its exception code: no debugger is
    # attached and no crash dialog waits for a click that never comes.
    wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >>"$log" 2>&1 || true
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1 ||
      { echo "wine: could not turn the crash dialog off:" >&2; cat "$log" >&2; exit 1; }
    # Let the boot's own server and services end, so that the registry is on disk and the
    # next server (perhaps a persistent one, with a display) starts the desktop afresh.
    timeout 60 wineserver -w || true
    echo "$ZR8_WINE_PREFIX_REV" >"$(zr8_wine_stamp)"
  ) 9>"$lock"
}
