"""Writes the image files the document tests load into the folder given.

good.<ext>       a 37 x 23 picture in each of the six formats
alpha.png        the same with alpha (x * 6 + y) mod 256, RGBA
grey8.tga        an 8-bit greyscale TGA (a depth the sources refuse)
and for each format: empty.<ext> (no bytes), cut.<ext> (the good file cut short),
noise.<ext> (random bytes), flat.<ext> (the header says zero pixels wide),
huge.<ext> (a real picture 20001 pixels wide).
"""
import random
import struct
import sys
import zlib
from pathlib import Path

from PIL import Image

out = Path(sys.argv[1])
out.mkdir(parents=True, exist_ok=True)
formats = {"bmp": "BMP", "jpg": "JPEG", "png": "PNG", "tif": "TIFF", "tga": "TGA", "pcx": "PCX"}


def picture(width, height):
    img = Image.new("RGB", (width, height))
    img.putdata([((x * 7) % 256, (y * 11) % 256, (x + y) % 256)
                 for y in range(height) for x in range(width)])
    return img


def zero_width(ext, data):
    data = bytearray(data)
    if ext == "bmp":
        data[18:22] = struct.pack("<i", 0)
    elif ext == "tga":
        data[12:14] = struct.pack("<H", 0)
    elif ext == "pcx":  # xmax one below xmin: no pixels at all
        xmin = struct.unpack("<H", data[4:6])[0]
        data[8:10] = struct.pack("<H", (xmin - 1) & 0xFFFF)
    elif ext == "png":
        data[16:20] = struct.pack(">I", 0)
        data[29:33] = struct.pack(">I", zlib.crc32(bytes(data[12:29])))
    elif ext == "jpg":
        i = 2
        while data[i + 1] not in (0xC0, 0xC1, 0xC2):
            i += 2 + struct.unpack(">H", data[i + 2:i + 4])[0]
        data[i + 7:i + 9] = struct.pack(">H", 0)
    elif ext == "tif":
        order = "<" if data[:2] == b"II" else ">"
        ifd = struct.unpack(order + "I", data[4:8])[0]
        count = struct.unpack(order + "H", data[ifd:ifd + 2])[0]
        for n in range(count):
            at = ifd + 2 + 12 * n
            tag, kind = struct.unpack(order + "HH", data[at:at + 4])
            if tag == 256:
                fmt = "H" if kind == 3 else "I"
                size = struct.calcsize(fmt)
                data[at + 8:at + 8 + size] = struct.pack(order + fmt, 0)
    return bytes(data)


good = picture(37, 23)
noise = random.Random(6)
for ext, name in formats.items():
    path = out / f"good.{ext}"
    good.save(path, name)
    data = path.read_bytes()
    (out / f"empty.{ext}").write_bytes(b"")
    (out / f"cut.{ext}").write_bytes(data[: len(data) // 2])
    (out / f"noise.{ext}").write_bytes(bytes(noise.randrange(256) for _ in range(3000)))
    (out / f"flat.{ext}").write_bytes(zero_width(ext, data))
    picture(20001, 2).save(out / f"huge.{ext}", name)

alpha = picture(37, 23).convert("RGBA")
alpha.putalpha(Image.frombytes("L", (37, 23), bytes((x * 6 + y) % 256
                                                    for y in range(23) for x in range(37))))
alpha.save(out / "alpha.png")
good.convert("L").save(out / "grey8.tga")
