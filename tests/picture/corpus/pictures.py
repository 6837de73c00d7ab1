#!/usr/bin/env python3
"""Pictures for the decoder conformance corpus, made from nothing but this script.

  pictures.py sources DIR            photo-like PPM/PGM pictures for cjpeg
  pictures.py pngs DIR               a PNG of every colour type, bit depth, interlace and tRNS
  pictures.py seeds DIR              tiny PNGs and PPM/PGM pictures for the fuzzer's seeds
  pictures.py exif IN OUT N          IN with an EXIF APP1 segment giving orientation N
  pictures.py flip-dc IN OUT WHAT    IN with a byte of its first (DC) scan changed, djpeg saying WHAT
  pictures.py cut IN OUT PERCENT     the first PERCENT of IN
  pictures.py bad-crc IN OUT CHUNK   IN with the check sum of its first CHUNK chunk wrong
  pictures.py cut-idat IN OUT        IN ending halfway through its image data
  pictures.py gamma IN OUT G [XY..]  IN with a gAMA chunk of G, and a cHRM chunk of the 8 numbers XY

Everything is drawn from fixed seeds, so the corpus comes out the same on every run.
"""

import math
import random
import struct
import subprocess
import sys
import zlib
from pathlib import Path


def photo(width, height, seed, noise=6):
    """RGB rows: soft gradients, a sharp-edged block, a round shape and a little noise, so that
    every DCT frequency and every PNG filter has something to do."""
    rng = random.Random(seed)
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            u = x / max(1, width - 1)
            v = y / max(1, height - 1)
            r = 40 + 190 * u + 20 * math.sin(7 * v + 3 * u)
            g = 70 + 150 * v + 25 * math.sin(11 * u)
            b = 200 - 140 * u * v + 15 * math.cos(5 * (u + v))
            if 0.55 < u < 0.8 and 0.15 < v < 0.45:  # a block with hard edges
                r, g, b = 220, 30, 40
            if (u - 0.3) ** 2 + (v - 0.65) ** 2 < 0.04:  # a round shape
                r, g, b = 30 + 60 * u, 160, 70
            if (x // 3 + y // 3) % 2 == 0 and u > 0.85:  # fine checks at the right edge
                r, g, b = r * 0.4, g * 0.4, b * 0.4
            n = noise
            row.append(tuple(max(0, min(255, int(c + rng.randint(-n, n)))) for c in (r, g, b)))
        rows.append(row)
    return rows


def write_pnm(path, rows, grey=False):
    height, width = len(rows), len(rows[0])
    with open(path, "wb") as out:
        out.write(b"P5\n" if grey else b"P6\n")
        out.write(b"%d %d\n255\n" % (width, height))
        for row in rows:
            for r, g, b in row:
                out.write(bytes([(r * 299 + g * 587 + b * 114) // 1000]) if grey
                          else bytes([r, g, b]))


def sources(folder):
    folder = Path(folder)
    for name, (width, height, seed) in {
        "photo": (200, 150, 1),
        "large": (400, 300, 2),
        "odd": (333, 211, 3),
        "small": (17, 9, 4),
        "dot": (1, 1, 5),
        "turned": (61, 47, 6),
    }.items():
        rows = photo(width, height, seed)
        write_pnm(folder / f"{name}.ppm", rows)
        write_pnm(folder / f"{name}.pgm", rows, grey=True)


# PNG writing: every colour type and depth, each filter in turn, Adam7 when asked.

ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
         (0, 1, 1, 2)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def pack_row(samples, depth):
    """One row of samples (ints) as PNG packs them: big-endian 16-bit, or several to a byte."""
    if depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    if depth == 8:
        return bytes(samples)
    per_byte = 8 // depth
    out = bytearray()
    for i in range(0, len(samples), per_byte):
        byte = 0
        group = samples[i:i + per_byte]
        for k, s in enumerate(group):
            byte |= s << (8 - depth * (k + 1))
        out.append(byte)
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_row(kind, row, above, bpp):
    out = bytearray([kind])
    for i, x in enumerate(row):
        a = row[i - bpp] if i >= bpp else 0
        b = above[i] if above else 0
        c = above[i - bpp] if above and i >= bpp else 0
        predictor = [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]
        out.append((x - predictor) & 0xFF)
    return bytes(out)


def image_data(pixels, channels, depth, interlace):
    """The filtered, uncompressed rows; pixels is rows of tuples of samples."""
    height, width = len(pixels), len(pixels[0])
    bpp = max(1, channels * depth // 8)
    passes = ADAM7 if interlace else [(0, 0, 1, 1)]
    raw = bytearray()
    kind = 0
    for x0, y0, dx, dy in passes:
        above = None
        for y in range(y0, height, dy):
            samples = [s for x in range(x0, width, dx) for s in pixels[y][x]]
            if not samples:
                continue
            row = pack_row(samples, depth)
            raw += filter_row(kind, row, above, bpp)
            kind = (kind + 1) % 5
            above = row
    return bytes(raw)


def write_png(path, pixels, colour_type, depth, interlace=False, palette=None, trns=None,
              idat_pieces=1):
    height, width = len(pixels), len(pixels[0])
    data = zlib.compress(image_data(pixels, CHANNELS[colour_type], depth, interlace), 9)
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0,
                                      1 if interlace else 0))
    if palette:
        out += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    if trns is not None:
        out += chunk(b"tRNS", trns)
    piece = max(1, -(-len(data) // idat_pieces))
    for i in range(0, len(data), piece):
        out += chunk(b"IDAT", data[i:i + piece])
    out += chunk(b"IEND", b"")
    Path(path).write_bytes(out)


def scaled(rows, depth):
    """The photo's samples at another depth: each 8-bit sample spread over the depth's range,
    with the low bits of 16-bit samples varied so that rounding to 8 bits is seen."""
    top = (1 << depth) - 1
    rng = random.Random(depth)
    if depth == 16:
        return [[tuple(s * 257 + rng.randint(-128, 127) if 0 < s < 255 else s * 257 for s in p)
                 for p in row] for row in rows]
    return [[tuple((s * top + 127) // 255 for s in p) for p in row] for row in rows]


def grey_of(rows):
    return [[((r * 299 + g * 587 + b * 114) // 1000,) for r, g, b in row] for row in rows]


def with_alpha(rows, depth):
    """An alpha channel that runs from clear at the left to opaque at the right, with a fully
    clear and a fully opaque band."""
    top = (1 << depth) - 1
    out = []
    for y, row in enumerate(rows):
        width = len(row)
        line = []
        for x, p in enumerate(row):
            alpha = top * x // max(1, width - 1)
            if y % 11 == 0:
                alpha = 0
            elif y % 11 == 1:
                alpha = top
            line.append(p + (alpha,))
        out.append(line)
    return out


def palette_of(rows, depth):
    """A palette of up to 2**depth colours taken from the picture, and its rows as indices."""
    size = 1 << depth
    palette = [(int(255 * i / max(1, size - 1)), int(255 * ((i * 37) % size) / max(1, size - 1)),
                (i * 91) % 256) for i in range(size)]
    indices = [[(((r // 16) * 7 + (g // 16) * 3 + b // 32) % size,) for r, g, b in row]
               for row in rows]
    return palette, indices


def keyed(pixels, depth, grey):
    """Pixels with a colour key: some pixels equal the key, and at 16 bits some differ from it
    in the low byte only, which must stay opaque."""
    top = (1 << depth) - 1
    key = (top // 3,) if grey else (top // 3, top // 2, top // 5)
    out = []
    for y, row in enumerate(pixels):
        line = list(row)
        for x in range(len(line)):
            if (x + 2 * y) % 7 == 0:
                line[x] = key
            elif depth == 16 and (x + 2 * y) % 7 == 3:
                line[x] = tuple(k ^ 1 for k in key)
        out.append(line)
    trns = b"".join(struct.pack(">H", k) for k in key)
    return out, trns


def pngs(folder):
    folder = Path(folder)
    base = photo(37, 23, 10)
    tiny = {"1x1": photo(1, 1, 11), "5x3": photo(5, 3, 12)}
    for interlace in (False, True):
        tag = "adam7" if interlace else "plain"
        for depth in (1, 2, 4, 8, 16):
            write_png(folder / f"grey{depth}-{tag}.png", scaled(grey_of(base), depth), 0, depth,
                      interlace)
        for depth in (8, 16):
            write_png(folder / f"rgb{depth}-{tag}.png", scaled(base, depth), 2, depth, interlace,
                      idat_pieces=3)
            write_png(folder / f"grey-alpha{depth}-{tag}.png",
                      with_alpha(scaled(grey_of(base), depth), depth), 4, depth, interlace)
            write_png(folder / f"rgba{depth}-{tag}.png", with_alpha(scaled(base, depth), depth),
                      6, depth, interlace)
        for depth in (1, 2, 4, 8):
            palette, indices = palette_of(base, depth)
            write_png(folder / f"palette{depth}-{tag}.png", indices, 3, depth, interlace,
                      palette=palette)
        # Colour keys and palette transparency.
        for depth in (2, 8, 16):
            pixels, trns = keyed(scaled(grey_of(base), depth), depth, grey=True)
            write_png(folder / f"grey{depth}-key-{tag}.png", pixels, 0, depth, interlace,
                      trns=trns)
        for depth in (8, 16):
            pixels, trns = keyed(scaled(base, depth), depth, grey=False)
            write_png(folder / f"rgb{depth}-key-{tag}.png", pixels, 2, depth, interlace,
                      trns=trns)
        for depth in (4, 8):
            palette, indices = palette_of(base, depth)
            # Fewer alphas than colours: the rest stay opaque.
            alphas = bytes((i * 53) % 256 for i in range(len(palette) * 3 // 4))
            write_png(folder / f"palette{depth}-trns-{tag}.png", indices, 3, depth, interlace,
                      palette=palette, trns=alphas)
        for name, rows in tiny.items():
            write_png(folder / f"rgb8-{name}-{tag}.png", rows, 2, 8, interlace)
    # Large enough for the scaling paths.
    large = photo(400, 300, 13, noise=3)
    write_png(folder / "rgb8-large.png", large, 2, 8, idat_pieces=8)
    write_png(folder / "rgba8-large-adam7.png", with_alpha(photo(240, 180, 14, noise=3), 8), 6, 8,
              True)
    # Wider than libpng takes by default (1,000,000 pixels), in a few hundred bytes.
    write_png(folder / "refused-too-wide.png", [[(0,)] * 1000001], 0, 1)


def seeds(folder):
    """Tiny pictures for the fuzzer to start from: one of each kind that takes its own path
    through the PNG decoder, and the photo at 24x16 for cjpeg."""
    folder = Path(folder)
    base = photo(13, 7, 20)
    write_pnm(folder / "tiny.ppm", photo(24, 16, 21))
    write_pnm(folder / "tiny.pgm", photo(24, 16, 21), grey=True)
    write_png(folder / "tiny-grey1-adam7.png", scaled(grey_of(base), 1), 0, 1, True)
    write_png(folder / "tiny-grey4-plain.png", scaled(grey_of(base), 4), 0, 4)
    pixels, trns = keyed(scaled(grey_of(base), 16), 16, grey=True)
    write_png(folder / "tiny-grey16-key-adam7.png", pixels, 0, 16, True, trns=trns)
    pixels, trns = keyed(scaled(base, 8), 8, grey=False)
    write_png(folder / "tiny-rgb8-key-plain.png", pixels, 2, 8, trns=trns)
    pixels, trns = keyed(scaled(base, 16), 16, grey=False)
    write_png(folder / "tiny-rgb16-key-plain.png", pixels, 2, 16, trns=trns)
    palette, indices = palette_of(base, 2)
    write_png(folder / "tiny-palette2-trns-adam7.png", indices, 3, 2, True, palette=palette,
              trns=b"\x00\x80")
    write_png(folder / "tiny-grey-alpha16-plain.png", with_alpha(scaled(grey_of(base), 16), 16),
              4, 16)
    write_png(folder / "tiny-rgba16-adam7.png", with_alpha(scaled(base, 16), 16), 6, 16, True)


# Damage and additions to existing files.

def exif(source, target, orientation):
    """An APP1 segment with a little-endian TIFF header and one IFD holding only the
    orientation, put right after the start-of-image marker."""
    tiff = b"II*\x00" + struct.pack("<I", 8) + struct.pack("<H", 1)
    tiff += struct.pack("<HHII", 0x0112, 3, 1, orientation) + struct.pack("<I", 0)
    payload = b"Exif\x00\x00" + tiff
    data = Path(source).read_bytes()
    segment = b"\xff\xe1" + struct.pack(">H", len(payload) + 2) + payload
    Path(target).write_bytes(data[:2] + segment + data[2:])


def flip_dc(source, target, symptom):
    """Changes one byte of the first scan's entropy-coded data, which in a progressive file is a
    DC scan: the first byte, from a third of the way in, whose change makes djpeg report the
    symptom asked for ("extraneous bytes": the data of a restart interval ends before its blocks
    do; "premature end": they end before the data does), so that decoding must pick up again at
    the next restart marker."""
    data = Path(source).read_bytes()
    sos = data.index(b"\xff\xda")
    start = sos + 2 + struct.unpack(">H", data[sos + 2:sos + 4])[0]
    end = data.index(b"\xff\xda", start)
    for at in range(start + (end - start) // 3, end):
        for change in (0x24, 0x81, 0x10):
            if 0xFF in (data[at - 1], data[at], data[at] ^ change, data[at + 1]):
                continue
            damaged = bytearray(data)
            damaged[at] ^= change
            report = subprocess.run(["djpeg"], input=bytes(damaged), capture_output=True).stderr
            if symptom.encode() in report:
                Path(target).write_bytes(bytes(damaged))
                return
    sys.exit(f"no change in {source} makes djpeg report {symptom}")


def cut(source, target, percent):
    data = Path(source).read_bytes()
    Path(target).write_bytes(data[:len(data) * int(percent) // 100])


def chunks_of(data):
    at = 8
    while at + 8 <= len(data):
        length = struct.unpack(">I", data[at:at + 4])[0]
        yield at, data[at + 4:at + 8], length
        at += 12 + length


def bad_crc(source, target, kind):
    data = bytearray(Path(source).read_bytes())
    for at, name, length in chunks_of(data):
        if name == kind.encode():
            data[at + 8 + length] ^= 0x5A
            break
    else:
        sys.exit(f"no {kind} chunk in {source}")
    Path(target).write_bytes(bytes(data))


def cut_idat(source, target):
    data = Path(source).read_bytes()
    for at, name, length in chunks_of(data):
        if name == b"IDAT":
            Path(target).write_bytes(data[:at + 8 + length // 2])
            return
    sys.exit(f"no IDAT chunk in {source}")


def gamma(source, target, value, *chromaticities):
    data = Path(source).read_bytes()
    added = chunk(b"gAMA", struct.pack(">I", round(float(value) * 100000)))
    if chromaticities:
        added += chunk(b"cHRM", struct.pack(">8I", *(round(float(c) * 100000) for c in chromaticities)))
    header_end = 8 + 12 + 13
    Path(target).write_bytes(data[:header_end] + added + data[header_end:])


if __name__ == "__main__":
    commands = {"sources": sources, "pngs": pngs, "seeds": seeds, "exif": lambda s, t, n: exif(s, t, int(n)),
                "flip-dc": flip_dc, "cut": cut, "bad-crc": bad_crc, "cut-idat": cut_idat,
                "gamma": gamma}
    commands[sys.argv[1]](*sys.argv[2:])
