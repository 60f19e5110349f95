"""Writes BMP files with Pillow, with ImageMagick and by hand into a folder, each with the
pixels that the tool that wrote it (or Pillow, for the hand-made ones) decodes from it.

For every sample: NAME.bmp, NAME.rgba (width * height * 4 bytes, top row first, red,
green, blue, alpha) and a line of manifest.txt:
    NAME WIDTH HEIGHT DEPTH CHANNEL_MASK ALPHA
DEPTH is the depth the image class makes of it, CHANNEL_MASK the bits of each 8-bit
channel that must agree (5- and 6-bit channels are widened differently by each reader),
ALPHA "none" (no alpha plane), "plane" (the plane must equal the .rgba alpha) or
"ignore".

Usage: bmp_samples.py FOLDER
"""
import os
import random
import struct
import subprocess
import sys

from PIL import Image

CONVERT = "/usr/bin/convert"
W, H = 13, 7

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
rng = random.Random(20240601)
manifest = []


def random_rgb(w=W, h=H):
    im = Image.new("RGB", (w, h))
    im.putdata([(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for _ in range(w * h)])
    return im


def pillow_rgba(path, alpha=None):
    """Pillow's decode of path; alpha (a list) replaces the alpha it reports."""
    im = Image.open(path).convert("RGBA")
    pixels = list(im.getdata())
    if alpha is not None:
        pixels = [(r, g, b, a) for (r, g, b, _), a in zip(pixels, alpha)]
    return im.size, b"".join(bytes(p) for p in pixels)


def magick_rgba(path):
    raw = subprocess.run([CONVERT, path, "-depth", "8", "rgba:-"], check=True,
                         capture_output=True).stdout
    with Image.open(path) as im:
        return im.size, raw


def add(name, size_and_pixels, depth, mask=0xFF, alpha="none"):
    (w, h), rgba = size_and_pixels
    assert len(rgba) == w * h * 4, name
    with open(os.path.join(out, name + ".rgba"), "wb") as f:
        f.write(rgba)
    manifest.append(f"{name} {w} {h} {depth} {mask} {alpha}")


def path(name):
    return os.path.join(out, name + ".bmp")


# Pillow writes 40-byte headers, uncompressed.
bits = Image.new("1", (W, H))
bits.putdata([rng.randrange(2) * 255 for _ in range(W * H)])
bits.save(path("pillow_1"))
add("pillow_1", pillow_rgba(path("pillow_1")), 1)

grey = Image.new("L", (W, H))
grey.putdata([rng.randrange(256) for _ in range(W * H)])
grey.save(path("pillow_8_grey"))
add("pillow_8_grey", pillow_rgba(path("pillow_8_grey")), 8)

random_rgb().quantize(200).save(path("pillow_8_palette"))
add("pillow_8_palette", pillow_rgba(path("pillow_8_palette")), 8)

random_rgb().save(path("pillow_24"))
add("pillow_24", pillow_rgba(path("pillow_24")), 24)

for name, alpha in (("pillow_32_alpha", [rng.randrange(256) for _ in range(W * H)]),
                    ("pillow_32_zero_alpha", [0] * (W * H))):
    im = random_rgb().convert("RGBA")
    im.putalpha(Image.frombytes("L", (W, H), bytes(alpha)))
    im.save(path(name))
    # Pillow reads these as RGB; the fourth bytes are the alpha, all 0 meaning opaque.
    expected = alpha if any(alpha) else [255] * (W * H)
    add(name, pillow_rgba(path(name), expected), 24, alpha="plane")

# ImageMagick: 40-byte (BMP3), core (BMP2) and 124-byte (BMP) headers.
source = os.path.join(out, "source.png")
random_rgb().save(source)
magick = [
    ("magick_1", ["-monochrome"], "BMP3", 1, 0xFF),
    ("magick_4", ["-colors", "12", "-type", "Palette"], "BMP3", 4, 0xFF),
    ("magick_8", ["-colors", "200", "-type", "Palette", "-compress", "None"], "BMP3", 8, 0xFF),
    ("magick_rle8", ["-colors", "40", "-type", "Palette", "-compress", "RLE"], "BMP3", 8, 0xFF),
    ("magick_core_4", ["-colors", "9", "-type", "Palette"], "BMP2", 4, 0xFF),
    ("magick_core_8", ["-colors", "100", "-type", "Palette"], "BMP2", 8, 0xFF),
    ("magick_24", ["-type", "TrueColor"], "BMP3", 24, 0xFF),
    ("magick_24_v5", ["-type", "TrueColor"], "BMP", 24, 0xFF),
    # 5-bit channels are widened differently by each reader: their top 5 bits must agree.
    ("magick_565", ["-define", "bmp:subtype=RGB565"], "BMP", 24, 0xF8),
    ("magick_555", ["-define", "bmp:subtype=RGB555"], "BMP", 24, 0xF8),
    ("magick_32_bitfields", ["-alpha", "set", "-channel", "A", "-fx", "(i+j)/20", "+channel"],
     "BMP", 24, 0xFF),
]
for name, options, kind, depth, mask in magick:
    subprocess.run([CONVERT, source, *options, f"{kind}:{path(name)}"], check=True)
    # Bit-field files carry no alpha plane in the image class.
    add(name, magick_rgba(path(name)), depth, mask, "ignore" if "32" in name else "none")


def write_bmp(name, width, height, bits, compression, palette, data, header_size=40,
              pal_entry=4, masks=b""):
    """A BMP file around data; palette is a list of (r, g, b)."""
    pal = b"".join(bytes((b, g, r) + ((0,) if pal_entry == 4 else ())) for r, g, b in palette)
    if header_size == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, bits, compression,
                           len(data), 2835, 2835, len(palette), 0)
        info += bytes(header_size - 40)
    offset = 14 + len(info) + len(masks) + len(pal)
    head = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path(name), "wb") as f:
        f.write(head + info + masks + pal + data)


