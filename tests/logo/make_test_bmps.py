#!/usr/bin/env python3
"""Writes BMP files in every depth the logo converter reads, with ImageMagick, Pillow and a
small writer of our own (for the kinds neither tool writes, 4-bit run-length among them), and decodes each one into
OUT/<name>.rgbi (R, G, B, colour index per pixel, top row first) for the converter tests.

OUT/manifest.txt gets one line per file:
  ok <name> <file> <width> <height> <bits> <blue of colour-table entry 0>
  refuse <name> <file>
Channels of 16- and 32-bit pixels are widened the way the printer tool does it (a 5-bit
value times 8). Where Pillow can decode a file, its colours must agree with ours.
"""
import os
import struct
import subprocess
import sys

from PIL import Image

W, H = 77, 45  # neither a multiple of 8


def source_pixel(x, y):
    # Smooth ramps with a hard-edged pattern and a few saturated spots, deterministic.
    r = (x * 255) // (W - 1)
    g = (y * 255) // (H - 1)
    b = ((x + y) * 7) % 256
    if (x // 9 + y // 7) % 3 == 0:
        r, g, b = 255 - r, g, 255 - b
    if (x * 31 + y * 17) % 23 == 0:
        r, g, b = 255, 255, 255
    if (x * 13 + y * 29) % 37 == 0:
        r, g, b = 0, 0, 0
    return r, g, b


def source_image():
    im = Image.new("RGB", (W, H))
    im.putdata([source_pixel(x, y) for y in range(H) for x in range(W)])
    return im


def write_bmp(path, width, height, bpp, pixel, palette=None, info_size=40, top_down=False,
              masks=None):
    """pixel(x, y) gives a colour index or a packed pixel value."""
    stride = (width * bpp + 31) // 32 * 4
    rows = []
    for y in range(height):
        row = bytearray(stride)
        for x in range(width):
            v = pixel(x, y)
            if bpp < 8:
                per = 8 // bpp
                shift = (per - 1 - x % per) * bpp
                row[x * bpp // 8] |= v << shift
            else:
                row[x * bpp // 8:x * bpp // 8 + bpp // 8] = v.to_bytes(bpp // 8, "little")
        rows.append(bytes(row))
    if not top_down:
        rows.reverse()
    compression = 3 if masks else 0
    info = struct.pack("<IiiHHIIiiII", info_size, width, -height if top_down else height, 1, bpp,
                       compression, stride * height, 2835, 2835,
                       len(palette) if palette else 0, 0)
    extra = b""
    if masks:
        if info_size == 40:
            extra = struct.pack("<III", *masks)
        else:
            info += struct.pack("<III", *masks)
    info += b"\0" * (info_size - len(info))
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in (palette or []))
    offset = 14 + len(info) + len(extra) + len(table)
    data = b"".join(rows)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset))
        f.write(info + extra + table + data)


def write_rle4(path, width, height, index, palette):
    """A 4-bit run-length file: per row, an odd absolute run of 5 pixels where one fits, then
    the longest runs of two alternating indices, end of line; end of bitmap last."""
    stream = bytearray()
    for y in reversed(range(height)):
        row = [index(x, y) for x in range(width)]
        x = 0
        if width >= 5:
            stream += bytes((0, 5, row[0] << 4 | row[1], row[2] << 4 | row[3], row[4] << 4, 0))
            x = 5
        while x < width:
            pair = (row[x], row[x + 1] if x + 1 < width else 0)
            n = 1
            while x + n < width and n < 255 and row[x + n] == pair[n % 2]:
                n += 1
            stream += bytes((n, pair[0] << 4 | pair[1]))
            x += n
        stream += b"\0\0"
    stream += b"\0\1"
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 2, len(stream), 2835, 2835,
                       len(palette), 0)
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + len(info) + len(table)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(stream), 0, 0, offset))
        f.write(info + table + stream)


