#!/usr/bin/env bash
# Times the folder batch four ways on the same 50 pairs of 2048 x 1536 JPEGs (a fixed
# source 1, "Average", JPEG out), in alternating rounds, and prints pairs a second:
#   first    - the program on a virtual screen, its batch started from the Edit menu
#              once the program is up; timed from the click on the dialog's OK until
#              the last output is in place: a user's first batch, in fresh memory
#   window   - the same batch run again in the same process, timed the same way: warm,
#              as the headless driver is, and the Pillow sides after their first picture
#   headless - the batch driver without a window (vorbel_bench's BM_BatchFixedSource1Jpeg,
#              after one run untimed), timed from the start of each run to its end,
#              every save written
#   pillow   - a plain Pillow loop in one process: open source 2, blend, save JPEG 90
#   pool     - the same loop spread over every core: a pool of os.cpu_count()
#              processes, each of which reads source 1 once, the pairs handed out one
#              at a time
# Every side is timed over its whole run, with source 1 read and decoded before the
# start, as the program has it loaded when the batch begins. Before the rounds the
# batch runs once one pair at a time, as it did before its work was spread
# (BM_BatchOneAtATime); after each round every output of every side is checked: the
# window's and the headless driver's byte for byte against that run's, Pillow's for
# their size and how far they lie from the exact average of the two sources. The end
# gives the best and the median round of each side with their ratios, the load and
# the core count.
#
# bash scripts/batch_speed.sh --memory [pairs ...] (50 and 300 when none are given)
# runs the window's first batch on that many pairs instead (the 50 pictures again
# under other names) and prints its resident memory as the outputs come, and its peak.
#
# Usage: bash scripts/batch_speed.sh [rounds]   (VORBEL_BUILD names a build folder)
# Needs xvfb-run, xdotool (installed when missing) and python3-pil for
# /usr/bin/python3; the build must hold ui/vorbel and vorbel_bench (RelWithDebInfo
# or Release).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VORBEL_BUILD:-$root/build}"

# The window's batch on the pictures of folder $2 ($3 pairs), run on the virtual screen
# this is started on; prints pairs a second, and with $4 set the memory as it goes.
if [ "${1:-}" = --window ]; then
  pics=$2 pairs=$3 memory=${4:-}
  export HOME="$pics/home" XDG_CONFIG_HOME="$pics/home/.config"
  mkdir -p "$XDG_CONFIG_HOME/vorbel"
  printf '[Configure]\ncanvas_width=2048\ncanvas_height=1536\n' >"$XDG_CONFIG_HOME/vorbel/vorbel.conf"
  rm -rf "$pics/two/output"
  "$build/ui/vorbel" "$pics/fixed.jpg" "$pics/two/photo1001.jpg" &
  pid=$!
  wid=$(xdotool search --sync --onlyvisible --name '^Vorbel' | head -n 1)
  sleep 2
  # The batch twice in the one process, each timed: first as a user's first run meets
  # it, then warm, as the other sides are after their first picture. The memory is
  # followed through the first run alone.
  for run in first warm; do
    [ -z "$memory" ] || [ $run = first ] || break
    rm -rf "$pics/two/output"
    # Edit > Batch vorbel... (no window manager: the frame sits at the screen's
    # origin), then OK on the dialog as it opens: Fixed source 1, output type not set.
    xdotool mousemove --window "$wid" 55 11 click 1
    sleep 0.7
    xdotool mousemove --window "$wid" 116 136 click 1
    sleep 1.5
    # The pointer onto OK, then the run until the last output is in place: the outputs
    # take their names in the order of the pairs, each once it is written whole.
    dialog=$(xdotool search --onlyvisible --name '^Batch Vorbeling$' | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    xdotool mousemove --window "$dialog" $((WIDTH * 188 / 492)) $((HEIGHT - 28))
    sleep 0.3
    /usr/bin/python3 - "$pics/two/output" "$pairs" "$pid" "$memory" "$run" <<'EOF'
import ctypes, os, sys, time
folder, pairs, pid, memory, run = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
# The click on OK goes to the server from here, on a connection opened before the
# clock starts: no program's start is timed with the run. (A key press reaches the
# dialog a quarter of a second late.)
x11, xtest = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
display = ctypes.c_void_p(x11.XOpenDisplay(None))
def outputs():
    try:
        return sum(1 for n in os.listdir(folder) if n.endswith(".jpg") and not n.startswith("."))
    except FileNotFoundError:
        return 0
def status(field):
    with open("/proc/%s/status" % pid) as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1]) // 1024