def pad4(row):
    return row + bytes(-len(row) % 4)


# Top-down 24-bit rows (negative height): the first stored row is the top one.
top = random_rgb()
rows = b"".join(pad4(b"".join(bytes(top.getpixel((x, y))[::-1]) for x in range(W))) for y in range(H))
write_bmp("hand_24_top_down", W, -H, 24, 0, [], rows)
add("hand_24_top_down", pillow_rgba(path("hand_24_top_down")), 24)

# 16 bits without masks: 5-5-5.
words = [rng.randrange(0x8000) for _ in range(W * H)]
rows = b"".join(pad4(b"".join(struct.pack("<H", words[y * W + x]) for x in range(W)))
                for y in range(H))
write_bmp("hand_16_plain", W, H, 16, 0, [], rows)
add("hand_16_plain", pillow_rgba(path("hand_16_plain")), 24, 0xF8)

# A 64-byte header and a 5-entry palette on a 4-bit image.
palette = [(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for _ in range(5)]
indices = [rng.randrange(5) for _ in range(W * H)]
rows = b""
for y in range(H):
    row = indices[y * W:(y + 1) * W] + [0]
    rows += pad4(bytes(row[i] << 4 | row[i + 1] for i in range(0, W, 2)))
write_bmp("hand_4_header_64", W, H, 4, 0, palette, rows, header_size=64)
add("hand_4_header_64", pillow_rgba(path("hand_4_header_64")), 4)

# RLE8 and RLE4 streams with runs, literals (odd and even) and line ends.
palette = [(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for _ in range(16)]


def rle_rows(nibbles):
    """Runs and literals (even ones only at 4 bits: Pillow drops the last pixel of odd ones)."""
    data = b""
    for _ in range(H):
        x = 0
        while x < W:
            left = W - x
            literal_sizes = [n for n in ((4, 6) if nibbles else (3, 4, 5)) if n <= left]
            if literal_sizes and rng.random() < 0.5:
                n = rng.choice(literal_sizes)
                values = [rng.randrange(16) for _ in range(n)]
                if nibbles:
                    body = bytes(values[i] << 4 | values[i + 1] for i in range(0, n, 2))
                else:
                    body = bytes(values)
                data += bytes((0, n)) + body + bytes(len(body) % 2)
            else:
                n = rng.randrange(1, min(left, 9) + 1)
                data += bytes((n, rng.randrange(256) if nibbles else rng.randrange(16)))
            x += n
        data += b"\x00\x00"
    return data + b"\x00\x01"


write_bmp("hand_rle8", W, H, 8, 1, palette, rle_rows(False))
add("hand_rle8", pillow_rgba(path("hand_rle8")), 8)
write_bmp("hand_rle4", W, H, 4, 2, palette, rle_rows(True))
add("hand_rle4", pillow_rgba(path("hand_rle4")), 4)

os.remove(source)
with open(os.path.join(out, "manifest.txt"), "w") as f:
    f.write("\n".join(manifest) + "\n")
