#!/usr/bin/env python3
"""Writes the golden store number icons of the tests into icons/.

Independent of the C++ code: the digit pictures are read from the tables in
../cCreateIcons_test.cpp, and the file is laid out here with struct. Run it
again only when the icon format itself is meant to change.
"""
import re
import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent
NUMBERS = [0, 7, 9, 10, 42, 99, 100, 999]


def tables():
    text = (HERE.parent / "cCreateIcons_test.cpp").read_text()
    found = {}
    for name, top in (("kLarge", 23), ("kSmall", 21)):
        body = re.search(name + r"\[\d+\]\[10\] = \{(.*?)\n\};", text, re.S).group(1)
        rows = [re.findall(r'"([.#]+)"', line) for line in body.strip().splitlines()]
        # picture[digit][file row] -> string of '#' and '.'
        found[name] = {d: {top - r: row[d] for r, row in enumerate(rows)} for d in range(10)}
    return found["kLarge"], found["kSmall"]


def draw(number, large, small):
    """Ink set of (file row, column) pairs."""
    s = str(number)
    if len(s) == 1:
        placed = [(large[int(s[0])], 10)]
    elif len(s) == 2:
        placed = [(large[int(s[0])], 3), (large[int(s[1])], 17)]
    else:
        placed = [(small[int(s[0])], 0), (small[int(s[1])], 11), (small[int(s[2])], 22)]
    ink = set()
    for glyph, left in placed:
        for row, pixels in glyph.items():
            for col, ch in enumerate(pixels):
                if ch == "#":
                    ink.add((row, left + col))
    return ink


def icon(ink):
    out = struct.pack("<HHH", 0, 1, 1)
    out += struct.pack("<BBBBHHII", 32, 32, 2, 0, 1, 1, 304, 22)
    out += struct.pack("<IiiHHII", 40, 32, 64, 1, 1, 0, 256) + bytes(16)
    out += bytes([0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0])
    out += bytes(128)  # colour mask: all black
    for row in range(32):  # AND mask, bottom row first; 1 = transparent
        bits = 0
        for col in range(32):
            if (row, col) not in ink:
                bits |= 1 << (31 - col)
        out += struct.pack(">I", bits)
    assert len(out) == 326
    return out


def main():
    large, small = tables()
    (HERE / "icons").mkdir(exist_ok=True)
    for n in NUMBERS:
        (HERE / "icons" / f"{n}.ico").write_bytes(icon(draw(n, large, small)))


if __name__ == "__main__":
    main()
