# Shared by the screenshot scripts (sourced, not run): where the program and the
# shots are, what the shots need installed and built, the two generated sources,
# and the virtual screen the steps run on.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/shots"
exe="${VORBEL_EXE:-$root/build/ui/vorbel}"

# Installs what is missing and builds the program, unless VORBEL_EXE names one.
prepare_shots() {
  bash "$root/scripts/deps.sh" test
  command -v xdotool >/dev/null || {
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xdotool >/dev/null
  }
  if [ -z "${VORBEL_EXE:-}" ]; then
    cmake -S "$root" -B "$root/build" -G Ninja -DVORBEL_BENCH=OFF >/dev/null
    cmake --build "$root/build" --target vorbel
  fi
  mkdir -p "$out"
}

# Source 1: a diagonal colour ramp; source 2: shapes on white.
make_two_sources() {
  /usr/bin/convert -size 800x600 gradient:'#f04818'-'#1838c0' -background '#303030' -rotate 30 \
    -gravity center -extent 800x600 "$1/first.png"
  /usr/bin/convert -size 600x600 xc:white -fill '#22aa88' -draw 'circle 300,300 300,40' \
    -fill '#ffcc33' -draw 'rectangle 80,80 280,280' -fill '#202020' \
    -draw 'polygon 330,520 560,520 445,330' "$1/second.png"
}

# The steps' own home, so no user's settings are read or changed.
use_private_home() {
  export HOME="$1/home" XDG_CONFIG_HOME="$1/home/.config"
  mkdir -p "$XDG_CONFIG_HOME/vorbel"
}

# Starts the program with the given arguments and waits for its window; sets pid,
# wid, the window's X, Y, WIDTH, HEIGHT and width, height.
start_program() {
  "$exe" "$@" &
  pid=$!
  wid=$(xdotool search --sync --onlyvisible --name '^Vorbel' | head -n 1)
  sleep 2
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  width=$WIDTH height=$HEIGHT
}

stop_program() {
  kill "$pid"
  wait "$pid" || true
}

# Writes the screen into shots/, the name after the script's shot_prefix.
shot() {
  import -window root "$out/${shot_prefix:-}$1.png"
  echo "wrote shots/${shot_prefix:-}$1.png"
}

# Runs the calling script again as "script --steps work" on a virtual screen of
# the given size. Every stop of the program leaves the server without a client;
# the server's reset at that moment now and then takes it down, so it is told
# not to reset.
run_steps_on_virtual_screen() {
  xvfb-run -a -s "-screen 0 $3x24 -noreset" bash "$1" --steps "$2"
}
