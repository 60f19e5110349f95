"""Writes image files with Pillow or ImageMagick, each beside the tool's own decoding.

  imaging_samples.py pillow|magick DIR  NAME and NAME.rgba (the tool's 8-bit red, green, blue, alpha)
                                        per sample, and DIR/list.txt of "NAME TOLERANCE" lines
  imaging_samples.py dump FILE...       Pillow's decoding of each FILE into FILE.pillow.rgba
  imaging_samples.py scans DIR          DIR/repeated_scans.jpg, a progressive file of the largest size
                                        whose last scan is repeated a thousand times, and the same
                                        stream as the one strip of DIR/repeated_scans.tif
"""
import io
import os
import struct
import subprocess
import sys

from PIL import Image

CONVERT = "/usr/bin/convert"
W, H = 37, 23
EXIF = Image.Exif()
EXIF[0x0112] = 6  # orientation: turn a quarter clockwise to show

# name, mode (Pn: an n-colour palette), tolerance, save options
PILLOW = [
    ("p_rgba.png", "RGBA", 0, {}),
    ("p_greyalpha.png", "LA", 0, {}),
    ("p_palette_trns.png", "P16", 0, {"transparency": 3}),
    ("p_bits1.png", "1", 0, {}),
    ("p_bits4.png", "P9", 0, {"bits": 4}),
    ("p_grey.jpg", "L", 0, {"quality": 92}),
    ("p_progressive.jpg", "RGB", 0, {"quality": 80, "progressive": True}),
    ("p_exif_rotated.jpg", "RGB", 0, {"quality": 92, "exif": EXIF}),
    ("p_cmyk.jpg", "CMYK", 1, {"quality": 95}),
    ("p_greyalpha.tif", "LA", 0, {}),
    ("p_palette.tif", "P50", 0, {}),
    ("p_bits1.tif", "1", 0, {"compression": "group4"}),
    ("p_lzw.tif", "RGBA", 0, {"compression": "tiff_lzw"}),
    ("p_deflate.tif", "RGB", 0, {"compression": "tiff_adobe_deflate"}),
    ("p_packbits.tif", "L", 0, {"compression": "packbits"}),
    ("p_jpeg.tif", "RGB", 0, {"compression": "jpeg", "quality": 90}),
    ("p_cmyk.tif", "CMYK", 1, {}),
]

# name, convert options (a trailing "FORMAT:" prefixes the file name), tolerance
MAGICK = [
    ("m_interlaced.png", "-interlace PNG", 0),
    ("m_rgba16.png", "-depth 16", 1),
    ("m_grey16.png", "-alpha off -colorspace Gray -depth 16", 1),
    ("m_palette_trns.png", "-colors 30 PNG8:", 0),
    ("m_cmyk.jpg", "-alpha off -colorspace CMYK -quality 95", 2),
    ("m_rgba16.tif", "-depth 16 -define tiff:alpha=unassociated", 1),
    ("m_associated.tif", "-define tiff:alpha=associated", 3),
    ("m_planar.tif", "-interlace Plane -define tiff:alpha=unassociated", 0),
    ("m_tiled.tif", "-define tiff:tile-geometry=16x16 -define tiff:alpha=unassociated", 0),
    ("m_tiled_planar.tif", "-alpha off -interlace Plane -define tiff:tile-geometry=16x16", 0),
    ("m_grey16.tif", "-alpha off -colorspace Gray -depth 16", 1),
    ("m_miniswhite.tif", "-alpha off -colorspace Gray -define quantum:polarity=min-is-white", 0),
    ("m_palette4.tif", "-alpha off -colors 12 -type Palette -depth 4", 0),
    ("m_ycbcr_jpeg.tif", "-alpha off -colorspace YCbCr -compress JPEG -quality 90", 2),
    ("m_bigendian.tif", "-alpha off -depth 16 -endian MSB", 1),
    ("m_two_pages.tif", "-alpha off ( +clone -negate )", 0),  # only the first page is read
    ("m_rle8.bmp", "-alpha off -colors 60 -compress RLE BMP3:", 0),
    ("m_default8.bmp", "-alpha off -colors 60 -type Palette BMP:", 0),  # 124-byte header, RLE8, 256 colours
    ("m_v5_alpha.bmp", "-type TrueColorAlpha BMP:", 0),
    ("m_565.bmp", "-alpha off -define bmp:subtype=RGB565 BMP:", 0),
    ("m_555.bmp", "-alpha off -define bmp:subtype=RGB555 BMP:", 0),
    ("m_core8.bmp", "-alpha off -colors 60 -type Palette BMP2:", 0),  # 12-byte header, 3-byte palette entries
]


