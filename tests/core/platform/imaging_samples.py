"""Writes image files with Pillow or ImageMagick, each beside the tool's own decoding.

  imaging_samples.py pillow DIR   Pillow's files
  imaging_samples.py magick DIR   ImageMagick's files (/usr/bin/convert)
  imaging_samples.py dump FILE... Pillow's decoding of each FILE

For every sample NAME the directory gets NAME and NAME.rgba (the tool's pixels, 8-bit
red, green, blue, alpha, top row first), and a manifest (pillow.txt or magick.txt)
gets a line "NAME WIDTH HEIGHT TOLERANCE": the largest difference allowed per byte.
"""
import io
import os
import subprocess
import sys

from PIL import Image

CONVERT = "/usr/bin/convert"
W, H = 37, 23


def pattern():
    """A deterministic picture with gradients, hard edges and varied alpha."""
    im = Image.new("RGBA", (W, H))
    px = im.load()
    for y in range(H):
        for x in range(W):
            r = (x * 7) % 256
            g = (y * 11) % 256
            b = (x * y * 3 + 40) % 256
            a = 255 if x < 5 else (x * 13 + y * 5 + 30) % 256
            px[x, y] = (r, g, b, a)
    return im


def rgba_bytes(im):
    return im.convert("RGBA").tobytes()


def strip_adobe_marker(data):
    """Drops the APP14 segment, so the CMYK values read as plain ink."""
    out = bytearray(data[:2])
    i = 2
    while i + 4 <= len(data) and data[i] == 0xFF:
        marker = data[i + 1]
        length = (data[i + 2] << 8) | data[i + 3]
        if marker == 0xDA:
            break
        if marker != 0xEE:
            out += data[i : i + 2 + length]
        i += 2 + length
    out += data[i:]
    return bytes(out)


def exif_rotated():
    exif = Image.Exif()
    exif[0x0112] = 6  # orientation: rotate 90 degrees clockwise to show
    return exif


