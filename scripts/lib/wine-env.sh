# Shared helpers for running the Windows build under Wine on a virtual X display.
# Source this file; every function is prefixed focura_.

# The prefix belonging to the build tree that holds `program`: the nearest parent directory with a
# CMakeCache.txt, plus /wineprefix.
focura_prefix_for() {
  local dir
  dir="$(cd "$(dirname "$1")" 2>/dev/null && pwd || true)"
  while [ -n "$dir" ] && [ "$dir" != "/" ]; do
    if [ -f "$dir/CMakeCache.txt" ]; then
      echo "$dir/wineprefix"
      return
    fi
    dir="$(dirname "$dir")"
  done
  echo "${HOME:-/tmp}/.cache/focura/wineprefix"
}

focura_wine_env() {
  export WINEPREFIX="$1"
  export WINEARCH=win64
  export WINEDEBUG="${FOCURA_WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# The wineserver socket of the current prefix exists while a server runs for it. Upstream Wine
# keeps it under /tmp/.wine-<uid>; Debian's Wine makes a fresh /tmp/wine-XXXXXX for it and names
# that folder in <prefix>/wineserver. Missing the Debian place made every test's wine-run think
# no server ran and boot Wine again under the prefix lock, so that on a loaded machine a short
# test waited for the boots of the tests beside it and could run out of its time.
focura_wineserver_running() {
  [ -d "$WINEPREFIX" ] || return 1
  local dev ino server
  dev="$(stat -c '%d' "$WINEPREFIX")"
  ino="$(stat -c '%i' "$WINEPREFIX")"
  server="server-$(printf '%x' "$dev")-$(printf '%x' "$ino")"
  [ -S "/tmp/.wine-$(id -u)/$server/socket" ] && return 0
  local named
  named="$(cat "$WINEPREFIX/wineserver" 2>/dev/null || true)"
  [ -n "$named" ] || return 1
  [ -S "/tmp/$named/$server/socket" ] || [ -S "${TMPDIR:-/tmp}/$named/$server/socket" ]
}

# Creates the prefix on first use (about 8 s) and makes sure a wineserver and Wine's own services
# run detached from the caller's pipes: a service that inherited a test's stdout would keep CTest
# waiting for end of file long after the test has ended.
focura_wine_boot() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock -w 300 9 || { echo "wine-run: cannot lock $WINEPREFIX.lock" >&2; exit 1; }
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "wine-run: creating the Wine prefix $WINEPREFIX" >&2
      timeout -k 5 180 wineboot --init </dev/null >/dev/null 2>&1 9>&- || true
      # Let the set-up session end before the first real one starts: services left over from it
      # run beside a second set started by the next program, and out-of-process COM then waits
      # forever for a class factory (seen: three services.exe and a dead rpcss in one prefix).
      timeout -k 5 120 wineserver -w </dev/null >/dev/null 2>&1 9>&- || true
    fi
    if ! focura_wineserver_running; then
      setsid wineserver --persistent="${FOCURA_WINESERVER_LINGER:-60}" </dev/null >/dev/null 2>&1 9>&- &
      # A Wine program that finds no server starts one of its own, and Debian's wrapper gives it
      # -p0: it ends the moment no program runs, between two tests, and takes Wine's services
      # with it while the next test starts. On a loaded machine the server above can take a
      # while to open its socket, so nothing runs before it has (30 s at most).
      local i
      for i in $(seq 1 300); do
        focura_wineserver_running && break
        sleep 0.1
      done
      timeout -k 5 120 wine wineboot </dev/null >/dev/null 2>&1 9>&- || true
    fi
  ) 9>"$WINEPREFIX.lock"
}

# focura_wine SECONDS program [args...]: one Wine run with a time limit. The "wine32 is missing"
# notice that the Debian launcher prints is dropped from stderr.
focura_wine() {
  local limit="$1"
  shift
  case "$WINEDEBUG" in
    -all*) timeout -k 5 "$limit" wine "$@" ;;
    *) timeout -k 5 "$limit" wine "$@" 2> >(grep -v -E 'wine32 is missing|multiarch needs|dpkg --add-architecture|apt-get install wine32' >&2) ;;
  esac
}

focura_wine_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    timeout -k 2 20 wineserver -k </dev/null >/dev/null 2>&1 || true
  fi
}

# Starts Xvfb on a free display and openbox on it, both detached; exports DISPLAY.
# Sets FOCURA_XVFB_PID and FOCURA_OPENBOX_PID for focura_stop_display.
focura_start_display() {
  local logdir="$1" n="" candidate i
  mkdir -p "$logdir"
  # Another run may take the same free number at the same moment: then its Xvfb wins, ours ends,
  # and the next free number is tried.
  for candidate in $(seq 90 140); do
    [ -e "/tmp/.X$candidate-lock" ] || [ -e "/tmp/.X11-unix/X$candidate" ] && continue
    setsid Xvfb ":$candidate" -screen 0 1280x1024x24 -nolisten tcp </dev/null \
      >"$logdir/xvfb.log" 2>&1 3>&- &
    FOCURA_XVFB_PID=$!
    for i in $(seq 1 100); do
      DISPLAY=":$candidate" xdpyinfo >/dev/null 2>&1 && break
      kill -0 "$FOCURA_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$FOCURA_XVFB_PID" 2>/dev/null && DISPLAY=":$candidate" xdpyinfo >/dev/null 2>&1; then
      n="$candidate"
      break
    fi
    kill "$FOCURA_XVFB_PID" 2>/dev/null || true
  done
  if [ -z "$n" ]; then
    echo "Xvfb did not start on any display from :90 to :140 (see $logdir/xvfb.log)" >&2
    return 1
  fi
  export DISPLAY=":$n"
  # openbox takes the window manager selection within a moment; windows created before it
  # would stay frameless. Right after Xvfb starts it sometimes fails to connect: try again.
  local attempt
  for attempt in 1 2 3; do
    setsid openbox </dev/null >"$logdir/openbox.log" 2>&1 3>&- &
    FOCURA_OPENBOX_PID=$!
    for i in $(seq 1 50); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
      kill -0 "$FOCURA_OPENBOX_PID" 2>/dev/null || break
      sleep 0.1
    done
    sleep 0.5
  done
  echo "openbox did not start on $DISPLAY (see $logdir/openbox.log)" >&2
  return 1
}

focura_stop_display() {
  if [ -n "${FOCURA_OPENBOX_PID:-}" ]; then kill "$FOCURA_OPENBOX_PID" 2>/dev/null || true; fi
  if [ -n "${FOCURA_XVFB_PID:-}" ]; then kill "$FOCURA_XVFB_PID" 2>/dev/null || true; fi
  FOCURA_OPENBOX_PID=""
  FOCURA_XVFB_PID=""
}
