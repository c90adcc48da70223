#!/usr/bin/env python3
"""Writes the golden pictures of the picture operations as BMP files.

Computed from the operations' formulas alone, independently of the C++ code:
- rotation: single-precision sine and cosine of degrees * 6.28318530718 / 360,
  every product and sum rounded to single precision, every conversion
  truncating toward zero; the new size is the box of the four corners (the
  origin corner included), each new pixel (j, i) takes the source pixel
  (int(c X + s Y), int(c Y - s X)) with X = minX + j, Y = minY + i, and the
  rest is background;
- erosion and dilation with the 3 x 3 square over the whole row bytes, the
  padding bits included, pixels outside the row bits and the picture counted
  clear; a dilation ends with the last bit of every row clear;
- softening: passes of distance d, d - 1, ..., 1, each pixel in turn (rows
  from the bottom, columns from the left, in place) the truncated mean of the
  four diagonal pixels at distance d, clamped to the picture.

Inputs are ops_src<bpp>.bmp, ops_mask.bmp and ops_soft<bpp>.bmp; outputs are
named after the operation. Run from this folder.
"""
import math
import struct

WIDTH, HEIGHT = 7, 5
ANGLES = [0, 90, -90, 45, -45, 30, 135, 180]


def f32(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]


def stride(width, bpp):
    return ((width * bpp + 31) // 32) * 4


def write_bmp(name, width, height, bpp, table, rows):
    """rows: bytes of the rows, bottom row first, padding included."""
    size = len(rows)
    assert size == stride(width, bpp) * height
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, 0, size, 0, 0, len(table), len(table))
    colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in table)
    off = 14 + 40 + len(colours)
    with open(name, 'wb') as f:
        f.write(struct.pack('<2sIHHI', b'BM', off + size, 0, 0, off))
        f.write(header + colours + bytes(rows))


