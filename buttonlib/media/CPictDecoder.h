#pragma once
// Macintosh PICT files (version 1 and 2): the opcode stream is walked,
// drawing opcodes skipped by their lengths, and the first bitmap, pixmap or
// direct pixmap is decoded (PackBits rows, 1 to 32 bits per pixel). JPEG
// data in a QuickTime opcode goes to the JPEG decoder. Numbers are
// big-endian.

#include "buttonlib/media/CImageDecoder.h"
#include "buttonlib/media/CJpegDecoder.h"

class CPictDecoder : public CImageDecoder {
public:
    // The JPEG decoder is the caller's and must outlive this one.
    explicit CPictDecoder(CJpegDecoder* jpegDecoder);

protected:
    void DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source) override;

private:
    struct PixMap {
        int rowBytes = 0;
        int top = 0, left = 0, bottom = 0, right = 0;
        int packType = 0;
        int pixelSize = 1;
        int cmpCount = 1;
        int cmpSize = 1;
    };

    void readRect(CImageSource* source, int& top, int& left, int& bottom, int& right);
    void readPixMapHeader(CImageSource* source, PixMap& pm);
    void readColourTable(CImageSource* source, std::vector<RGBQUAD>& palette);
    void skipRegion(CImageSource* source);
    void skipPixPattern(CImageSource* source);
    void decodeBitmap(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source,
                      int rowBytes, bool region);
    void decodePixMap(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source,
                      int rowBytes, bool region);
    void decodeDirect(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source);
    void decodeJpeg(CImageBitmap* bitmap, int& bpp, CImageSource* source);
    // The rows of a picture of pixel size 1, 2, 4, 8 or 16; with output false
    // they are read and dropped (pixel patterns).
    void unpackRows(CImageBitmap* bitmap, const std::vector<RGBQUAD>& palette, CImageSource* source, int rowBytes,
                    int pixelSize, int width, int height, bool output);
    void unpack32(CImageBitmap* bitmap, CImageSource* source, int rowBytes, int cmpCount, int width, int height);

    CJpegDecoder* m_pJpegDecoder;
};
