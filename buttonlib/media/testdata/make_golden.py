#!/usr/bin/env python3
"""Writes the golden byte files of the media objects' stored forms.

Built from the layouts alone (struct and zlib), independently of the C++
code, so the tests compare the code against the layouts. zlib's compress()
and Python's zlib.compress() use the same library at the same default level,
so the packed bytes are the library's own. Run from this folder.
"""
import random
import struct
import zlib


def blob(archive: bytes) -> bytes:
    return struct.pack('<I', len(archive)) + archive


def write(name: str, data: bytes) -> None:
    with open(name, 'wb') as f:
        f.write(data)


# Colour tables: LONG custom, DWORD base colour, WORD step, WORD coloration.
write('color_custom.blob', blob(struct.pack('<iIhh', 1, 0x0000FF, 4, 1)))
write('color_default.blob', blob(struct.pack('<iIhh', 0, 0, 4, 1)))

# A text layer: "Café €" in Windows-1252.
TEXT = 'Caf\u00e9 \u20ac'.encode('cp1252')
FIELDS = struct.pack('<IIhhhhh', 0x112233, 0x445566, -5, 7, 3, 2, 4)
PRESSED = struct.pack('<I', 0x778899)
write('text_v6.blob', blob(struct.pack('<I', len(TEXT)) + FIELDS + PRESSED + TEXT))
write('text_v5.blob', blob(struct.pack('<I', len(TEXT)) + FIELDS + TEXT))
write('empty.blob', blob(b''))
# Template bodies: with the flag the pressed colour and an archive string.
write('text_settings_flag.bin', FIELDS + PRESSED + bytes([len(TEXT)]) + TEXT)
write('text_settings.bin', FIELDS)

# An object holding a file's bytes: DWORD byte count, then the compressed
# sub-archive (DWORD packed, DWORD raw, zlib data).
def byte_object(payload: bytes) -> bytes:
    packed = zlib.compress(payload)
    return blob(struct.pack('<III', len(payload), len(packed), len(payload)) + packed)

RIFF = b'RIFF' + bytes(range(256)) + b'data' * 10
write('bytes_compressible.blob', byte_object(RIFF))
rng = random.Random(1234)
NOISE = bytes(rng.randrange(256) for _ in range(64))
write('bytes_incompressible.blob', byte_object(NOISE))
write('bytes_payload.bin', RIFF)
write('noise_payload.bin', NOISE)

# A packed media buffer around a WAVE file's bytes (inner code 3).
packed = zlib.compress(RIFF)
write('wave.qxz', b'QXZ\0' + struct.pack('<HII', 3, len(RIFF), len(packed)) + packed)
