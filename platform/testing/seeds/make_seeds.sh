#!/bin/sh
# Makes the fuzz seeds of this folder: cursors, sounds, animations,
# metafiles, packed buffers and blob properties like those the tests make at
# run time, small so that a seed runs fast. Run it here when a format's
# seeds should change; the files are kept in git. (The schedules and notes
# files beside them are written by hand.)
set -eu
cd "$(dirname "$0")"
mkdir -p cursors sounds animations metafiles packed blobs

python3 - <<'PY'
import struct

def dib(w, h, bits, pixels_rows, mask_rows, palette=b""):
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bits, 0, 0, 0, 0, len(palette) // 4, 0)
    return header + palette + b"".join(pixels_rows) + b"".join(mask_rows)

def pad(row):
    return row + b"\0" * (-len(row) % 4)

def cursor(entries, kind=2):
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    body = b""
    for w, h, colours, hot, image in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, hot[0], hot[1], len(image), offset + len(body))
        body += image
    return out + body

# 16x16 monochrome arrow: white pixels inside a black outline, the rest transparent.
mono_rows, mask_rows = [], []
for y in range(16):
    r = 15 - y  # rows are stored bottom-up
    inside = r < 12 and y >= 0
    xor = 0
    andm = 0xFFFF
    for x in range(16):
        if x <= r and r < 12:
            andm &= ~(1 << (15 - x)) & 0xFFFF
            if 0 < x < r:
                xor |= 1 << (15 - x)
    mono_rows.append(pad(struct.pack(">H", xor)))
    mask_rows.append(pad(struct.pack(">H", andm)))
mono = dib(16, 16, 1, mono_rows, mask_rows, palette=b"\0\0\0\0\xff\xff\xff\0")

# 8x8 at 4 bits with a 16-colour table, and 8x8 at 32 bits with alpha.
pal16 = b"".join(struct.pack("<BBBB", (i * 16) % 256, (i * 32) % 256, (i * 64) % 256, 0) for i in range(16))
four = dib(8, 8, 4, [pad(bytes(((2 * x + y) % 16) << 4 | ((2 * x + 1 + y) % 16) for x in range(4))) for y in range(8)],
           [pad(b"\x00")] * 8, palette=pal16)
argb = dib(8, 8, 32, [b"".join(struct.pack("<BBBB", 40 * x % 256, 30 * y % 256, 200, 255 if x < 6 else 0) for x in range(8))
                      for y in range(8)], [pad(b"\x00")] * 8)

files = {
    "arrow.cur": cursor([(16, 16, 2, (1, 1), mono)]),
    "two_sizes.cur": cursor([(8, 8, 16, (4, 4), four), (8, 8, 0, (0, 7), argb)]),
    "icon.ico": cursor([(8, 8, 0, (1, 32), argb)], kind=1),
}

def chunk(cid, data):
    return cid + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")

def ani(frames, steps, rate=None, seq=None, flags=1):
    anih = struct.pack("<9I", 36, len(frames), steps, 0, 0, 0, 0, 6, flags)
    body = b"ACON" + chunk(b"anih", anih)
    if rate:
        body += chunk(b"rate", b"".join(struct.pack("<I", r) for r in rate))
    if seq:
        body += chunk(b"seq ", b"".join(struct.pack("<I", s) for s in seq))
    body += chunk(b"LIST", b"fram" + b"".join(chunk(b"icon", f) for f in frames))
    return b"RIFF" + struct.pack("<I", len(body)) + body

frames = [files["arrow.cur"], files["two_sizes.cur"]]
files["plain.ani"] = ani(frames, 2)
files["sequenced.ani"] = ani(frames, 3, rate=[5, 10, 20], seq=[1, 0, 1], flags=3)
for name, data in files.items():
    with open("cursors/" + name, "wb") as f:
        f.write(data)
PY

# Sounds: 20 ms of a tone in every encoding the WAVE reader knows.
tone="-f lavfi -i sine=frequency=440:duration=0.02:sample_rate=8000"
for enc in pcm_u8 pcm_s16le pcm_s24le pcm_s32le pcm_f32le pcm_alaw pcm_mulaw adpcm_ms adpcm_ima_wav; do
  ffmpeg -v quiet -y $tone -c:a $enc "sounds/$enc.wav"
