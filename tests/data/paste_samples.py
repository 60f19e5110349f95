"""Writes the image files the paste tests offer on the clipboard into the folder given,
each NAME beside NAME.rgba, its writer's own reading of it (red, green, blue, alpha,
top row first).

rows.png        Pillow, 5 x 4 pixels of which no two are alike, top and bottom rows unlike
rows.bmp        Pillow, the same as a 24-bit bitmap (40-byte header, bottom row first)
v5_565.bmp      ImageMagick, 16 bits in 5-6-5 bit fields, 124-byte header, bottom row first
v5_alpha.bmp    ImageMagick, 32 bits in bit fields with an alpha channel, 124-byte header
v4_565.bmp      the two above with the 108-byte header of the version before (the
v4_alpha.bmp    colour-profile fields, the last 16 bytes of the header, left out)
"""
import struct
import subprocess
import sys
from pathlib import Path

from PIL import Image

CONVERT = "/usr/bin/convert"
out = Path(sys.argv[1])
out.mkdir(parents=True, exist_ok=True)

picture = Image.new("RGBA", (5, 4))
picture.putdata([(x * 60, 30 + y * 70, 250 - x * 45 - y * 9, 255 - 50 * ((x + 2 * y) % 4))
                 for y in range(4) for x in range(5)])
opaque = picture.convert("RGB")
opaque.save(out / "rows.png")
opaque.save(out / "rows.bmp")
picture.save(out / "alpha.png")
for name in ("rows.png", "rows.bmp"):
    with Image.open(out / name) as im:
        (out / (name + ".rgba")).write_bytes(im.convert("RGBA").tobytes())

made = {"v5_565.bmp": [str(out / "rows.png"), "-define", "bmp:subtype=RGB565"],
        "v5_alpha.bmp": [str(out / "alpha.png"), "-type", "TrueColorAlpha"]}
for name, args in made.items():
    subprocess.run([CONVERT] + args + ["BMP:" + str(out / name)], check=True)


def fourth_version(data):
    header = struct.unpack("<I", data[14:18])[0]
    assert header == 124
    size, offset = struct.unpack("<I", data[2:6])[0], struct.unpack("<I", data[10:14])[0]
    data = data[:14 + 108] + data[14 + 124:]
    return data[:2] + struct.pack("<I", size - 16) + data[6:10] + struct.pack("<II", offset - 16, 108) + data[18:]


for kind in ("565", "alpha"):
    (out / f"v4_{kind}.bmp").write_bytes(fourth_version((out / f"v5_{kind}.bmp").read_bytes()))
for name in ("v5_565.bmp", "v5_alpha.bmp", "v4_565.bmp", "v4_alpha.bmp"):
    subprocess.run([CONVERT, str(out / name), "-depth", "8", "rgba:" + str(out / (name + ".rgba"))], check=True)
