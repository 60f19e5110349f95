#!/usr/bin/env bash
# Times the batch three ways on the same 50 pairs of 2048 x 1536 JPEGs (a fixed
# source 1, "Average", JPEG out), in alternating rounds, and prints pairs a second.
# Every side is timed over its whole run, with source 1 read once and decoded
# before the start, as the program has it loaded when the batch begins:
#   window   - the program on a virtual screen, its batch started from the Edit menu;
#              timed from the dialog's OK to the completion message
#   headless - the batch driver without a window (vorbel_bench's BM_BatchFixedSource1Jpeg),
#              timed from the start of the run to its end, every save written
#   pillow   - a plain single-threaded Pillow loop: open source 2, blend, save JPEG 90
# After each round the outputs are checked: 50 images of the right size from every
# side, and for a few pairs how far each side's output lies from the exact average
# of the two sources and from the other sides' outputs.
# Usage: bash scripts/batch_speed.sh [rounds]   (VORBEL_BUILD names a build folder)
# Needs xvfb-run, xdotool (installed when missing) and python3-pil for
# /usr/bin/python3; the build must hold ui/vorbel and vorbel_bench (RelWithDebInfo
# or Release).
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
  # OK, then the run until the completion message shows; it comes after the last
  # save has been written and renamed into place. The message bears the caption
  # "vorbel", which the frame's title matches too (the search ignores case): the
  # message is the window of that name that was not there before.
  /usr/bin/python3 - "$pics/two/output" <<'EOF'
import os, subprocess, sys, time
folder = sys.argv[1]
def named():
    return set(subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^vorbel$"],
                              capture_output=True, text=True).stdout.split())
before = named()
def done():
    try:
        names = [n for n in os.listdir(folder) if n.endswith(".jpg") and not n.startswith(".")]
    except FileNotFoundError:
        return False
    return len(names) >= 50 and bool(named() - before)
start = time.perf_counter()
subprocess.run(["xdotool", "key", "Return"], check=True)
deadline = start + 300
while not done():
    if time.perf_counter() > deadline:
        print("window   did not finish")
        sys.exit(0)
    time.sleep(0.002)
print("window   %.2f pairs/s" % (50 / (time.perf_counter() - start)))
EOF
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  rm -rf "$pics/window"
  if [ -d "$pics/two/output" ]; then mv "$pics/two/output" "$pics/window"; fi
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

headless() {
  rm -rf "$1/two/output"
  VORBEL_BATCH_FOLDER="$1" "$build/vorbel_bench" --benchmark_filter='BM_BatchFixedSource1Jpeg' \
    --benchmark_color=false 2>/dev/null |
    grep -o 'BM_BatchFixed.*' | grep -o '[0-9.]*/s' | sed 's|/s| pairs/s|; s|^|headless |'
}

# Every side's outputs: all 50 there at 2048 x 1536, and for pairs 1, 25 and 50 the
# mean and largest channel difference from the exact average of the two sources
# (JPEG's own loss included) and between the sides.
check() {
  /usr/bin/python3 - "$1" <<'EOF'
import os, sys
from PIL import Image, ImageChops, ImageStat
root = sys.argv[1]
sides = {"window": "window", "headless": "two/output", "pillow": "pillow"}
name = lambda n: "photo%d.jpg" % (1000 + n)
fine = True
for side, folder in sides.items():
    bad = []
    for n in range(1, 51):
        try:
            with Image.open(os.path.join(root, folder, name(n))) as im:
                if im.size != (2048, 1536):
                    bad.append(n)
        except OSError:
            bad.append(n)
    if bad:
        fine = False
        print("check    %s: %d of 50 outputs missing or wrong" % (side, len(bad)))
def far(a, b):
    d = ImageChops.difference(a, b)
    return "mean %.2f, largest %d" % (sum(ImageStat.Stat(d).mean) / 3, max(hi for lo, hi in d.getextrema()))
if fine:
    fixed = Image.open(os.path.join(root, "fixed.jpg")).convert("RGB")
    for n in (1, 25, 50):
        exact = Image.blend(fixed, Image.open(os.path.join(root, "two", name(n))).convert("RGB"), 0.5)
        out = {s: Image.open(os.path.join(root, f, name(n))).convert("RGB") for s, f in sides.items()}
        print("check    pair %2d from the average: window %s; headless %s; pillow %s" %
              (n, far(out["window"], exact), far(out["headless"], exact), far(out["pillow"], exact)))
        print("check    pair %2d window vs headless %s; headless vs pillow %s" %
              (n, far(out["window"], out["headless"]), far(out["headless"], out["pillow"])))
    print("check    all 150 outputs there at 2048 x 1536")
EOF
}

command -v xdotool >/dev/null || {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xdotool >/dev/null
}
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq 1 "$rounds"); do
  xvfb-run -a -s '-screen 0 1400x1000x24 -noreset' bash "$0" --window "$pics"
  pillow "$pics"
  headless "$pics"
  check "$pics"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