def pattern():  # gradients, hard edges and varied alpha
    im = Image.new("RGBA", (W, H))
    im.putdata([(x * 7 % 256, y * 11 % 256, (x * y * 3 + 40) % 256, 255 if x < 5 else (x * 13 + y * 5 + 30) % 256)
                for y in range(H) for x in range(W)])
    return im


def without_adobe_marker(data):  # the CMYK values must still read as inverted ink
    at = data.find(b"\xff\xee")
    assert at > 0
    return data[:at] + data[at + 2 + (data[at + 2] << 8 | data[at + 3]):]


def run_all(commands):
    if any([job.wait() for job in [subprocess.Popen(c) for c in commands]]):
        sys.exit("convert failed")


def dump(paths, suffix):
    for path in paths:
        with Image.open(path) as im, open(path + suffix, "wb") as f:
            f.write(im.convert("RGBA").tobytes())


def pillow():
    base = pattern()
    for name, mode, _, options in PILLOW:
        im = base.convert("RGB").quantize(colors=int(mode[1:])) if mode[0] == "P" else base.convert(mode)
        im.save(name, **options)
    with open("p_cmyk.jpg", "rb") as f, open("p_cmyk_plain.jpg", "wb") as out:
        out.write(without_adobe_marker(f.read()))
    samples = [(name, tolerance) for name, _, tolerance, _ in PILLOW] + [("p_cmyk_plain.jpg", 1)]
    dump([name for name, _ in samples], ".rgba")
    return samples


def magick():
    with open("m_base.rgba", "wb") as f:
        f.write(pattern().tobytes())
    commands = []
    for name, options, _ in MAGICK:
        args = options.split()
        target = args.pop() + name if args[-1].endswith(":") else name
        commands.append([CONVERT, "-size", f"{W}x{H}", "-depth", "8", "rgba:m_base.rgba"] + args + [target])
    run_all(commands)
    run_all([[CONVERT, name + "[0]", "-depth", "8", "rgba:" + name + ".rgba"] for name, _, _ in MAGICK])
    return [(name, tolerance) for name, _, tolerance in MAGICK]


def tiff_around_jpeg(jpeg, side):
    """A little-endian TIFF whose one strip is the JPEG stream (YCbCr, subsampled 2 x 2)."""
    bits_at, strip_at = 8, 14
    directory = strip_at + len(jpeg) + len(jpeg) % 2
    entries = [(256, 4, 1, side), (257, 4, 1, side), (258, 3, 3, bits_at), (259, 3, 1, 7), (262, 3, 1, 6),
               (273, 4, 1, strip_at), (277, 3, 1, 3), (278, 4, 1, side), (279, 4, 1, len(jpeg)), (284, 3, 1, 1),
               (530, 3, 2, 2 | 2 << 16)]
    out = b"II*\0" + struct.pack("<I", directory) + struct.pack("<3H", 8, 8, 8) + jpeg
    out += b"\0" * (directory - len(out)) + struct.pack("<H", len(entries))
    for tag, kind, count, value in entries:
        out += struct.pack("<HHI", tag, kind, count) + (struct.pack("<HH", value, 0) if kind == 3 and count == 1
                                                        else struct.pack("<I", value))
    return out + b"\0" * 4


def repeated_scans():
    side = 7000  # the largest square a source may hold
    data = io.BytesIO()
    Image.new("RGB", (side, side), (90, 140, 200)).save(data, "JPEG", progressive=True, quality=80)
    data = data.getvalue()
    last = data[data.rfind(b"\xff\xda"):-2]
    hostile = data[:-2] + last * 1000 + b"\xff\xd9"
    with open("repeated_scans.jpg", "wb") as f:
        f.write(hostile)
    with open("repeated_scans.tif", "wb") as f:
        f.write(tiff_around_jpeg(hostile, side))


if __name__ == "__main__":
    if sys.argv[1] == "dump":
        dump(sys.argv[2:], ".pillow.rgba")
    elif sys.argv[1] == "scans":
        os.chdir(sys.argv[2])
        repeated_scans()
    else:
        os.chdir(sys.argv[2])
        samples = pillow() if sys.argv[1] == "pillow" else magick()
        with open("list.txt", "w") as f:
            f.writelines(f"{name} {tolerance}\n" for name, tolerance in samples)
