#!/usr/bin/env python3
"""Reads the golden version 6.0 streams of this folder with the keys, types,
order and defaults of the stored properties alone, independently of the C++
code, and checks each against what its case set (see
TheStreamsWrittenAreTheGoldenOnesAndReadBackTheSame): the values, which
media blobs follow and in what order, the blobs' own forms where they are
fixed (colour tables, texts, empty objects), and that nothing is left over.

The framework's part (version, extent, stock properties) and the value
forms follow platform/mfc/PropertyStreamFormat.h. Run from this folder;
prints one line per file and exits 1 on the first difference.
"""
import struct
import sys

SHORT, BOOL, COLOR, STRING, DOUBLE, LONG = 'short', 'bool', 'color', 'string', 'double', 'long'

# Entries 10 to 59, in exchange order, with their defaults (UserData: a new
# button holds the 0.1 a load without it gives).
SCALARS = [
    ('Shape', SHORT, 0), ('Roundness', SHORT, 4), ('Slant', SHORT, 4), ('Surface', SHORT, 0),
    ('PictureTranspColor', COLOR, 0x808000), ('Picture', STRING, ''), ('PicturePressed', STRING, ''),
    ('PictureMouseOver', STRING, ''), ('PictureCustom', STRING, ''), ('PictureXOffset', SHORT, 0),
    ('PictureYOffset', SHORT, 0), ('SoundDown', STRING, ''), ('SoundUp', STRING, ''),
    ('SoundMouseOver', STRING, ''), ('SoundMouseOut', STRING, ''), ('Cursor', STRING, ''),
    ('PicturePosition', SHORT, 0), ('PictureTranspMode', SHORT, 1), ('ButtonCustomRaised', BOOL, 1),
    ('BackColorContainer', COLOR, 0), ('MovePictureOnPress', BOOL, 1), ('ButtonRaiseFactor', SHORT, 1),
    ('HighlightColor', COLOR, 0), ('ShadowColor', COLOR, 0), ('ButtonCustomFitPicture', BOOL, 0),
    ('Hyperlink', STRING, ''), ('EnableInternetLoadAtDT', BOOL, 0), ('SmoothEdges', SHORT, 0),
    ('TagEx', STRING, ''), ('PictureKeepRatio', BOOL, 1), ('FocusMode', SHORT, 0), ('SpecialEffect', SHORT, 0),
    ('CaptionWordWrapPerc', SHORT, 90), ('LogPixels', SHORT, None), ('Optimization', SHORT, 0),
    ('Clickable', BOOL, 1), ('IgnoreSpaceBar', BOOL, 0), ('SpecialEffectFactor', SHORT, 0),
    ('Texture', STRING, ''), ('TextureMode', SHORT, 1), ('TextureLightIntensity', SHORT, 40),
    ('TextureColorMix', COLOR, 0), ('TextureColorMixPerc', SHORT, 50), ('TextureBevelFactor', SHORT, 4),
    ('ForeColorDisabled', COLOR, 0x808080), ('FlatPillowFactor', SHORT, 4), ('ShadowMode', SHORT, 0),
    ('UserData', DOUBLE, 0.1), ('Res', LONG, 0), ('BitsPix', LONG, 0),
]
TEXTS = ['textCaption', 'textLT', 'textCT', 'textRT', 'textLM', 'textRM', 'textLB', 'textCB', 'textRB']
COLORS = ['colorBack', 'colorIntern', 'colorMO', 'colorFocus', 'colorDisabled', 'colorPressed']

# What each golden case set, over a button captioned "Press", and which of
# its bitmaps hold a picture.
CASES = {
    'default': {},
    'bmp-picture': {'Picture': '/pictures/face.bmp', 'filled': ['dibPicture']},
    'avi-picture-bmp-pressed': {'Picture': '/pictures/spin.AVI', 'PicturePressed': 'file:///pictures/down.bmp',
                                'filled': ['dibPicturePressed']},
    'http-picture': {'Picture': 'http://example.com/face.png'},
    'handle-picture': {'Picture': 'Bmp', 'filled': ['dibPicture']},
    'memory-animation': {'Picture': 'Avi'},
    'cursor-path': {'Cursor': '/cursors/hand.cur'},
    'texture-path': {'Texture': '/textures/wood.jpg', 'filled': ['dibTexture']},
}


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, n):
        if self.at + n > len(self.data):
            raise ValueError('the stream ends at %d, %d bytes wanted' % (self.at, n))
        b = self.data[self.at:self.at + n]
        self.at += n
        return b

    def unpack(self, fmt):
        return struct.unpack('<' + fmt, self.take(struct.calcsize('<' + fmt)))[0]

    def string(self):
        n = self.unpack('B')
        if n == 0xFF:
            n = self.unpack('H')
            if n == 0xFFFF:
                n = self.unpack('I')
        return self.take(n).decode('cp1252')

    def value(self, kind):
        return {SHORT: lambda: self.unpack('h'), BOOL: lambda: self.unpack('i'), COLOR: lambda: self.unpack('I'),
                LONG: lambda: self.unpack('i'), DOUBLE: lambda: self.unpack('d'), STRING: self.string}[kind]()

    def font(self):
        charset, flags, weight, size = self.unpack('H'), self.unpack('B'), self.unpack('H'), self.unpack('i')
        return charset, flags, weight, size, self.string()

    def blob(self):
        return self.take(self.unpack('I'))


