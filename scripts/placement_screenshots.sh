#!/usr/bin/env bash
# Starts vorbel on a virtual screen with two generated images and writes what the
# screen shows while sources are placed with the mouse into shots/placement-*.png:
# a source selected with its handles, a body drag with its line, a handle drag, a
# blending box being dragged, and the status bar's move/size and fix-position panes.
set -euo pipefail
source "$(dirname "$0")/shot_common.sh"
shot_prefix=placement-

# Prints "x y" of the centre of the handle nearest the bottom-right corner in a
# screenshot (handles on the default black base are filled RGB 0x50 0x3F 0xD0).
handle_centre() {
  /usr/bin/python3 - "$1" <<'PY'
import sys
from PIL import Image
image = Image.open(sys.argv[1]).convert("RGB")
w, h = image.size
pixels = image.load()
best = None
for y in range(h):
    for x in range(w):
        if pixels[x, y] == (0x50, 0x3F, 0xD0) and (best is None or x + y > best[0] + best[1]):
            best = (x, y)
print(best[0] - 6, best[1] - 7)
PY
}

steps() {
  local work=$1
  use_private_home "$work"
  start_program "$work/first.png" "$work/second.png"
  # A click gives the view the keys (and flashes each source); '2' selects source 2.
  xdotool mousemove --window "$wid" 300 300 click 1
  sleep 1
  xdotool key 2
  sleep 0.5
  shot 01-source-2-with-handles
  xdotool mousemove --window "$wid" 300 300 mousedown 1
  sleep 0.2
  xdotool mousemove --window "$wid" 360 330
  sleep 0.2
  xdotool mousemove --window "$wid" 420 380
  sleep 0.5
  shot 02-body-drag-line
  xdotool mouseup 1
  sleep 1
  shot 03-source-2-moved
  import -window root "$work/now.png"
  read -r hx hy < <(handle_centre "$work/now.png")
  xdotool mousemove "$hx" "$hy" mousedown 1
  sleep 0.2
  xdotool mousemove "$((hx - 60))" "$((hy - 40))"
  sleep 0.2
  xdotool mousemove "$((hx - 120))" "$((hy - 80))"
  sleep 0.5
  shot 04-handle-drag
  xdotool mouseup 1
  sleep 1
  shot 05-after-handle-drag
  xdotool key b
  sleep 0.3
  xdotool mousemove --window "$wid" 250 300 mousedown 1
  sleep 0.2
  xdotool mousemove --window "$wid" 320 350
  sleep 0.2
  xdotool mousemove --window "$wid" 450 470
  sleep 0.5
  shot 06-blending-box
  xdotool mouseup 1
  sleep 1
  stop_program
}

if [ "${1:-}" = --steps ]; then
  steps "$2"
  exit 0
fi

prepare_shots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_two_sources "$work"
run_steps_on_virtual_screen "$0" "$work" 1400x1000
