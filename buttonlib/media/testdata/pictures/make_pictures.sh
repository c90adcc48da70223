#!/bin/sh
# Writes small pictures of every format and variant the decoders read, made
# by ImageMagick (the Debian package's own command name), and two of them
# wrapped as packed media buffers. They seed the codec fuzz targets. Run
# from this folder.
set -eu
convert=convert-im6.q16
src=src.ppm
$convert -size 9x5 gradient:red-blue -swirl 90 -fill '#20C040' -draw 'point 4,2' "$src"

make() { # name options format
    $convert "$src" $2 "$3:$1"
}
make bmp3_24.bmp "-type TrueColor" BMP3
make bmp3_8_rle.bmp "-type Palette" BMP3
make bmp3_8.bmp "-type Palette -compress None" BMP3
make bmp3_4.bmp "-colors 16 -type Palette -compress None" BMP3
make bmp3_1.bmp "-type Bilevel" BMP3
make bmp5_32.bmp "-alpha set -channel A -fx 0.5" BMP
make tga_24.tga "-type TrueColor -compress None" TGA
make tga_24_rle.tga "-compress RLE" TGA
make tga_mapped_rle.tga "-type Palette -compress RLE" TGA
make tga_grey.tga "-type Grayscale" TGA
make tga_16.tga "-depth 5 -type TrueColor" TGA
make tga_32_top.tga "-alpha set -orient TopLeft -compress None" TGA
make pcx_24.pcx "-type TrueColor" PCX
make pcx_8.pcx "-type Palette" PCX
make pcx_1.pcx "-type Bilevel" PCX
make pgm_binary.pgm "-depth 8" PGM
make pgm_text.pgm "-depth 4 -compress none" PGM
make pict_24.pict "-type TrueColor" PICT
make pict_8.pict "-type Palette" PICT
make png_rgb.png "-define png:color-type=2" PNG
make png_palette.png "-colors 16 -interlace PNG" PNG
make png_rgba16.png "-alpha set -define png:color-type=6 -define png:bit-depth=16" PNG
make png_grey.png "-colorspace Gray -define png:color-type=0" PNG
make jpeg.jpg "-quality 80" JPG
make jpeg_grey.jpg "-colorspace Gray -interlace JPEG" JPG
make jpeg_cmyk.jpg "-colorspace CMYK" JPG
rm -f "$src"

# Packed media buffers: "QXZ", NUL, inner format code, unpacked and packed
# sizes, then zlib data.
python3 - <<'PY'
import struct, zlib
for name, code in (('bmp3_8.bmp', 0), ('png_palette.png', 1)):
    data = open(name, 'rb').read()
    packed = zlib.compress(data)
    with open(name.split('.')[0] + '.qxz', 'wb') as f:
        f.write(b'QXZ\0' + struct.pack('<hII', code, len(data), len(packed)) + packed)
PY
