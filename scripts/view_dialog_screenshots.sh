#!/usr/bin/env bash
# Starts vorbel on a virtual screen with two generated images, opens the Edit
# menu's target size, fix and sizing dialogs, and writes what the screen shows into
# shots/view-dialogs-*.png.
set -euo pipefail
source "$(dirname "$0")/shot_common.sh"
shot_prefix=view-dialogs-

steps() {
  local work=$1
  use_private_home "$work"
  start_program "$work/first.png" "$work/second.png"
  # Opens the Edit menu item reached by pressing key (Up or Down) count times
  # (the menu wraps round; greyed items are passed over).
  edit_item() {
    xdotool windowfocus --sync "$wid" key alt+e
    sleep 0.7
    for _ in $(seq "$2"); do xdotool key "$1"; sleep 0.1; done
    xdotool key Return
    sleep 1.5
  }
  dialog() { xdotool search --sync --onlyvisible --name "$1" | head -n 1; }

  edit_item Up 4  # Target Image Size...
  shot 1-target-size
  xdotool key Escape
  sleep 0.5

  # The fix dialog: source 1 fixed at its middle; the view draws the connector
  # between the two fix points while the dialog is open.
  edit_item Up 3  # Fix positions...
  local fix X Y WIDTH HEIGHT
  fix=$(dialog '^Source Edge')
  eval "$(xdotool getwindowgeometry --shell "$fix")"
  xdotool mousemove $((X + 37)) $((Y + 246)) click 1   # source 1: Middle
  sleep 0.5
  xdotool mousemove $((X + 269)) $((Y + 168)) click 1  # source 2: Bottom Right
  sleep 0.7
  shot 2-fix-positions
  xdotool key Escape
  sleep 0.5

  # The sizing dialog with source 1's left margin typed: the right margin, which
  # will be recomputed, turns yellow-green.
  edit_item Down 0  # Sizes..., the first item
  local sizes
  sizes=$(dialog '^Source Sizing')
  eval "$(xdotool getwindowgeometry --shell "$sizes")"
  # Without a window manager the dialog gets the keyboard only when given it; GTK
  # reports a box losing the focus only inside a window that has it.
  xdotool windowfocus --sync "$sizes"
  xdotool mousemove $((X + 64)) $((Y + 122)) click 1  # source 1: Left
  xdotool key ctrl+a
  xdotool type 20
  sleep 0.5
  shot 3-sizes-left-typed
  # "Apply" takes the focus: the left margin is applied, the source moves, the right
  # margin is recomputed, and its change marks the left box in turn.
  xdotool mousemove $((X + 56)) $((Y + 365)) click 1
  sleep 1
  shot 4-sizes-applied
  xdotool key Escape
  sleep 0.5

  stop_program
}

if [ "${1:-}" = --steps ]; then
  steps "$2"
  exit 0
fi

prepare_shots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - "$work" <<'PY'
import sys
from PIL import Image
work = sys.argv[1]
first = Image.new("RGB", (640, 480))
px = first.load()
for y in range(480):
    for x in range(640):
        px[x, y] = (x * 255 // 640, y * 255 // 480, 128)
first.save(f"{work}/first.png")
Image.new("RGB", (400, 300), (30, 160, 60)).save(f"{work}/second.png")
PY
run_steps_on_virtual_screen "$0" "$work" 1280x1024