class Picture:
    def __init__(self, width, height, bpp, table):
        self.width, self.height, self.bpp, self.table = width, height, bpp, table
        self.row = stride(width, bpp)
        self.bits = bytearray(self.row * height)

    # Pixel values: an index up to 8 bits, else the pixel's bytes as an int.
    def get(self, x, y):
        r = y * self.row
        if self.bpp == 1:
            return (self.bits[r + x // 8] >> (7 - x % 8)) & 1
        if self.bpp == 4:
            return (self.bits[r + x // 2] >> (0 if x % 2 else 4)) & 15
        n = self.bpp // 8
        return int.from_bytes(self.bits[r + n * x:r + n * x + n], 'little')

    def set(self, x, y, v):
        r = y * self.row
        if self.bpp == 1:
            bit = 0x80 >> (x % 8)
            self.bits[r + x // 8] = (self.bits[r + x // 8] | bit) if v else (self.bits[r + x // 8] & ~bit & 0xFF)
        elif self.bpp == 4:
            b = self.bits[r + x // 2]
            self.bits[r + x // 2] = ((b & 0xF0) | v) if x % 2 else ((b & 0x0F) | (v << 4))
        else:
            n = self.bpp // 8
            self.bits[r + n * x:r + n * x + n] = v.to_bytes(n, 'little')

    def save(self, name):
        write_bmp(name, self.width, self.height, self.bpp, self.table, self.bits)


def lcg(seed):
    state = seed
    while True:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        yield state >> 8


def table_for(bpp):
    if bpp == 1:
        return [(0, 0, 0), (255, 255, 255)]
    if bpp == 4:
        return [(17 * i, 255 - 13 * i, (40 * i) % 256) for i in range(16)]
    if bpp == 8:
        return [((i * 7) % 256, (i * 13 + 5) % 256, 255 - i) for i in range(256)]
    return []


def source(bpp):
    p = Picture(WIDTH, HEIGHT, bpp, table_for(bpp))
    rnd = lcg(bpp * 101 + 7)
    for k in range(len(p.bits)):
        p.bits[k] = next(rnd) & 0xFF
    return p


def background_fill(p, bpp, background):
    """The background as the new picture's values, and how it is written."""
    if bpp == 1:
        return 1 if background == 0xFFFFFF else 0
    if bpp in (4, 8):
        r, g, b = background & 0xFF, (background >> 8) & 0xFF, background >> 16
        for i, entry in enumerate(p.table):
            if entry == (r, g, b):
                return i
        return 0
    if bpp == 16:
        # The source's bottom-left pixel, as 5-5-5 of its colour.
        w = p.get(0, 0)
        r, g, b = ((w >> 10) & 31) * 8, ((w >> 5) & 31) * 8, (w & 31) * 8
        return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)
    r, g, b = background & 0xFF, (background >> 8) & 0xFF, background >> 16
    return b | (g << 8) | (r << 16)


def rotate(p, degrees, background):
    angle = degrees * 6.28318530718 / 360
    c, s = f32(math.cos(angle)), f32(math.sin(angle))
    A, B = p.width, p.height
    fa, fb = f32(A), f32(B)
    mul = lambda a, b: f32(a * b)
    add = lambda a, b: f32(a + b)
    sub = lambda a, b: f32(a - b)
    xs = [int(mul(-s, fb)), int(sub(mul(c, fa), mul(s, fb))), int(mul(c, fa))]
    ys = [int(mul(c, fb)), int(add(mul(c, fb), mul(s, fa))), int(mul(s, fa))]
    min_x, max_x = min(xs + [0]), max(xs + [0])
    min_y, max_y = min(ys + [0]), max(ys + [0])
    out = Picture(max_x - min_x, max_y - min_y, p.bpp, p.table)
    fill = background_fill(p, p.bpp, background)
    if p.bpp == 1:
        out.bits[:] = bytes([0xFF if fill else 0] * len(out.bits))
    elif p.bpp == 4:
        out.bits[:] = bytes([(fill << 4) | fill] * len(out.bits))
    elif p.bpp == 8:
        out.bits[:] = bytes([fill] * len(out.bits))
    else:
        for i in range(out.height):
            for j in range(out.width):
                out.set(j, i, fill)
    for i in range(out.height):
        Y = f32(min_y + i)
        for j in range(out.width):
            X = f32(min_x + j)
            sx = int(add(mul(c, X), mul(s, Y)))
            sy = int(sub(mul(c, Y), mul(s, X)))
            if 0 <= sx < A and 0 <= sy < B:
                out.set(j, i, p.get(sx, sy))
    return out


def mask_source():
    # 13 x 7, 4 row bytes: 19 padding bits per row, some of them set.
    p = Picture(13, 7, 1, table_for(1))
    shape = [
        '1111100000000',
        '1111100111000',
        '1111100111001',
        '0011100111011',
        '0000000000011',
        '0100000011111',
        '0000000011111',
    ]
    for y, line in enumerate(shape):
        for x, ch in enumerate(line):
            p.set(x, y, ch == '1')
    # Padding: the bit right of the last column in rows 2 to 6, and a far one in row 0.
    for y in range(2, 7):
        p.bits[y * p.row + 1] |= 0x04
    p.bits[0 * p.row + 3] |= 0x01
    return p


def morph(p, dilate):
    bits = p.row * 8
    def bit(x, y):
        if x < 0 or x >= bits or y < 0 or y >= p.height:
            return 0
        return (p.bits[y * p.row + x // 8] >> (7 - x % 8)) & 1
    out = Picture(p.width, p.height, 1, p.table)
    for y in range(p.height):
        for x in range(bits):
            around = [bit(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)]
            v = any(around) if dilate else all(around)
            if dilate and x == bits - 1:
                v = False
            if v:
                out.bits[y * p.row + x // 8] |= 0x80 >> (x % 8)
    return out


def soften(p, count):
    out = Picture(p.width, p.height, p.bpp, p.table)
    out.bits[:] = p.bits
    w, h = p.width, p.height
    clamp = lambda v, n: max(0, min(v, n - 1))
    for d in range(count, 0, -1):
        for i in range(h):
            r1, r2 = clamp(i + d, h), clamp(i - d, h)
            for j in range(w):
                c1, c2 = clamp(j + d, w), clamp(j - d, w)
                quad = [out.get(c1, r1), out.get(c1, r2), out.get(c2, r1), out.get(c2, r2)]
                if p.bpp == 16:
                    ch = [[(v >> 10) & 31, (v >> 5) & 31, v & 31] for v in quad]
                    m = [sum(c[k] for c in ch) // 4 for k in range(3)]
                    out.set(j, i, (m[0] << 10) | (m[1] << 5) | m[2])
                else:
                    ch = [[(v >> 16) & 255, (v >> 8) & 255, v & 255] for v in quad]
                    m = [sum(c[k] for c in ch) // 4 for k in range(3)]
                    out.set(j, i, (m[0] << 16) | (m[1] << 8) | m[2])
    return out


BACKGROUND = {1: 0xFFFFFF, 4: 0x123456, 8: None, 16: 0, 24: 0x382210, 32: 0x382210}


def main():
    for bpp in (1, 4, 8, 16, 24, 32):
        p = source(bpp)
        p.save('ops_src%d.bmp' % bpp)
        background = BACKGROUND[bpp]
        if background is None:
            # A colour of the table (entry 5).
            r, g, b = p.table[5]
            background = r | (g << 8) | (b << 16)
        for deg in ANGLES:
            rotate(p, deg, background).save('ops_rot%d_%s.bmp' % (bpp, str(deg).replace('-', 'm')))
    mask = mask_source()
    mask.save('ops_mask.bmp')
    once = morph(mask, False)
    once.save('ops_erode1.bmp')
    morph(once, False).save('ops_erode2.bmp')
    once = morph(mask, True)
    once.save('ops_dilate1.bmp')
    morph(once, True).save('ops_dilate2.bmp')
    for bpp in (16, 24):
        p = source(bpp)
        p.save('ops_soft%d.bmp' % bpp)
        soften(p, 3).save('ops_soften%d.bmp' % bpp)


if __name__ == '__main__':
    main()
