#!/usr/bin/env bash
# Runs a journey (journey.py unless another is named) against KALVORO on a desktop of its own:
# a private X server, openbox as the window manager, a D-Bus session with the accessibility bus,
# and fresh home, XDG and current folders. Whatever happens, every process started here is ended
# and the folders are removed; the exit status is the journey's.
#   run_journey.sh KALVORO [JOURNEY.py]
set -u

kalvoro=${1:?usage: run_journey.sh KALVORO [JOURNEY.py]}
kalvoro=$(realpath "$kalvoro")
here=$(cd "$(dirname "$0")" && pwd)
script=$here/${2:-journey.py}

tools=(Xvfb openbox dbus-run-session xdotool xprop /usr/libexec/at-spi-bus-launcher /usr/libexec/at-spi2-registryd)
# The screen reader's journey needs the screen reader and its speech server.
[[ $script == *orca* ]] && tools+=(orca speech-dispatcher)
for tool in "${tools[@]}"; do
  if ! command -v "$tool" >/dev/null; then
    echo "FAIL run_journey: $tool is not installed (tools/dev installs it)" >&2
    exit 1
  fi
done
# The system's Python: a Python of the user's own usually lacks the GObject bindings.
python=/usr/bin/python3
if ! "$python" -c 'import pyatspi' 2>/dev/null; then
  echo "FAIL run_journey: $python cannot import pyatspi (python3-pyatspi)" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kalvoro-journey.XXXXXX")
xvfb_pid= wm_pid= session_pid=

stop() {  # ends PID (a process group when negative), by force once it has had a second to go
  local pid=$1 i
  kill -TERM -- "$pid" 2>/dev/null || return 0
  for i in 1 2 3 4 5 6 7 8 9 10; do
    kill -0 -- "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL -- "$pid" 2>/dev/null
}

cleanup() {
  # The session's group holds the program, the buses and the registry the buses started.
  [[ -n $session_pid ]] && stop "-$session_pid"
  [[ -n $wm_pid ]] && stop "$wm_pid"
  [[ -n $xvfb_pid ]] && stop "$xvfb_pid"
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

mkdir -p "$work"/{home,config,state,data,cache,runtime,cwd}
chmod 700 "$work/runtime"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state XDG_DATA_HOME=$work/data
export XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS WAYLAND_DISPLAY SESSION_MANAGER XAUTHORITY
export KALVORO_TODAY=2026-12-07
if locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then export LANG=ja_JP.UTF-8; else export LANG=C.UTF-8; fi
unset LC_ALL LANGUAGE
export QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_IM_MODULE XMODIFIERS
cd "$work/cwd"

# The X server picks a free display itself and writes its number once it accepts clients;
# openbox is managing the screen once it has named the current desktop. Two desktops started at
# the same moment (another journey, another build's tests) may both try one display, and the
# loser's window manager then cannot open it: the whole desktop is started again, up to three
# times, before the journey is failed.
start_desktop() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  display=$(tr -dc 0-9 <"$work/display")
  if [[ -z $display ]]; then
    echo "the X server did not start:" >"$work/desktop.why"
    cat "$work/xvfb.log" >>"$work/desktop.why"
    return 1
  fi
  export DISPLAY=:$display
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 100); do
    xdotool get_desktop >/dev/null 2>&1 && return 0
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "the window manager did not start on :$display:" >"$work/desktop.why"
  cat "$work/openbox.log" >>"$work/desktop.why"
  return 1
}
started=
for attempt in 1 2 3; do
  if start_desktop; then started=1; break; fi
  stop "$wm_pid"; stop "$xvfb_pid"
  wm_pid= xvfb_pid=
  wait 2>/dev/null
  sleep "$attempt"
done
if [[ -z $started ]]; then
  echo "FAIL $(cat "$work/desktop.why")" >&2
  exit 1
fi

# A session of its own, in a process group of its own so that it can be ended whole; the
# accessibility bus launcher is started at once, and the registry by that bus on first use.
# What the buses say goes to a log; the journey's own errors to the test's output (fd 3).
setsid dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$1/atspi.log" 2>&1 &
  # The bus is asked for by name; a second launcher would be started if it were asked too soon.
  for _ in $(seq 50); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q "boolean true" && break
    sleep 0.1
  done
  PYTHONPATH=$(dirname "$3") "$2" "$3" "$4" 2>&3
' journey "$work" "$python" "$script" "$kalvoro" 3>&2 2>"$work/dbus.log" &
session_pid=$!
wait "$session_pid"
status=$?
# Whatever the session left running in its group goes with the cleanup.
exit "$status"
