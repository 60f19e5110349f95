#!/usr/bin/python3
"""BMP, TGA and PCX files written by ImageMagick, Pillow and by hand, and both tools' reading.

  write DIR     writes the samples into DIR, each NAME with NAME.rgba, the pixels its writer
                (Pillow for hand-made files) reads (RGBA, top row first), and a line
                "NAME MASK ALPHA" in DIR/manifest.txt: MASK holds the colour bits that must
                agree (each reader widens 5- and 6-bit channels its own way), ALPHA is 1 when
                the image has an alpha plane
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
    pixels = []
    for y in range(H):
        for x in range(W):
            if x < 20:
                pixels.append(tuple(rng.randrange(256) for _ in range(4)))
            else:
                k = (y // 3) * 50
                pixels.append((k, 200 - k // 2, 30, 255 - k))
    im = Image.new("RGBA", (W, H))
    im.putdata(pixels)
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
    with open(out, "wb") as f:
        f.write(data)


def pad4(row):
    return row + bytes(-len(row) % 4)


def hand_bmp(path, height, bits, compression, palette, data, header_size=40):
    """A BMP file around data; palette is a list of (r, g, b)."""
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", header_size, W, height, 1, bits, compression, len(data),
                       2835, 2835, len(palette), 0) + bytes(header_size - 40)
    offset = 14 + len(info) + len(pal)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + info + pal + data)


def rle_rows(nibbles):
    """Runs and literals (at 4 bits even ones only: Pillow drops the last pixel of odd ones)."""
    data = b""
    for _ in range(H):
        x = 0
        while x < W:
            sizes = [n for n in ((4, 6) if nibbles else (3, 4, 5)) if n <= W - x]
            if sizes and rng.random() < 0.5:
                n = rng.choice(sizes)
                values = [rng.randrange(16) for _ in range(n)]
                body = bytes(values[i] << 4 | values[i + 1] for i in range(0, n, 2)) if nibbles else bytes(values)
                data += bytes((0, n)) + body + bytes(len(body) % 2)
            else:
                n = rng.randrange(1, min(W - x, 9) + 1)
                data += bytes((n, rng.randrange(256) if nibbles else rng.randrange(16)))
            x += n
        data += b"\x00\x00"
    return data + b"\x00\x01"


def write(folder):
    os.makedirs(folder, exist_ok=True)
    rgba = source_rgba()
    rgb = rgba.convert("RGB")
    pal = rgb.quantize(colors=40, dither=Image.Dither.NONE)
    at = lambda name: os.path.join(folder, name)
    png, rgb_png, pal_png = at("source.png"), at("source_rgb.png"), at("source_pal.png")
    rgba.save(png)
    rgb.save(rgb_png)
    pal.save(pal_png)
    manifest = []  # (name, mask, alpha)
    pil_jobs = []  # (name, alpha that replaces the one Pillow reads)
    im_jobs = []  # (name, convert arguments)

    def pil(name, image, plane=0, mask=0xFF, alpha=None, **options):
        image.save(at(name), **options)
        pil_jobs.append((name, alpha))
        manifest.append((name, mask, plane))

    def im(name, args, mask=0xFF, plane=0, kind=""):
        im_jobs.append((name, [CONVERT] + args + [kind + at(name)]))
        manifest.append((name, mask, plane))

    # BMP. Pillow reads 32-bit files as RGB; their fourth bytes are the alpha, all 0 meaning opaque.
    pil("pil_1.bmp", rgba.convert("1"))
    pil("pil_8_grey.bmp", rgba.convert("L"))
    pil("pil_8_palette.bmp", pal)
    pil("pil_24.bmp", rgb)
    pil("pil_32_alpha.bmp", rgba, 1, alpha=rgba.getchannel("A"))
    clear = rgba.copy()
    clear.putalpha(0)
    pil("pil_32_zero_alpha.bmp", clear, 1, alpha=255)
    for name, args, kind, mask in [
        ("im_1", ["-monochrome"], "BMP3", 0xFF),
        ("im_4", ["-colors", "12", "-type", "Palette"], "BMP3", 0xFF),
        ("im_8", ["-colors", "200", "-type", "Palette", "-compress", "None"], "BMP3", 0xFF),
        ("im_rle8", ["-colors", "40", "-type", "Palette", "-compress", "RLE"], "BMP3", 0xFF),
        ("im_core_4", ["-colors", "9", "-type", "Palette"], "BMP2", 0xFF),
        ("im_core_8", ["-colors", "100", "-type", "Palette"], "BMP2", 0xFF),
        ("im_24", ["-type", "TrueColor"], "BMP3", 0xFF),
        ("im_24_v5", ["-type", "TrueColor"], "BMP", 0xFF),
        ("im_565", ["-define", "bmp:subtype=RGB565"], "BMP", 0xF8),
        ("im_555", ["-define", "bmp:subtype=RGB555"], "BMP", 0xF8),
    ]:
        im(name + ".bmp", [rgb_png] + args, mask, kind=kind + ":")
    im("im_32_bitfields.bmp", [png], kind="BMP:")  # bit fields make no alpha plane
    hand = []
    rows = b"".join(pad4(b"".join(bytes(rgb.getpixel((x, y))[::-1]) for x in range(W))) for y in range(H))
    hand_bmp(at("hand_24_top_down.bmp"), -H, 24, 0, [], rows)
    words = [rng.randrange(0x8000) for _ in range(W * H)]
    rows = b"".join(pad4(struct.pack(f"<{W}H", *words[y * W:(y + 1) * W])) for y in range(H))
    hand_bmp(at("hand_16_plain.bmp"), H, 16, 0, [], rows)  # 5-5-5 without masks
    palette = [tuple(rng.randrange(256) for _ in range(3)) for _ in range(16)]
    indices = [rng.randrange(5) for _ in range(W * H)] + [0]
    rows = b"".join(pad4(bytes(indices[y * W + i] << 4 | (indices[y * W + i + 1] if i + 1 < W else 0)
                               for i in range(0, W, 2))) for y in range(H))
    hand_bmp(at("hand_4_header_64.bmp"), H, 4, 0, palette[:5], rows, header_size=64)
    hand_bmp(at("hand_rle8.bmp"), H, 8, 1, palette, rle_rows(False))
    hand_bmp(at("hand_rle4.bmp"), H, 4, 2, palette, rle_rows(True))
    for name, mask in [("hand_24_top_down", 0xFF), ("hand_16_plain", 0xF8), ("hand_4_header_64", 0xFF),
                       ("hand_rle8", 0xFF), ("hand_rle4", 0xFF)]:
        pil_jobs.append((name + ".bmp", None))
        manifest.append((name + ".bmp", mask, 0))

    # TGA raw and run-length, both row orders: Pillow at 8 (palette, grey), 24 and 32 bits,
    # ImageMagick at 16 bits too.
    for rle in (False, True):
        for top_down in (False, True):
            suffix = ("_rle" if rle else "_raw") + ("_top" if top_down else "_bottom") + ".tga"
            for kind, image in {"pal8": pal, "grey8": rgba.convert("L"), "rgb24": rgb, "rgba32": rgba}.items():
                pil("pil_" + kind + suffix, image, int(kind == "rgba32"), rle=rle, orientation=1 if top_down else -1)
            for kind, args, mask in [("pal8", [pal_png, "-type", "Palette"], 0xFF),
                                     ("grey8", [png, "-type", "Grayscale"], 0xFF),
                                     ("rgb16", [png, "-alpha", "off", "-type", "TrueColor", "-depth", "5"], 0xF8),
                                     ("rgb24", [png, "-alpha", "off", "-type", "TrueColor"], 0xFF),
                                     ("rgba32", [png, "-type", "TrueColorAlpha"], 0xFF)]:
                im("im_" + kind + suffix, args + ["-compress", "RLE" if rle else "None", "-orient",
                                                  "TopLeft" if top_down else "BottomLeft"], mask, int(kind == "rgba32"))
    # PCX: Pillow at 1, 8 and 24 bits; ImageMagick at 8 and 24 bits and 24 bits with alpha.
    for kind, image in {"bw1": rgba.convert("1"), "pal8": pal, "grey8": rgba.convert("L"), "rgb24": rgb}.items():
        pil("pil_" + kind + ".pcx", image)
    im("im_pal8.pcx", [pal_png, "-type", "Palette"])
    im("im_rgb24.pcx", [png, "-alpha", "off", "-type", "TrueColor"])
    im("im_rgba32.pcx", [png, "-type", "TrueColorAlpha"], plane=1)

    def run_im(job):
        name, cmd = job
        subprocess.run(cmd, check=True, capture_output=True)
        im_read(at(name), at(name) + ".rgba")

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
    if len(sys.argv) >= 3 and sys.argv[1] == "write":
        write(sys.argv[2])
    elif len(sys.argv) >= 3 and sys.argv[1] == "read":
        read(sys.argv[2:])
    else:
        sys.exit(__doc__)