def persistable(path):
    # Stored as a blob: "Bmp", or a local file (a path or a file: URL).
    if not path:
        return False
    if path == 'Bmp':
        return True
    lower = path.lower()
    return lower.startswith('file:') or path.startswith('/') or path.startswith('\\\\') or \
        (len(path) > 2 and path[1] == ':' and path[2] in '\\/')


def expected_blobs(paths):
    out = []
    for prop, dib, avi in (('Picture', 'dibPicture', 'aviPicture'),
                           ('PictureMouseOver', 'dibPictureMouseOver', 'aviPictureMouseOver'),
                           ('PicturePressed', 'dibPicturePressed', 'aviPicturePressed')):
        path = paths.get(prop, '')
        if persistable(path):
            out.append(dib if path[-3:].lower() in ('bmp', 'png', 'jpg') else avi)
    if persistable(paths.get('PictureCustom', '')):
        out.append('dibPictureCustom')
    for prop, key in (('SoundDown', 'sndDown'), ('SoundUp', 'sndUp'), ('SoundMouseOver', 'sndMouseOver'),
                      ('SoundMouseOut', 'sndMouseOut')):
        if persistable(paths.get(prop, '')):
            out.append(key)
    out += TEXTS
    if paths.get('Cursor', ''):
        out.append('curCursor')
    out += COLORS
    if persistable(paths.get('Texture', '')):
        out += ['dibTexture', 'dibTexturedBtn', 'dibTexturedBtnPressed']
    return out


def check(name, data, paths):
    r = Reader(data)
    assert r.unpack('I') == 0x00060000, 'version'
    r.unpack('i'), r.unpack('i')
    mask = r.unpack('I')
    assert mask & 1, 'the caption is stored'
    assert r.string() == 'Press', 'caption'
    if mask & 2:
        assert r.unpack('i') in (0, 1), 'Enabled'
    fonts = [r.font() for _ in range(9)]
    assert fonts[0] == (1, 0, 400, 80000, 'MS Sans Serif'), fonts[0]
    for f in fonts[1:]:
        assert f == (1, 0, 400, 120000, 'MS Sans Serif'), f
    for key, kind, default in SCALARS:
        v = r.value(kind)
        want = paths.get(key, default)
        if key == 'LogPixels':
            assert v > 0, 'LogPixels takes the screen resolution'
        else:
            assert v == want, '%s: %r, not %r' % (key, v, want)
    for key in expected_blobs(paths):
        b = r.blob()
        if key in COLORS:
            assert len(b) == 12, '%s: a colour table is 12 bytes' % key
        elif key == 'textCaption':
            # Length, colours, offsets, effect, factor, angle, pressed colour, text.
            assert len(b) == 26 + 5 and struct.unpack('<I', b[:4])[0] == 5 and b[26:] == b'Press', key
        elif key in TEXTS:
            assert b == b'', '%s: an empty text stores nothing' % key
        elif key in ('aviPicture', 'curCursor'):
            assert b == b'', '%s: an object without bytes stores nothing' % key
        elif key in paths.get('filled', ()):
            assert len(b) > 40, '%s: a picture' % key
        else:
            assert b == b'', '%s: a bitmap without a picture stores nothing' % key
    assert r.value(SHORT) == 0, 'Style'
    assert r.value(STRING) == '', 'PictureDisabled'
    assert r.at == len(data), '%d bytes left over' % (len(data) - r.at)


def main():
    for name, paths in CASES.items():
        with open(name + '.bin', 'rb') as f:
            data = f.read()
        try:
            check(name, data, paths)
        except (AssertionError, ValueError) as e:
            print('%s: %s' % (name, e))
            return 1
        print('%s: as the stored properties have it' % name)
    return 0


if __name__ == '__main__':
    sys.exit(main())