def pillow(folder):
    base = pattern()
    rgb = base.convert("RGB")
    samples = []  # (name, image written or bytes, save options, tolerance)

    def add(name, image, tolerance=0, **options):
        samples.append((name, image, options, tolerance))

    add("p_rgb.png", rgb)
    add("p_rgba.png", base)
    add("p_grey.png", base.convert("L"))
    add("p_greyalpha.png", base.convert("LA"))
    add("p_palette.png", rgb.quantize(colors=50))
    pal = rgb.quantize(colors=16)
    pal.info["transparency"] = 3
    add("p_palette_trns.png", pal, transparency=3)
    add("p_bits1.png", rgb.convert("1"))
    add("p_bits4.png", rgb.quantize(colors=9), bits=4)
    add("p_rgb.jpg", rgb, quality=92)
    add("p_grey.jpg", rgb.convert("L"), quality=92)
    add("p_progressive.jpg", rgb, quality=80, progressive=True)
    add("p_exif_rotated.jpg", rgb, quality=92, exif=exif_rotated())
    add("p_cmyk.jpg", rgb.convert("CMYK"), tolerance=1, quality=95)
    add("p_rgb.tif", rgb)
    add("p_rgba.tif", base)
    add("p_grey.tif", base.convert("L"))
    add("p_greyalpha.tif", base.convert("LA"))
    add("p_palette.tif", rgb.quantize(colors=50))
    add("p_bits1.tif", rgb.convert("1"), compression="group4")
    add("p_lzw.tif", base, compression="tiff_lzw")
    add("p_deflate.tif", rgb, compression="tiff_adobe_deflate")
    add("p_packbits.tif", rgb.convert("L"), compression="packbits")
    add("p_jpeg.tif", rgb, tolerance=0, compression="jpeg", quality=90)
    add("p_cmyk.tif", rgb.convert("CMYK"), tolerance=1)
    add("p_rgb.bmp", rgb)
    add("p_palette.bmp", rgb.quantize(colors=50))
    add("p_grey.bmp", rgb.convert("L"))
    add("p_bits1.bmp", rgb.convert("1"))

    lines = []
    for name, image, options, tolerance in samples:
        path = os.path.join(folder, name)
        image.save(path, **options)
        with Image.open(path) as reread:
            data = rgba_bytes(reread)
            size = reread.size
        with open(path + ".rgba", "wb") as f:
            f.write(data)
        lines.append(f"{name} {size[0]} {size[1]} {tolerance}")

    # Without its Adobe marker a CMYK JPEG is still read as inverted ink.
    buffer = io.BytesIO()
    rgb.convert("CMYK").save(buffer, "JPEG", quality=95)
    plain = strip_adobe_marker(buffer.getvalue())
    path = os.path.join(folder, "p_cmyk_plain.jpg")
    with open(path, "wb") as f:
        f.write(plain)
    with Image.open(path) as reread:
        assert "adobe" not in reread.info
        with open(path + ".rgba", "wb") as f:
            f.write(rgba_bytes(reread))
    lines.append(f"p_cmyk_plain.jpg {W} {H} 1")

    with open(os.path.join(folder, "pillow.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


MAGICK_SAMPLES = [
    # name, options, tolerance
    ("m_interlaced.png", ["-interlace", "PNG"], 0),
    ("m_rgb16.png", ["-alpha", "off", "-depth", "16"], 1),
    ("m_rgba16.png", ["-depth", "16"], 1),
    ("m_grey16.png", ["-alpha", "off", "-colorspace", "Gray", "-depth", "16"], 1),
    ("m_greyalpha.png", ["-colorspace", "Gray", "PNG32:"], 0),
    ("m_palette_trns.png", ["-colors", "30", "PNG8:"], 0),
    ("m_progressive.jpg", ["-alpha", "off", "-interlace", "Plane", "-quality", "85"], 0),
    ("m_cmyk.jpg", ["-alpha", "off", "-colorspace", "CMYK", "-quality", "95"], 2),
    ("m_grey.jpg", ["-alpha", "off", "-colorspace", "Gray"], 0),
    ("m_rgb16.tif", ["-alpha", "off", "-depth", "16"], 1),
    ("m_rgba.tif", ["-define", "tiff:alpha=unassociated"], 0),
    ("m_rgba16.tif", ["-depth", "16", "-define", "tiff:alpha=unassociated"], 1),
    ("m_associated.tif", ["-define", "tiff:alpha=associated"], 3),
    ("m_planar.tif", ["-interlace", "Plane", "-define", "tiff:alpha=unassociated"], 0),
    ("m_tiled.tif", ["-define", "tiff:tile-geometry=16x16", "-define", "tiff:alpha=unassociated"], 0),
    ("m_tiled_planar.tif", ["-alpha", "off", "-interlace", "Plane", "-define", "tiff:tile-geometry=16x16"], 0),
    ("m_grey16.tif", ["-alpha", "off", "-colorspace", "Gray", "-depth", "16"], 1),
    ("m_miniswhite.tif", ["-alpha", "off", "-colorspace", "Gray", "-define", "quantum:polarity=min-is-white"], 0),
    ("m_palette.tif", ["-alpha", "off", "-type", "Palette", "-colors", "40"], 1),
    ("m_palette4.tif", ["-alpha", "off", "-colors", "12", "-type", "Palette", "-depth", "4"], 0),
    ("m_bilevel.tif", ["-alpha", "off", "-type", "Bilevel", "-depth", "1"], 0),
    ("m_ycbcr_jpeg.tif", ["-alpha", "off", "-colorspace", "YCbCr", "-compress", "JPEG", "-quality", "90"], 2),
    ("m_bigendian.tif", ["-alpha", "off", "-depth", "16", "-endian", "MSB"], 1),
    ("m_zip.tif", ["-compress", "Zip", "-define", "tiff:alpha=unassociated"], 0),
    ("m_jpeg.tif", ["-alpha", "off", "-compress", "JPEG", "-quality", "90"], 2),
    ("m_cmyk.tif", ["-alpha", "off", "-colorspace", "CMYK"], 2),
    ("m_rgb.bmp", ["-alpha", "off", "BMP3:"], 0),
    ("m_rle8.bmp", ["-alpha", "off", "-colors", "60", "-compress", "RLE", "BMP3:"], 0),
]


def magick(folder):
    base = os.path.join(folder, "m_base.rgba")
    with open(base, "wb") as f:
        f.write(rgba_bytes(pattern()))
    source = ["-size", f"{W}x{H}", "-depth", "8", "rgba:" + base]
    lines = []
    jobs = []
    for name, options, tolerance in MAGICK_SAMPLES:
        path = os.path.join(folder, name)
        target = path
        if options and options[-1].endswith(":"):
            target = options[-1] + path
            options = options[:-1]
        jobs.append(subprocess.Popen([CONVERT] + source + options + [target]))
        lines.append(f"{name} {W} {H} {tolerance}")
    # A second page that must not be the one decoded.
    two = os.path.join(folder, "m_two_pages.tif")
    jobs.append(subprocess.Popen([CONVERT] + source + ["-alpha", "off", "(", "+clone", "-negate", ")", two]))
    lines.append(f"m_two_pages.tif {W} {H} 0")
    for job in jobs:
        if job.wait() != 0:
            sys.exit("convert failed")
    jobs = []
    for line in lines:
        path = os.path.join(folder, line.split()[0])
        jobs.append(subprocess.Popen([CONVERT, path + "[0]", "-depth", "8", "rgba:" + path + ".rgba"]))
    for job in jobs:
        if job.wait() != 0:
            sys.exit("convert failed")
    with open(os.path.join(folder, "magick.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


def dump(paths):
    for path in paths:
        with Image.open(path) as im:
            with open(path + ".pillow.rgba", "wb") as f:
                f.write(rgba_bytes(im))


if __name__ == "__main__":
    mode = sys.argv[1]
    if mode == "pillow":
        pillow(sys.argv[2])
    elif mode == "magick":
        magick(sys.argv[2])
    elif mode == "dump":
        dump(sys.argv[2:])
    else:
        sys.exit("unknown mode " + mode)
