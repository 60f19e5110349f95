#!/usr/bin/env bash
# Starts vorbel on a virtual screen with a fixed source 1 and a folder of 3000 large
# JPEGs as source 2 (20 pictures under many names, so that the run lasts), runs a
# batch from the Edit menu and writes what the screen shows into shots/batch-*.png:
# the batch dialog, the sort dialog, the status bar during the run, the Esc
# question and the window after answering Yes.
set -euo pipefail
source "$(dirname "$0")/shot_common.sh"

steps() {
  local work=$1
  use_private_home "$work"
  start_program "$work/one/first.png" "$work/two/p0001.jpg"
  # Edit > Batch vorbel... (no window manager: the frame sits at the screen's origin).
  xdotool mousemove --window "$wid" 55 11 click 1
  sleep 0.7
  xdotool mousemove --window "$wid" 116 136 click 1
  sleep 1.5
  shot batch-01-dialog
  xdotool mousemove 744 622 click 1  # "Sorting"
  sleep 1
  shot batch-02-sort-dialog
  xdotool key Escape
  sleep 0.5
  xdotool mousemove 542 710 click 1  # "OK"
  sleep 2
  shot batch-03-running
  xdotool key Escape
  sleep 2
  shot batch-04-esc-question
  xdotool key Return
  sleep 2
  shot batch-05-stopped
  stop_program
}

if [ "${1:-}" = --steps ]; then
  steps "$2"
  exit 0
fi

prepare_shots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/one" "$work/two"
make_two_sources "$work/one"
for i in $(seq 1 20); do
  /usr/bin/convert -size 2048x1536 -seed "$i" plasma:fractal "$work/two/p$(printf %04d "$i").jpg"
done
for i in $(seq 21 3000); do ln "$work/two/p$(printf %04d $(((i - 1) % 20 + 1))).jpg" "$work/two/p$(printf %04d "$i").jpg"; done
run_steps_on_virtual_screen "$0" "$work" 1400x1000
