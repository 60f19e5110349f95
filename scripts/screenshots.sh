#!/usr/bin/env bash
# Starts vorbel on a virtual screen with two generated images, takes a few steps a
# user would take, and writes what the screen shows into shots/*.png.
set -euo pipefail
source "$(dirname "$0")/shot_common.sh"

steps() {
  local work=$1
  use_private_home "$work"

  start_program
  shot 01-start-no-source
  # The first source through File > Open: the prompt must change once the dialog
  # has closed, with nothing stale left where the dialog was.
  xdotool windowfocus --sync "$wid" key ctrl+o
  sleep 1.5
  xdotool key ctrl+l
  xdotool type "$work/first.png"
  xdotool key Return
  sleep 1.5
  shot 02-one-source
  # A second source begun with the T key and cancelled: the status bar keeps the
  # one-source look (indicator texts, no colours, no fix-position blocks).
  xdotool mousemove --window "$wid" $((width / 3)) $((height / 2)) click 1
  sleep 0.3
  xdotool key t
  xdotool search --sync --onlyvisible --name '^Text Entry' >/dev/null
  sleep 1
  xdotool key Escape
  sleep 1.5
  shot 02b-one-source-after-cancelled-text
  stop_program

  start_program "$work/first.png" "$work/second.png"
  shot 03-two-sources-combined
  # Status-bar pane 1 ("View Source 1") spans x 150..250 of the bar.
  # The first warp into the bar only enters it; the second is the move it acts on.
  xdotool mousemove --window "$wid" 198 $((height - 10))
  sleep 0.2
  xdotool mousemove --window "$wid" 200 $((height - 10))
  sleep 0.5
  shot 04-hover-view-source-1
  # Ten quiet ticks of 200 ms without a move bring the combination back.
  sleep 2.5
  shot 05-combined-again-after-ten-quiet-ticks
  # The File menu, opened with a click on its title.
  xdotool mousemove --window "$wid" 18 11 click 1
  sleep 0.7
  # The pointer on "Print Preview": its prompt shows in the first pane.
  xdotool mousemove --window "$wid" 80 163
  sleep 0.5
  shot 06-file-menu
  xdotool key Escape
  sleep 0.3
  # View > Application Look: one radio mark among the looks.
  xdotool mousemove --window "$wid" 103 11 click 1
  sleep 0.7
  xdotool mousemove --window "$wid" 130 40
  sleep 0.7
  xdotool mousemove --window "$wid" 330 40 mousemove --window "$wid" 330 162
  sleep 1
  shot 07-look-menu
  xdotool key Escape Escape
  xdotool mousemove --window "$wid" $((width / 3)) $((height / 2)) click 1
  # The view's "Edit" menu under the pointer.
  sleep 0.3
  xdotool mousemove --window "$wid" $((width / 3)) $((height / 2)) click 3
  sleep 0.7
  shot 08-edit-context-menu
  xdotool key Escape
  stop_program

  # The open dialog on a folder of camera files with upper-case names, under the
  # remembered "Jpg/Jpeg Files" filter.
  printf '[Configure]\nLast Open Directory=%s/camera/\nLast Open Extension=2\n' "$work" \
    >"$XDG_CONFIG_HOME/vorbel/vorbel.conf"
  start_program
  xdotool windowfocus --sync "$wid" key ctrl+o
  sleep 1.5
  shot 09-open-dialog-camera-files
  xdotool key Escape
  stop_program

  # The Black look with two sources.
  printf 'ApplicationLook=216\n' >"$XDG_CONFIG_HOME/vorbel/vorbel.conf"
  start_program "$work/first.png" "$work/second.png"
  shot 10-black-look
  stop_program

  # A text source over a photograph, in the first look: the T key in the view opens
  # the text dialog.
  rm -f "$XDG_CONFIG_HOME/vorbel/vorbel.conf"
  local dialog
  write_text() {
    xdotool mousemove --window "$wid" $((width / 3)) $((height / 2)) click 1
    sleep 0.3
    xdotool key t
    dialog=$(xdotool search --sync --onlyvisible --name '^Text Entry' | head -n 1)
    sleep 1
    xdotool type --delay 30 "Vorbel & friends"
    xdotool key Return
    xdotool type --delay 30 "second line of text"
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
  }
  press_ok() {
    xdotool mousemove $((X + WIDTH - 40)) $((Y + HEIGHT - 22)) click 1
    sleep 2
  }
  start_program "$work/photo.png"
  write_text
  shot 11-text-entry-dialog-two-lines
  press_ok
  shot 12-text-over-photo-opaque
  stop_program
  start_program "$work/photo.png"
  write_text
  xdotool mousemove $((X + 17)) $((Y + 400)) click 1  # "Transparent background"
  sleep 0.3
  press_ok
  shot 13-text-over-photo-transparent
  stop_program

  # The properties pane in the default look: its grid's "Per pixel src 1 & 2" row
  # stands 593 pixels down; a click on the value selects it, one on its button
  # opens the list.
  printf '' >"$XDG_CONFIG_HOME/vorbel/vorbel.conf"
  start_program "$work/first.png" "$work/second.png"
  xdotool mousemove --window "$wid" $((width - 100)) 593 click 1
  sleep 0.7
  xdotool mousemove --window "$wid" $((width - 22)) 593 click 1
  sleep 0.7
  shot 14-pane-method-list-open
  xdotool key Escape
  stop_program

  # The pane's commands: source 2 shoved into the bottom-right corner from the
  # shove toolbar, the statistics' tip, then source 2's centring button.
  start_program "$work/first.png" "$work/second.png"
  xdotool mousemove --window "$wid" $((width - 87)) 147 click 1
  sleep 0.7
  shot 15-source-2-shoved-bottom-right
  xdotool mousemove --window "$wid" $((width - 175)) 268
  sleep 0.2
  xdotool mousemove --window "$wid" $((width - 171)) 268
  sleep 0.7
  shot 16-pane-tip-over-statistics
  xdotool mousemove --window "$wid" $((width - 167)) 177 click 1
  sleep 0.7
  shot 17-source-2-centred-tip-closed
  # Edit > Rotate from the view's keys.
  xdotool mousemove --window "$wid" $((width / 3)) $((height / 2)) click 1
  sleep 0.3
  xdotool key ctrl+r
  sleep 1.5
  shot 18-rotate-dialog
  xdotool key Escape
  sleep 0.5
  # The pane's "Vorbel" button asks how to run the batch.
  xdotool mousemove --window "$wid" $((width - 93)) 74 click 1
  sleep 1.5
  shot 19-batch-dialog
  xdotool key Escape
  sleep 0.5
  # The Edit menu's dialogs, each chosen with the keys from the opened menu.
  edit_item() {
    xdotool mousemove --window "$wid" 59 11 click 1
    sleep 0.7
    xdotool key --delay 80 $(printf 'Down %.0s' $(seq 0 "$1")) Return
    sleep 1.5
    shot "$2"
    xdotool key Escape
    sleep 0.7
  }
  edit_item 0 20-sizes-dialog
  edit_item 5 21-base-colour-dialog
  edit_item 6 22-target-size-dialog
  edit_item 7 23-fix-positions-dialog
  edit_item 9 24-perspective-dialog
  # A box dragged over the target opens the blending dialog.
  xdotool mousemove --window "$wid" 300 300 mousedown 1
  xdotool mousemove --window "$wid" 360 340 sleep 0.2 mousemove --window "$wid" 450 420 sleep 0.3 mouseup 1
  sleep 1.5
  shot 25-blending-dialog
  xdotool key Escape
  stop_program

  # The effects that open dialogs, chosen with the arrow keys in the grid's
  # "Effects:" row and committed with Return: "Highlight" is six below
  # "No effects", "Articulate" the last. The row shows half at 725 pixels down; the
  # grid scrolls it whole into view when it is selected, 22 pixels higher.
  effect() {
    start_program "$work/first.png" "$work/second.png"
    xdotool mousemove --window "$wid" $((width - 100)) 725 click 1
    sleep 0.7
    xdotool mousemove --window "$wid" $((width - 13)) 703 click 1
    sleep 0.7
    xdotool key --delay 80 $1 Return
    sleep 2
    shot "$2"
    xdotool key Escape
    sleep 0.5
    stop_program
  }
  effect "Down Down Down Down Down Down" 26-highlighting-dialog
  effect End 27-articulate-dialog
}

if [ "${1:-}" = --steps ]; then
  steps "$2"
  exit 0
fi

prepare_shots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_two_sources "$work"
mkdir -p "$work/camera"
for name in IMG_0001.JPG IMG_0002.JPG DSC_0003.PNG SCAN_0004.BMP scan_0005.bmp holiday.jpeg; do
  /usr/bin/convert -size 64x48 xc:'#3366aa' "$work/camera/$name"
done
echo notes >"$work/camera/README.TXT"
# A stand-in for a photograph: soft clouds of colour.
/usr/bin/convert -size 1024x768 -seed 7 plasma:skyblue-darkgreen -blur 0x3 "$work/photo.png"
run_steps_on_virtual_screen "$0" "$work" 1400x1000