start = time.perf_counter()
xtest.XTestFakeButtonEvent(display, 1, 1, 0)
xtest.XTestFakeButtonEvent(display, 1, 0, 0)
x11.XFlush(display)
deadline, told = start + 600, 0
while (done := outputs()) < pairs:
    if time.perf_counter() > deadline:
        print("%-8s did not finish" % ("window" if run == "warm" else run))
        sys.exit(0)
    if memory and done >= told + 50:
        told = done // 50 * 50
        print("memory   %3d outputs: %4d MB resident" % (told, status("VmRSS")))
    time.sleep(0.002)
print("%-8s %.2f pairs/s" % ("window" if run == "warm" else run, pairs / (time.perf_counter() - start)))
if memory:
    time.sleep(1)
    print("memory   %3d pairs: %4d MB resident at the end, %d MB at the peak" % (pairs, status("VmRSS"), status("VmHWM")))
EOF
    # The run ends with "Batch vorbeling is complete.", which Return closes.
    sleep 1
    box=$(xdotool search --onlyvisible --name '^vorbel$' | head -n 1)
    [ -z "$box" ] || xdotool key --window "$box" Return
    sleep 0.5
    kept="$pics/$([ $run = warm ] && echo window || echo first)"
    rm -rf "$kept"
    if [ -d "$pics/two/output" ]; then mv "$pics/two/output" "$kept"; fi
  done
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  exit 0
fi

