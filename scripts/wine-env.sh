# Sourced by run.sh and test.sh: a private Wine prefix, an X display of our own, and the clean-up
# of everything started, by PID, however the run ends.
#
# After sourcing: zelmor_wine_setup <build-dir>; zelmor_xvfb_start; "$WINE64" <exe> [args...]
# zelmor_cleanup runs on EXIT.

WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko installers, no desktop menus, and no crash debugger that would wait forever.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"

ZELMOR_PIDS=()
ZELMOR_XVFB_PID=""
ZELMOR_WINESERVER_PID=""

zelmor_cleanup() {
  local pid
  for pid in "${ZELMOR_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  if [ -n "$ZELMOR_WINESERVER_PID" ]; then
    # The prefix's service processes would outlive a killed server; -k ends them with it.
    [ -n "${WINEPREFIX:-}" ] && timeout 20 "$WINESERVER" -k 2>/dev/null || true
    # Ending our own wineserver ends every Windows process of this prefix with it.
    kill "$ZELMOR_WINESERVER_PID" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$ZELMOR_WINESERVER_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$ZELMOR_WINESERVER_PID" 2>/dev/null || true
    # A Windows process stuck in its own exit (seen once under Wine: a thread left waiting on a
    # pipe) keeps -k waiting and outlives the server, and so do the prefix's services with it.
    # They are ours by their WINEPREFIX.
    [ -n "${WINEPREFIX:-}" ] && zelmor_kill_prefix_processes "$WINEPREFIX"
  fi
  if [ -n "$ZELMOR_XVFB_PID" ]; then
    kill "$ZELMOR_XVFB_PID" 2>/dev/null || true
    wait "$ZELMOR_XVFB_PID" 2>/dev/null || true
  fi
  ZELMOR_PIDS=(); ZELMOR_WINESERVER_PID=""; ZELMOR_XVFB_PID=""
}
zelmor_kill_prefix_processes() {
  local environ pid
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}; pid=${pid%/environ}
    case $(readlink "/proc/$pid/exe" 2>/dev/null) in */wine*) ;; *) continue ;; esac
    if tr '\0' '\n' <"$environ" 2>/dev/null | grep -qxF "WINEPREFIX=$1"; then
      kill -9 "$pid" 2>/dev/null || true
    fi
  done
}
trap zelmor_cleanup EXIT
trap 'exit 130' INT TERM

# Creates the prefix once per build folder; later runs reuse it.
zelmor_wine_setup() {
  export WINEPREFIX="$(cd "$1" && pwd)/wineprefix"
  if [ ! -f "$WINEPREFIX/.zelmor-ready-2" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    echo "creating the Wine prefix $WINEPREFIX (once)"
    # No display while the prefix is made: nothing of it needs one, and nothing can hang on one.
    DISPLAY= timeout 300 "$WINE64" wineboot -i >/dev/null 2>&1 || true
    # Without a window manager every dialog took about 2 s to close; unmanaged windows close at once.
    DISPLAY= timeout 60 "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    DISPLAY= timeout 60 "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'ＭＳ ゴシック' /d IPAGothic /f >/dev/null 2>&1
    DISPLAY= timeout 60 "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null 2>&1
    DISPLAY= timeout 60 "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
    DISPLAY= timeout 60 "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
    timeout 60 "$WINESERVER" -w || "$WINESERVER" -k
    touch "$WINEPREFIX/.zelmor-ready-2"
  fi
  # Wine draws the caption buttons with Marlett; without it in the prefix they came out as the
  # letters "0 1 r" in every screenshot.
  local marlett=/usr/share/wine/fonts/marlett.ttf
  if [ -f "$marlett" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
    cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # Our own wineserver, so that it can be stopped by PID at the end.
  "$WINESERVER" -f -p >/dev/null 2>&1 &
  ZELMOR_WINESERVER_PID=$!
  for _ in $(seq 50); do
    ls /tmp/.wine-"$(id -u)"/server-*/socket >/dev/null 2>&1 && break
    sleep 0.1
  done
}

# An X display of our own (Wine's DDE, menus and screenshots need one); ZELMOR_XVFB_SCREEN sets
# its size (default 1280x1024x24).
zelmor_xvfb_start() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "${ZELMOR_XVFB_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
    ZELMOR_XVFB_PID=$!
    # Two runs that start together may both find :n free; the lock file names the one that won.
    # The loser exits, but not at once, so its being alive proves nothing: the lock decides.
    local owner=""
    for _ in $(seq 50); do
      # The lock file may not be there yet: under set -e a failed read must not end the caller.
      owner=$( { tr -d ' \n' <"/tmp/.X$n-lock"; } 2>/dev/null || true)
      [ -n "$owner" ] && [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$ZELMOR_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    if [ "$owner" = "$ZELMOR_XVFB_PID" ] && kill -0 "$ZELMOR_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
    kill "$ZELMOR_XVFB_PID" 2>/dev/null
    wait "$ZELMOR_XVFB_PID" 2>/dev/null
    ZELMOR_XVFB_PID=""
  done
  echo "no free X display" >&2
  return 1
}

# Starts a Windows program in the background and remembers it for the clean-up.
zelmor_wine_bg() {
  "$WINE64" "$@" >>"${ZELMOR_BG_LOG:-/dev/null}" 2>&1 &
  ZELMOR_PIDS+=($!)
  disown $!  # its end at clean-up is expected: no job notice
}