def channel(value, mask):
    if mask == 0:
        return 0
    shift = (mask & -mask).bit_length() - 1
    bits = mask.bit_length() - shift
    v = (value & mask) >> shift
    return v << (8 - bits) if bits <= 8 else v >> (bits - 8)


def decode(path):
    """Our own decoder of uncompressed BMPs: [(r, g, b, index)] top row first."""
    d = open(path, "rb").read()
    offset = struct.unpack_from("<I", d, 10)[0]
    size, w, h, _, bpp, comp = struct.unpack_from("<IiiHHI", d, 14)
    used = struct.unpack_from("<I", d, 46)[0]
    top_down = h < 0
    h = abs(h)
    table = 14 + size
    masks = None
    if comp == 3:
        if size == 40:
            masks = struct.unpack_from("<III", d, 54)
            table += 12
        else:
            masks = struct.unpack_from("<III", d, 54)
    elif bpp == 16:
        masks = (0x7C00, 0x03E0, 0x001F)
    elif bpp == 32:
        masks = (0xFF0000, 0xFF00, 0xFF)
    count = used if used else (1 << bpp if bpp <= 8 else 0)
    pal = [tuple(d[table + 4 * i:table + 4 * i + 3]) for i in range(count)]
    stride = (w * bpp + 31) // 32 * 4
    out = []
    for y in range(h):
        row = offset + (y if top_down else h - 1 - y) * stride
        for x in range(w):
            if bpp <= 8:
                byte = d[row + x * bpp // 8]
                per = 8 // bpp
                idx = (byte >> ((per - 1 - x % per) * bpp)) & ((1 << bpp) - 1)
                b, g, r = pal[idx] if idx < len(pal) else (0, 0, 0)
                out.append((r, g, b, idx))
            elif bpp == 24:
                b, g, r = d[row + 3 * x:row + 3 * x + 3]
                out.append((r, g, b, 0))
            else:
                n = bpp // 8
                v = int.from_bytes(d[row + n * x:row + n * x + n], "little")
                out.append((channel(v, masks[0]), channel(v, masks[1]), channel(v, masks[2]), 0))
    pal0_blue = pal[0][0] if pal else 0
    return w, h, bpp, pal0_blue, out


def pillow_agrees(path, pixels):
    try:
        im = Image.open(path).convert("RGB")
    except Exception:  # a layout Pillow does not read: nothing to compare
        return True
    return list(im.getdata()) == [p[:3] for p in pixels]


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    src = source_image()
    src_png = os.path.join(out, "source.png")
    src.save(src_png)
    files = []  # (name, file, pillow comparable)

    def magick(name, *args):
        path = os.path.join(out, name + ".bmp")
        subprocess.run(["convert", src_png, *args[:-1], args[-1] + path], check=True)
        files.append((name, path, True))

    magick("im1", "-monochrome", "BMP3:")
    magick("im4", "-colors", "16", "-type", "Palette", "-compress", "None", "BMP3:")
    magick("im8", "-colors", "200", "-type", "Palette", "-compress", "None", "BMP3:")
    magick("im8v5", "-colors", "100", "-type", "Palette", "-compress", "None", "BMP:")
    magick("im16_555", "-define", "bmp:subtype=RGB555", "BMP:")
    magick("im16_565", "-define", "bmp:subtype=RGB565", "BMP:")
    magick("im24", "-type", "TrueColor", "BMP3:")
    magick("im24v5", "-type", "TrueColor", "BMP:")
    magick("im32", "-alpha", "on", "-type", "TrueColorAlpha", "BMP:")

    def pillow(name, im):
        path = os.path.join(out, name + ".bmp")
        im.save(path, "BMP")
        files.append((name, path, True))

    pillow("pil1", src.convert("1"))
    pillow("pil8L", src.convert("L"))
    pillow("pil8P", src.quantize(64))
    pillow("pil24", src)
    pillow("pil32", src.convert("RGBA"))

    def own(name, *args, **kw):
        path = os.path.join(out, name + ".bmp")
        write_bmp(path, *args, **kw)
        files.append((name, path, True))

    px = source_pixel
    grey4 = [(0, 0, 0), (90, 90, 90), (170, 170, 170), (255, 255, 255)]
    own("own2", W, H, 2, lambda x, y: sum(px(x, y)) * 4 // 766, palette=grey4)
    own("own1w", W, H, 1, lambda x, y: 1 if sum(px(x, y)) < 384 else 0,
        palette=[(255, 255, 255), (0, 0, 0)])
    own("own1b", W, H, 1, lambda x, y: 0 if sum(px(x, y)) < 384 else 1,
        palette=[(0, 0, 0), (255, 255, 255)])
    pal16 = [(i * 17, 255 - i * 17, (i * 53) % 256) for i in range(16)]
    own("own4_108", W, H, 4, lambda x, y: (px(x, y)[0] + px(x, y)[2]) * 16 // 511,
        palette=pal16, info_size=108)
    own("own16_td", W, H, 16,
        lambda x, y: (px(x, y)[0] >> 3) << 10 | (px(x, y)[1] >> 3) << 5 | px(x, y)[2] >> 3,
        top_down=True)
    own("own16_565_40", W, H, 16,
        lambda x, y: (px(x, y)[0] >> 3) << 11 | (px(x, y)[1] >> 2) << 5 | px(x, y)[2] >> 3,
        masks=(0xF800, 0x07E0, 0x001F))
    own("own24_td", W, H, 24,
        lambda x, y: px(x, y)[2] | px(x, y)[1] << 8 | px(x, y)[0] << 16, top_down=True)
    own("own32_bf40", W, H, 32,
        lambda x, y: px(x, y)[0] << 8 | px(x, y)[1] << 16 | px(x, y)[2] << 24,
        masks=(0xFF00, 0xFF0000, 0xFF000000))

    # Run-length files: as ImageMagick writes every 256-colour BMP3 by default, and 4-bit ones
    # (odd absolute runs, runs of two alternating indices) of our own. Each is checked
    # against its uncompressed twin: the same options, or the same indices.
    rle_files = []  # (name, file, uncompressed twin)
    im8_rle = os.path.join(out, "im8_rle.bmp")
    subprocess.run(["convert", src_png, "-colors", "200", "-type", "Palette",
                    "-compress", "RLE", "BMP3:" + im8_rle], check=True)
    rle_files.append(("im8_rle", im8_rle, os.path.join(out, "im8.bmp")))
    index4 = lambda x, y: (px(x, y)[0] + px(x, y)[2]) * 16 // 511
    own4_rle = os.path.join(out, "own4_rle.bmp")
    write_rle4(own4_rle, W, H, index4, pal16)
    own4_twin = os.path.join(out, "own4_twin.bmp")
    write_bmp(own4_twin, W, H, 4, index4, palette=pal16)
    rle_files.append(("own4_rle", own4_rle, own4_twin))

    with open(os.path.join(out, "manifest.txt"), "w") as m:
        for name, path, twin in rle_files:
            w, h, bpp, pal0_blue, pixels = decode(twin)
            with open(os.path.join(out, name + ".rgbi"), "wb") as f:
                f.write(bytes(v for p in pixels for v in p))
            m.write("ok %s %s %d %d %d %d\n" % (name, path, w, h, bpp, pal0_blue))
        for name, path, comparable in files:
            w, h, bpp, pal0_blue, pixels = decode(path)
            if comparable and bpp != 16 and not pillow_agrees(path, pixels):
                sys.exit("decoders disagree on " + name)
            with open(os.path.join(out, name + ".rgbi"), "wb") as f:
                f.write(bytes(v for p in pixels for v in p))
            m.write("ok %s %s %d %d %d %d\n" % (name, path, w, h, bpp, pal0_blue))
        # The kind the converter refuses, as ImageMagick writes it.
        os2 = os.path.join(out, "im_os2.bmp")
        subprocess.run(["convert", src_png, "BMP2:" + os2], check=True)
        m.write("refuse im_os2 %s\n" % os2)


if __name__ == "__main__":
    main()