command -v xdotool >/dev/null || {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xdotool >/dev/null
}
pics=$(mktemp -d)
trap 'rm -rf "$pics"' EXIT
/usr/bin/python3 - "$pics" <<'EOF'
import os, sys
from PIL import Image
root, W, H = sys.argv[1], 2048, 1536
os.makedirs(root + "/two")
ramp = Image.linear_gradient("L").resize((W, H))
for n in range(51):
    channels = []
    for c in range(3):
        grain = Image.effect_noise((W // 4, H // 4), 40 + 10 * c).resize((W, H), Image.BILINEAR)
        light = ramp.rotate(37 * (n + c), resample=Image.BILINEAR) if c != 1 else ramp.transpose(Image.ROTATE_180)
        channels.append(Image.blend(grain, light, 0.5))
    name = "fixed.jpg" if n == 0 else "two/photo%d.jpg" % (1000 + n)
    Image.merge("RGB", channels).save(os.path.join(root, name), quality=92)
EOF
echo "cores    $(nproc)"

if [ "${1:-}" = --memory ]; then
  shift
  sizes=("$@")
  [ ${#sizes[@]} -gt 0 ] || sizes=(50 300)
  for pairs in "${sizes[@]}"; do
    many="$pics/many$pairs"
    mkdir -p "$many/two"
    ln "$pics/fixed.jpg" "$many/fixed.jpg"
    for n in $(seq 1 "$pairs"); do
      ln "$pics/two/photo$((1000 + (n - 1) % 50 + 1)).jpg" "$many/two/photo$((1000 + n)).jpg"
    done
    echo "load     $(cut -d' ' -f1-3 /proc/loadavg)"
    xvfb-run -a -s '-screen 0 1400x1000x24 -noreset' bash "$0" --window "$many" "$pairs" memory
    rm -rf "$many"
  done
  exit 0
fi

rounds="${1:-3}"

pillow() {
  rm -rf "$1/pillow"
  /usr/bin/python3 - "$1" <<'EOF'
import os, sys, time
from PIL import Image
root = sys.argv[1]
out = os.path.join(root, "pillow")
os.makedirs(out, exist_ok=True)
fixed = Image.open(os.path.join(root, "fixed.jpg")).convert("RGB")
start = time.perf_counter()
for n in range(1, 51):
    b = Image.open(os.path.join(root, "two/photo%d.jpg" % (1000 + n))).convert("RGB")
    Image.blend(fixed, b, 0.5).save(os.path.join(out, "photo%d.jpg" % (1000 + n)), quality=90)
print("pillow   %.2f pairs/s" % (50 / (time.perf_counter() - start)))
EOF
}

# The clock starts once every process has read source 1.
pool() {
  rm -rf "$1/pool"
  /usr/bin/python3 - "$1" <<'EOF'
import multiprocessing, os, sys, time
from PIL import Image
root = sys.argv[1]
out = os.path.join(root, "pool")
os.makedirs(out, exist_ok=True)
fixed = None
def start(ready):
    global fixed
    fixed = Image.open(os.path.join(root, "fixed.jpg")).convert("RGB")
    ready.wait()
def pair(n):
    b = Image.open(os.path.join(root, "two/photo%d.jpg" % (1000 + n))).convert("RGB")
    Image.blend(fixed, b, 0.5).save(os.path.join(out, "photo%d.jpg" % (1000 + n)), quality=90)
if __name__ == "__main__":
    processes = os.cpu_count()
    ready = multiprocessing.Barrier(processes + 1)
    with multiprocessing.Pool(processes, initializer=start, initargs=(ready,)) as workers:
        ready.wait()
        begun = time.perf_counter()
        for _ in workers.imap(pair, range(1, 51), chunksize=1):
            pass
        print("pool     %.2f pairs/s" % (50 / (time.perf_counter() - begun)))
EOF
}

headless() {
  rm -rf "$1/two/output" "$1/headless"
  VORBEL_BATCH_FOLDER="$1" "$build/vorbel_bench" --benchmark_filter='BM_BatchFixedSource1Jpeg' \
    --benchmark_color=false 2>/dev/null |
    grep -o 'BM_BatchFixed.*' | grep -o '[0-9.]*/s' | sed 's|/s| pairs/s|; s|^|headless |'
  mv "$1/two/output" "$1/headless"
}

# Every output of every side: ours byte for byte against the batch one pair at a
# time; Pillow's at 2048 x 1536, with the mean and largest channel difference from
# the exact average of the two sources (JPEG's own loss included), ours beside them.
check() {
  /usr/bin/python3 - "$1" <<'EOF'
import os, sys
from PIL import Image, ImageChops, ImageStat
root = sys.argv[1]
name = lambda n: "photo%d.jpg" % (1000 + n)
def read(folder, n):
    with open(os.path.join(root, folder, name(n)), "rb") as f:
        return f.read()
for side in ("first", "window", "headless"):
    same = 0
    for n in range(1, 51):
        try:
            same += read(side, n) == read("reference", n)
        except OSError:
            pass
    print("check    %-8s %2d of 50 outputs byte for byte those of the batch one pair at a time" % (side, same))
fixed = Image.open(os.path.join(root, "fixed.jpg")).convert("RGB")
far = {side: [] for side in ("reference", "pillow", "pool")}
for n in range(1, 51):
    exact = Image.blend(fixed, Image.open(os.path.join(root, "two", name(n))).convert("RGB"), 0.5)
    for side, distances in far.items():
        try:
            with Image.open(os.path.join(root, side, name(n))) as im:
                if im.size != (2048, 1536):
                    continue
                d = ImageChops.difference(im.convert("RGB"), exact)
                distances.append((sum(ImageStat.Stat(d).mean) / 3, max(hi for lo, hi in d.getextrema())))
        except OSError:
            pass
for side, distances in far.items():
    label = "ours" if side == "reference" else side
    if len(distances) < 50:
        print("check    %-8s %d of 50 outputs missing or not 2048 x 1536" % (label, 50 - len(distances)))
    else:
        print("check    %-8s 50 outputs at 2048 x 1536, from the exact average: mean %.2f to %.2f, largest %d"
              % (label, min(m for m, _ in distances), max(m for m, _ in distances), max(l for _, l in distances)))
EOF
}

echo "load     before: $(uptime)"
rm -rf "$pics/two/output"
VORBEL_BATCH_FOLDER="$pics" "$build/vorbel_bench" --benchmark_filter='BM_BatchOneAtATime' \
  --benchmark_color=false 2>/dev/null | grep -o 'BM_BatchOne.*' | grep -o '[0-9.]*/s' |
  sed 's|/s| pairs/s|; s|^|one at a time |'
mv "$pics/two/output" "$pics/reference"
results=$(mktemp)
for round in $(seq 1 "$rounds"); do
  echo "round    $round, load $(cut -d' ' -f1-3 /proc/loadavg)"
  # Each side starts with the files of the one before on the disk, not still being
  # written out while it runs.
  {
    sync
    xvfb-run -a -s '-screen 0 1400x1000x24 -noreset' bash "$0" --window "$pics" 50
    sync
    pillow "$pics"
    sync
    pool "$pics"
    sync
    headless "$pics"
  } | tee -a "$results"
  check "$pics"
done
echo "load     after: $(uptime)"
/usr/bin/python3 - "$results" "$(nproc)" <<'EOF'
import statistics, sys
rounds = {}
for line in open(sys.argv[1]):
    words = line.split()
    if len(words) == 3 and words[2] == "pairs/s":
        rounds.setdefault(words[0], []).append(float(words[1]))
for name, pick in (("best", max), ("median", statistics.median)):
    figures = {side: pick(values) for side, values in rounds.items()}
    print("%-8s " % name + ", ".join("%s %.1f" % item for item in figures.items()) +
          " pairs/s on %s cores" % sys.argv[2])
    for a, b in (("window", "pool"), ("window", "headless"), ("first", "pool"), ("first", "headless"),
                 ("window", "pillow"), ("headless", "pool")):
        if a in figures and b in figures:
            print("ratio    %s / %s = %.2f (%s)" % (a, b, figures[a] / figures[b], name))
EOF
rm -f "$results"
