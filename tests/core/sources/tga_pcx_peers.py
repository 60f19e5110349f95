#!/usr/bin/python3
"""Writes TGA and PCX files with ImageMagick and Pillow, and reads files with both.

  write DIR        writes every variant both tools can write into DIR; beside each
                   file NAME it leaves NAME.rgba, the pixels its writer reads back
                   (RGBA, top row first), and lists the names in DIR/manifest.txt
  read FILE...     decodes each FILE with both tools into FILE.pil.rgba and
                   FILE.im.rgba; a tool that refuses the file leaves no output
"""
import os
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

from PIL import Image

CONVERT = "/usr/bin/convert"
WIDTH, HEIGHT = 37, 13


def source_rgba():
    """Noise on the left, flat stripes that run past the row ends on the right,
    so the run-length variants get both raw and run packets."""
    seed = 12345
    pixels = []
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if x < 20:
                seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
                v = seed >> 7
                pixels.append((v & 255, (v >> 8) & 255, (v >> 16) & 255, (v >> 3) & 255))
            else:
                k = (y // 3) * 50
                pixels.append((k & 255, 200 - k // 2, 30, 255 - k))
    im = Image.new("RGBA", (WIDTH, HEIGHT))
    im.putdata(pixels)
    return im


def palette_image(rgba):
    """At most 256 colours, so that a palette keeps every pixel exact."""
    return rgba.convert("RGB").quantize(colors=40, dither=Image.Dither.NONE)


def im_read(path, out):
    r = subprocess.run([CONVERT, path, "-auto-orient", "-depth", "8", "rgba:" + out], capture_output=True)
    if r.returncode != 0 and os.path.exists(out):
        os.remove(out)


def pil_read(path, out):
    try:
        with Image.open(path) as im:
            data = im.convert("RGBA").tobytes()
    except Exception:
        return
    with open(out, "wb") as f:
        f.write(data)


def write(folder):
    os.makedirs(folder, exist_ok=True)
    rgba = source_rgba()
    png = os.path.join(folder, "source.png")
    rgba.save(png)
    pal = palette_image(rgba)
    pal_png = os.path.join(folder, "source_pal.png")
    pal.save(pal_png)

    names = []
    pil_jobs = []
    im_jobs = []
    # TGA: 8-bit palette, 8-bit grey, 24 and 32 bits; ImageMagick also 16 bits.
    pil_modes = {"pal8": pal, "grey8": rgba.convert("L"), "rgb24": rgba.convert("RGB"), "rgba32": rgba}
    im_args = {
        "pal8": [pal_png, "-type", "Palette"],
        "grey8": [png, "-type", "Grayscale"],
        "rgb16": [png, "-alpha", "off", "-type", "TrueColor", "-depth", "5"],
        "rgb24": [png, "-alpha", "off", "-type", "TrueColor"],
        "rgba32": [png, "-type", "TrueColorAlpha"],
    }
    for rle in (False, True):
        for top_down in (False, True):
            suffix = ("_rle" if rle else "_raw") + ("_top" if top_down else "_bottom")
            for kind, im in pil_modes.items():
                name = "pil_" + kind + suffix + ".tga"
                im.save(os.path.join(folder, name), rle=rle, orientation=1 if top_down else -1)
                pil_jobs.append(name)
            for kind, args in im_args.items():
                name = "im_" + kind + suffix + ".tga"
                cmd = [CONVERT] + args + ["-compress", "RLE" if rle else "None"]
                cmd += ["-orient", "TopLeft" if top_down else "BottomLeft", os.path.join(folder, name)]
                im_jobs.append((name, cmd))
    # PCX: Pillow writes 1, 8 and 24 bits; ImageMagick 8 bits, 24 bits and 24 bits with alpha.
    for kind, im in {"bw1": rgba.convert("1"), "pal8": pal, "grey8": rgba.convert("L"),
                     "rgb24": rgba.convert("RGB")}.items():
        name = "pil_" + kind + ".pcx"
        im.save(os.path.join(folder, name))
        pil_jobs.append(name)
    for kind, args in {"pal8": [pal_png, "-type", "Palette"],
                       "rgb24": [png, "-alpha", "off", "-type", "TrueColor"],
                       "rgba32": [png, "-type", "TrueColorAlpha"]}.items():
        name = "im_" + kind + ".pcx"
        im_jobs.append((name, [CONVERT] + args + [os.path.join(folder, name)]))

    def run_im(job):
        name, cmd = job
        subprocess.run(cmd, check=True, capture_output=True)
        path = os.path.join(folder, name)
        im_read(path, path + ".rgba")

    with ThreadPoolExecutor(max_workers=8) as pool:
        list(pool.map(run_im, im_jobs))
    for name in pil_jobs:
        path = os.path.join(folder, name)
        pil_read(path, path + ".rgba")
    names = pil_jobs + [name for name, _ in im_jobs]
    with open(os.path.join(folder, "manifest.txt"), "w") as f:
        f.write("\n".join(names) + "\n")


def read(paths):
    with ThreadPoolExecutor(max_workers=8) as pool:
        list(pool.map(lambda p: im_read(p, p + ".im.rgba"), paths))
    for p in paths:
        pil_read(p, p + ".pil.rgba")


if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1] == "write":
        write(sys.argv[2])
    elif len(sys.argv) >= 3 and sys.argv[1] == "read":
        read(sys.argv[2:])
    else:
        sys.exit(__doc__)
