#include "buttonlib/media/CAnyImageDecoder.h"

#include <algorithm>
#include <cstring>

namespace {

// The detector looks at bytes 0..27 and 522..525.
constexpr int kHeaderView = 528;

std::string upper(const std::string& s)
{
    std::string out = s;
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    return out;
}

} // namespace

CAnyImageDecoder::CAnyImageDecoder()
    : m_PictDecoder(&m_JpegDecoder)
{
}

int CAnyImageDecoder::GetFileFormat(const BYTE* header, int headerSize, int size)
{
    // A zero-padded view, so that short data is never read beyond its end.
    BYTE b[kHeaderView] = {};
    if (header && headerSize > 0)
        std::memcpy(b, header, std::size_t(std::min(headerSize, kHeaderView)));

    if (b[0] == 0x42 && b[1] == 0x4D)
        return kFormatBmp;
    const bool tgaMap = b[1] == 0 || b[1] == 1;
    const bool tgaType = b[2] == 0 || b[2] == 1 || b[2] == 2 || b[2] == 3 || b[2] == 9 || b[2] == 10 || b[2] == 11;
    const bool tgaEntry = b[7] == 0 || b[7] == 8 || b[7] == 15 || b[7] == 16 || b[7] == 24 || b[7] == 32;
    const bool tgaDepth = b[16] == 8 || b[16] == 15 || b[16] == 16 || b[16] == 24 || b[16] == 32;
    if (tgaMap && tgaType && tgaEntry && tgaDepth)
        return kFormatTga;
    if (std::memcmp(b, "GIF8", 4) == 0)
        return kFormatGif;
    if ((b[0] == 0x49 && b[1] == 0x49 && b[2] == 0x2A && b[3] == 0) || (b[0] == 0x4D && b[1] == 0x4D && b[2] == 0 && b[3] == 0x2A))
        return kFormatTiff;
    if (size > 540) {
        const BYTE* v = b + 522;
        if ((v[0] == 0x00 && v[1] == 0x11 && v[2] == 0x02 && v[3] == 0xFF) || (v[0] == 0x00 && v[1] == 0x11 && v[2] == 0x01) ||
            (v[0] == 0x11 && v[1] == 0x01 && v[2] == 0x01 && v[3] == 0x00))
            return kFormatPict;
    }
    if (b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return kFormatJpeg;
    if (b[0] == 0x89 && b[1] == 0x50 && b[2] == 0x4E && b[3] == 0x47)
        return kFormatPng;
    if (((b[0] == 0xC5 && b[1] == 0xD0 && b[2] == 0xD3 && b[3] == 0xC6) || (b[0] == 0xC6 && b[1] == 0xD3 && b[2] == 0xD0 && b[3] == 0xC5)) &&
        Le32(b + 20) != 0 && Le32(b + 24) != 0)
        return kFormatEps;
    if (b[0] == 0x0A && b[2] == 0x01)
        return kFormatPcx;
    if (b[0] == 'P' && (b[1] == '2' || b[1] == '5'))
        return kFormatPgm;
    return kFormatUnknown;
}

void CAnyImageDecoder::MakeBmp(CImageSource* source, CImageBitmap* bitmap, int bpp)
{
    const std::string name = upper(source->GetName());
    int format;
    if (name.find(".WMF") != std::string::npos)
        format = kFormatWmf;
    else if (name.find(".EMF") != std::string::npos)
        format = kFormatEmf;
    else
        format = GetFileFormat(source->GetBufferPtr(512), source->GetBytesLeft(), source->GetFileSize());

    switch (format) {
    case kFormatUnknown:
        RaiseError(kErrUnknownFileType, "Unknown file type.");
    case kFormatBmp:
        m_BmpDecoder.MakeBmp(source, bitmap, bpp);
        break;
    case kFormatPict:
        m_PictDecoder.MakeBmp(source, bitmap, bpp);
        break;
    case kFormatTga:
        m_TgaDecoder.MakeBmp(source, bitmap, bpp);
        break;
    case kFormatJpeg:
        m_JpegDecoder.MakeBmp(source, bitmap, bpp);
        break;
    case kFormatPng:
        m_PngDecoder.MakeBmp(source, bitmap, bpp);
        m_SourceBpp = m_PngDecoder.GetSourceBpp();
        break;
    case kFormatWmf:
    case kFormatEmf:
        m_MetafileDecoder.MakeBmp(source, bitmap, bpp);
        break;
    case kFormatPcx:
        m_PcxDecoder.MakeBmp(source, bitmap, bpp);
        break;
    case kFormatPgm:
        m_PgmDecoder.MakeBmp(source, bitmap, bpp);
        break;
    case kFormatGif:
        RaiseError(kErrFormatNotSupported, "paintlib does not support gif.");
    default:
        // TIFF and EPS.
        RaiseError(kErrFormatNotSupported, "Library not compiled for this file type.");
    }
}
