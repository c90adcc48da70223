#!/bin/sh
# Runs a command on a desktop of its own, as a user's: an X server (Xvfb) on
# a display nobody else uses, with the openbox window manager framing the
# windows. The command runs with DISPLAY and XAUTHORITY set and Qt on X11.
#
#   tools/desktop-session.sh build/dev/bin/tallyvane
#
# When the server or the window manager cannot be started the command does
# not run and the script exits with 2: a test run through it fails, it is
# never skipped.
set -eu

if [ "$#" -eq 0 ]; then
  echo "usage: $0 <command> [arguments...]" >&2
  exit 2
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/tallyvane-desktop.XXXXXX")
server=""
wm=""
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  [ -n "$wm" ] && wait "$wm" 2>/dev/null || true
  [ -n "$server" ] && wait "$server" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT INT TERM

fail() {
  echo "desktop-session: $1" >&2
  for log in "$dir"/*.log; do
    [ -s "$log" ] && sed 's/^/  /' "$log" >&2
  done
  exit 2
}

for tool in Xvfb xauth openbox xprop; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed (tools/install-deps.sh installs it)"
done

# The server takes the cookie of this file; clients find it for the display
# the server picked.
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
export XAUTHORITY="$dir/Xauthority"
touch "$XAUTHORITY"
xauth -q -f "$XAUTHORITY" add :0 . "$cookie"

# Starts the server on a display it picks and the window manager on it.
# Servers started side by side can race for one display, and the loser's
# window manager then finds no display: the pair is started again.
start_desktop() {
  : >"$dir/display"
  Xvfb -displayfd 3 -auth "$XAUTHORITY" -nolisten tcp -screen 0 1280x1024x24 3>"$dir/display" 2>"$dir/xvfb.log" &
  server=$!
  tries=0
  while [ ! -s "$dir/display" ]; do
    kill -0 "$server" 2>/dev/null || { why="the X server did not start"; return 1; }
    tries=$((tries + 1))
    [ "$tries" -gt 100 ] && { why="the X server did not start within 10 seconds"; return 1; }
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$dir/display")"
  xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$cookie"

  openbox --sm-disable >"$dir/openbox.log" 2>&1 &
  wm=$!
  tries=0
  # A window manager names itself on the root window once it is running.
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    kill -0 "$wm" 2>/dev/null || { why="the window manager did not start"; return 1; }
    tries=$((tries + 1))
    [ "$tries" -gt 100 ] && { why="the window manager did not start within 10 seconds"; return 1; }
    sleep 0.1
  done
}

why=""
attempt=1
until start_desktop; do
  [ "$attempt" -ge 3 ] && fail "$why"
  attempt=$((attempt + 1))
  [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  [ -n "$wm" ] && wait "$wm" 2>/dev/null || true
  [ -n "$server" ] && wait "$server" 2>/dev/null || true
  wm=""
  server=""
done

export QT_QPA_PLATFORM=xcb
set +e
"$@"
status=$?
set -e
exit "$status"
