#!/usr/bin/env bash
# Runs a command on the current X display with a window manager (openbox) started
# before it and stopped after it, for the window tests that must hold with one too.
# Usage: scripts/with_window_manager.sh command [arguments...]
set -uo pipefail
ready=$(mktemp -u)
openbox --sm-disable --startup "touch $ready" >/dev/null 2>&1 &
wm=$!
until [ -e "$ready" ]; do
  kill -0 "$wm" 2>/dev/null || { echo "The window manager did not start"; exit 1; }
  sleep 0.1
done
rm -f "$ready"
"$@"
status=$?
kill "$wm"
wait "$wm" 2>/dev/null
exit "$status"