done
ffmpeg -v quiet -y $tone -ac 2 -c:a pcm_s16le "sounds/stereo.wav"
ffmpeg -v quiet -y $tone -ac 3 -c:a pcm_s16le "sounds/extensible.wav"

# Animations: a GIF of three images with a smaller one placed later and a
# local colour table, an interlaced one, and AVIs of three frames.
im=convert-im6.q16
$im -size 16x12 -delay 7 gradient:red-blue -page +4+3 -size 8x6 xc:green -page +0+0 -size 16x12 \
  gradient:yellow-black -colors 16 animations/three.gif
$im -seed 3 -size 16x12 -delay 10 plasma:fractal gradient:white-navy -interlace GIF animations/interlaced.gif
for codec in "rawvideo -pix_fmt pal8" "rawvideo -pix_fmt bgr24" msvideo1 cinepak; do
  name=$(echo "$codec" | cut -d' ' -f1)
  [ "$codec" = "rawvideo -pix_fmt bgr24" ] && name=rawvideo24
  ffmpeg -v quiet -y -f lavfi -i testsrc=size=16x12:rate=5 -frames:v 3 -c:v $codec "animations/$name.avi"
done

# Metafiles: every picture of the metafile player's test corpus, enhanced and
# Windows, placeable and not, written by a small program around it.
root=$(cd ../../.. && pwd)
gen=$(mktemp -d)
trap 'rm -rf "$gen"' EXIT
cat > "$gen/gen.cpp" <<'CPP'
#include "platform/gdi/MetafileTestCorpus.h"

#include <fstream>

int main()
{
    for (const auto& corpus : {gdi::testing::EmfCorpus(), gdi::testing::WmfCorpus()})
        for (const auto& sample : corpus)
            std::ofstream("metafiles/" + sample.name, std::ios::binary)
                .write(reinterpret_cast<const char*>(sample.bytes.data()), std::streamsize(sample.bytes.size()));
}
CPP
c++ -std=c++20 -fPIC -I"$root" $(pkg-config --cflags Qt6Core) "$gen/gen.cpp" -luemf $(pkg-config --libs Qt6Core) \
  -o "$gen/gen"
"$gen/gen"

# Packed media buffers of the kinds a download may hold: GIF and AVI
# animations, a JPEG, and a packed buffer inside another (which is refused).
python3 - <<'PY'
import struct
import zlib

def packed(code, data):
    body = zlib.compress(data)
    return b"QXZ\0" + struct.pack("<HII", code, len(data), len(body)) + body

def read(path):
    with open(path, "rb") as f:
        return f.read()

jpeg = read("../../../buttonlib/media/testdata/pictures/jpeg.jpg")
files = {
    "three.gif.qxz": packed(5, read("animations/three.gif")),
    "rawvideo.avi.qxz": packed(2, read("animations/rawvideo.avi")),
    "jpeg.jpg.qxz": packed(6, jpeg),
    "nested.qxz": packed(4, packed(6, jpeg)),
}
for name, data in files.items():
    with open("packed/" + name, "wb") as f:
        f.write(data)
PY

# Blob properties of the media objects that hold a file's bytes, as the
# button stores them: a cursor, an animated cursor, a sound and animations.
python3 - <<'PY'
import struct
import zlib

def blob(data):
    # The byte count, then the compressed form: packed and raw lengths, zlib data.
    packed = zlib.compress(data)
    archive = struct.pack("<III", len(data), len(packed), len(data)) + packed
    return struct.pack("<I", len(archive)) + archive

def read(path):
    with open(path, "rb") as f:
        return f.read()

files = {
    "cursor_arrow.blob": "cursors/arrow.cur",
    "cursor_sequenced_ani.blob": "cursors/sequenced.ani",
    "sound_pcm_u8.blob": "sounds/pcm_u8.wav",
    "anim_three_gif.blob": "animations/three.gif",
    "anim_rawvideo_avi.blob": "animations/rawvideo.avi",
}
for name, source in files.items():
    with open("blobs/" + name, "wb") as f:
        f.write(blob(read(source)))
PY
