#pragma once
// The decoder for pictures of any format the family reads: it recognises
// the format (metafiles by the name, everything else by the first bytes)
// and hands the work to the one decoder that reads it.

#include "buttonlib/media/CBmpDecoder.h"
#include "buttonlib/media/CJpegDecoder.h"
#include "buttonlib/media/CMetafileDecoder.h"
#include "buttonlib/media/CPcxDecoder.h"
#include "buttonlib/media/CPgmDecoder.h"
#include "buttonlib/media/CPictDecoder.h"
#include "buttonlib/media/CPngDecoder.h"
#include "buttonlib/media/CTgaDecoder.h"

// Results of GetFileFormat.
enum ImageFormat : int {
    kFormatUnknown = 0,
    kFormatBmp = 1,
    kFormatPict = 2,
    kFormatTga = 3,
    kFormatTiff = 4,
    kFormatJpeg = 5,
    kFormatPng = 6,
    kFormatEps = 7,
    kFormatWmf = 8,
    kFormatEmf = 9,
    kFormatPcx = 10,
    kFormatPgm = 11,
    kFormatGif = 12,
};

class CAnyImageDecoder : public CImageDecoder {
public:
    CAnyImageDecoder();

    void MakeBmp(CImageSource* source, CImageBitmap* bitmap, int bpp) override;

    // The format of data whose first bytes are header (size of them given by
    // headerSize) and whose whole size is size. Bytes beyond the header
    // count as zero.
    static int GetFileFormat(const BYTE* header, int headerSize, int size);

    // What the PNG decoder recorded: the bit depth of the last paletted PNG
    // decoded to 8 bits; 0 until then, and not reset between calls.
    int GetSourceBpp() const { return m_SourceBpp; }

private:
    int m_SourceBpp = 0;
    CBmpDecoder m_BmpDecoder;
    CTgaDecoder m_TgaDecoder;
    CJpegDecoder m_JpegDecoder;
    CPictDecoder m_PictDecoder;
    CPngDecoder m_PngDecoder;
    CMetafileDecoder m_MetafileDecoder;
    CPcxDecoder m_PcxDecoder;
    CPgmDecoder m_PgmDecoder;
};
