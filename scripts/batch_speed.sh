#!/usr/bin/env bash
# Times the batch three ways on the same 50 pairs of 2048 x 1536 JPEGs (a fixed
# source 1, "Average", JPEG out), in alternating rounds, and prints pairs a second:
#   window   - the program on a virtual screen, its batch started from the Edit menu;
#              timed from the first output file to the 50th as they appear
#   headless - the batch driver without a window (vorbel_bench's BM_BatchFixedSource1Jpeg)
#   pillow   - a plain single-threaded Pillow loop: open both, blend, save JPEG 90
# Usage: bash scripts/batch_speed.sh [rounds]   (VORBEL_BUILD names a build folder)
# Needs xvfb-run, xdotool and python3-pil for /usr/bin/python3; the build must
# hold ui/vorbel and vorbel_bench (RelWithDebInfo or Release).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VORBEL_BUILD:-$root/build}"
rounds="${1:-3}"

if [ "${1:-}" = --window ]; then
  pics=$2
  export HOME="$pics/home" XDG_CONFIG_HOME="$pics/home/.config"
  mkdir -p "$XDG_CONFIG_HOME/vorbel"
  printf '[Configure]\ncanvas_width=2048\ncanvas_height=1536\n' >"$XDG_CONFIG_HOME/vorbel/vorbel.conf"
  rm -rf "$pics/two/output"
  "$build/ui/vorbel" "$pics/fixed.jpg" "$pics/two/photo1001.jpg" &
  pid=$!
  wid=$(xdotool search --sync --onlyvisible --name '^Vorbel' | head -n 1)
  sleep 2
  # Edit > Batch vorbel... (no window manager: the frame sits at the screen's origin),
  # then OK on the dialog as it opens: Fixed source 1, output type not set.
  xdotool mousemove --window "$wid" 55 11 click 1
  sleep 0.7
  xdotool mousemove --window "$wid" 116 136 click 1
  sleep 1.5
  xdotool key Return
  /usr/bin/python3 - "$pics/two/output" <<'EOF'
import os, sys, time
folder, seen = sys.argv[1], {}
deadline = time.time() + 300
while time.time() < deadline and len(seen) < 50:
    try:
        names = [n for n in os.listdir(folder) if n.endswith(".jpg") and not n.startswith(".")]
    except FileNotFoundError:
        names = []
    now = time.time()
    for k in range(1, len(names) + 1):
        seen.setdefault(k, now)
    time.sleep(0.002)
print("window   %.2f pairs/s" % (49 / (seen[50] - seen[1])) if 50 in seen else "window   did not finish")
EOF
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  exit 0
fi

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

pillow() {
  /usr/bin/python3 - "$1" <<'EOF'
import os, sys, time
from PIL import Image
root = sys.argv[1]
out = os.path.join(root, "pillow")
os.makedirs(out, exist_ok=True)
start = time.perf_counter()
for n in range(1, 51):
    a = Image.open(os.path.join(root, "fixed.jpg")).convert("RGB")
    b = Image.open(os.path.join(root, "two/photo%d.jpg" % (1000 + n))).convert("RGB")
    Image.blend(a, b, 0.5).save(os.path.join(out, "%d.jpg" % n), quality=90)
print("pillow   %.2f pairs/s" % (50 / (time.perf_counter() - start)))
EOF
}

headless() {
  rm -rf "$1/two/output"
  VORBEL_BATCH_FOLDER="$1" "$build/vorbel_bench" --benchmark_filter='BM_BatchFixedSource1Jpeg' \
    --benchmark_color=false 2>/dev/null |
    grep -o 'BM_BatchFixed.*' | grep -o '[0-9.]*/s' | sed 's|/s| pairs/s|; s|^|headless |'
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq 1 "$rounds"); do
  xvfb-run -a -s '-screen 0 1400x1000x24 -noreset' bash "$0" --window "$pics"
  pillow "$pics"
  headless "$pics"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
