#!/bin/sh
# Sets everything up, builds, and starts the desktop program. Without a
# display it starts a virtual one (Xvfb) and says which DISPLAY it used, so
# the window can be looked at with standard X tools (xdotool, import).
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh default
program="build/Halvorn/Oravent/oravent"
if [ -z "${DISPLAY:-}" ]; then
  n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT INT TERM
  i=0
  while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  export DISPLAY=":$n"
  echo "No display was set: Oravent runs on the virtual display DISPLAY=$DISPLAY"
fi
"$program" "$@"
