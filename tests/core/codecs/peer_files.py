#!/usr/bin/python3
"""BMP, TGA and PCX files written by ImageMagick and Pillow, and both tools' reading.

  write DIR     writes the samples into DIR, each NAME with NAME.rgba, the pixels its writer
                (Pillow for the hand-made file) reads (RGBA, top row first), and a line
                "NAME MASK ALPHA" in DIR/manifest.txt: MASK holds the colour bits that must agree
                (each reader widens 5- and 6-bit channels its own way), ALPHA is 1 with an alpha plane
  read FILE...  decodes each FILE with both tools into FILE.pil.rgba and FILE.im.rgba; a
                tool that refuses the file leaves no output
"""
import os
import random
import struct
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

from PIL import Image

CONVERT = "/usr/bin/convert"
W, H = 37, 13
rng = random.Random(20240601)


def source_rgba():
    """Noise on the left, flat stripes on the right, so that run-length writers make runs
    across row ends as well as raw packets."""
    im = Image.new("RGBA", (W, H))
    im.putdata([tuple(rng.randrange(256) for _ in range(4)) if x < 20 else
                (y // 3 * 50, 200 - y // 3 * 25, 30, 255 - y // 3 * 50) for y in range(H) for x in range(W)])
    return im


def im_read(path, out):
    r = subprocess.run([CONVERT, path, "-auto-orient", "-depth", "8", "rgba:" + out], capture_output=True)
    if r.returncode != 0 and os.path.exists(out):
        os.remove(out)


def pil_read(path, out, alpha=None):
    try:
        with Image.open(path) as im:
            im = im.convert("RGBA")
            if alpha is not None:
                im.putalpha(alpha)
            data = im.tobytes()
    except Exception:
        return
    open(out, "wb").write(data)


def write(folder):
    os.makedirs(folder, exist_ok=True)
    rgba = source_rgba()
    rgb = rgba.convert("RGB")
    pal = rgb.quantize(colors=40, dither=Image.Dither.NONE)
    at = lambda name: os.path.join(folder, name)
    png, rgb_png, pal_png = at("source.png"), at("source_rgb.png"), at("source_pal.png")
    for image, path in ((rgba, png), (rgb, rgb_png), (pal, pal_png)):
        image.save(path)
    manifest, pil_jobs, im_jobs = [], [], []  # (name, mask, alpha), (name, alpha Pillow misses), (name, command)

    def pil(name, image, plane=0, mask=0xFF, alpha=None, **options):
        image.save(at(name), **options)
        pil_jobs.append((name, alpha))
        manifest.append((name, mask, plane))

    def im(name, args, mask=0xFF, plane=0, kind=""):
        im_jobs.append((name, [CONVERT] + args + [kind + at(name)]))
        manifest.append((name, mask, plane))

    # BMP. Pillow reads 32-bit files as RGB; their fourth bytes are the alpha, all 0 meaning opaque.
    pil("pil_1.bmp", rgba.convert("1"))
    pil("pil_8_palette.bmp", pal)
    pil("pil_24.bmp", rgb)
    pil("pil_32_alpha.bmp", rgba, 1, alpha=rgba.getchannel("A"))
    clear = rgba.copy()
    clear.putalpha(0)
    pil("pil_32_zero_alpha.bmp", clear, 1, alpha=255)
    im("im_4.bmp", [rgb_png, "-colors", "12", "-type", "Palette"], kind="BMP3:")
    im("im_rle8.bmp", [rgb_png, "-colors", "40", "-type", "Palette", "-compress", "RLE"], kind="BMP3:")
    im("im_core_4.bmp", [rgb_png, "-colors", "9", "-type", "Palette"], kind="BMP2:")
    im("im_core_8.bmp", [rgb_png, "-colors", "40", "-type", "Palette"], kind="BMP2:")
    im("im_24_v5.bmp", [rgb_png, "-type", "TrueColor"], kind="BMP:")
    im("im_565.bmp", [rgb_png, "-define", "bmp:subtype=RGB565"], 0xF8, kind="BMP:")
    im("im_32_bitfields.bmp", [png], kind="BMP:")  # bit fields make no alpha plane
    pil("hand_24_top_down.bmp", rgb.transpose(Image.Transpose.FLIP_TOP_BOTTOM))
    with open(at("hand_24_top_down.bmp"), "r+b") as f:  # rows top row first, which neither tool writes
        f.seek(22)
        f.write(struct.pack("<i", -H))

    # TGA raw and run-length, both row orders: both tools at 8 (palette, grey), 24 and 32 bits, ImageMagick at 16,
    # Pillow's 16-bit grey with alpha.
    for rle in (False, True):
        for top_down in (False, True):
            suffix = ("_rle" if rle else "_raw") + ("_top" if top_down else "_bottom") + ".tga"
            for kind, image in {"pal8": pal, "grey8": rgba.convert("L"), "rgb24": rgb, "rgba32": rgba}.items():
                pil("pil_" + kind + suffix, image, int(kind == "rgba32"), rle=rle, orientation=1 if top_down else -1)
            pil("pil_la16" + suffix, rgba.convert("LA"), 1, rle=rle, orientation=1 if top_down else -1)
            for kind, args, mask in [("pal8", [pal_png, "-type", "Palette"], 0xFF),
                                     ("grey8", [png, "-type", "Grayscale"], 0xFF),
                                     ("rgb16", [png, "-alpha", "off", "-type", "TrueColor", "-depth", "5"], 0xF8),
                                     ("rgb24", [png, "-alpha", "off", "-type", "TrueColor"], 0xFF),
                                     ("rgba32", [png, "-type", "TrueColorAlpha"], 0xFF)]:
                im("im_" + kind + suffix, args + ["-compress", "RLE" if rle else "None", "-orient",
                                                  "TopLeft" if top_down else "BottomLeft"], mask, int(kind == "rgba32"))
    # PCX: Pillow at 1, 8 and 24 bits; ImageMagick at 8 and 24 bits and 24 bits with alpha.
    pil("pil_bw1.pcx", rgba.convert("1"))
    pil("pil_pal8.pcx", pal)
    pil("pil_rgb24.pcx", rgb)
    im("im_pal8.pcx", [pal_png, "-type", "Palette"])
    im("im_rgb24.pcx", [png, "-alpha", "off", "-type", "TrueColor"])
    im("im_rgba32.pcx", [png, "-type", "TrueColorAlpha"], plane=1)

    def run_im(job):
        subprocess.run(job[1], check=True, capture_output=True)
        im_read(at(job[0]), at(job[0]) + ".rgba")

    with ThreadPoolExecutor(max_workers=8) as pool:
        list(pool.map(run_im, im_jobs))
    for name, alpha in pil_jobs:
        pil_read(at(name), at(name) + ".rgba", alpha)
    with open(at("manifest.txt"), "w") as f:
        f.write("".join(f"{name} {mask} {alpha}\n" for name, mask, alpha in manifest))


def read(paths):
    with ThreadPoolExecutor(max_workers=8) as pool:
        list(pool.map(lambda p: im_read(p, p + ".im.rgba"), paths))
    for p in paths:
        pil_read(p, p + ".pil.rgba")


if __name__ == "__main__":
    if len(sys.argv) < 3 or sys.argv[1] not in ("write", "read"):
        sys.exit(__doc__)
    write(sys.argv[2]) if sys.argv[1] == "write" else read(sys.argv[2:])
