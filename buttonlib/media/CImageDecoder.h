#pragma once
// The two codec bases. A decoder reads a source into a codec bitmap; an
// encoder writes a codec bitmap into a sink that becomes a file.

#include "buttonlib/media/CImageBitmap.h"
#include "buttonlib/media/CImageSink.h"
#include "buttonlib/media/CImageSource.h"

class CImageDecoder : public CPLObject {
public:
    CImageDecoder() = default;
    CImageDecoder(const CImageDecoder&) = delete;
    CImageDecoder& operator=(const CImageDecoder&) = delete;

    // bpp: 0 (the decoder's choice), 8 or 32; any other depth raises code 2,
    // as does 8 for a picture whose pixels are deeper than 8 bits and that
    // the decoder does not widen to 32. Failures raise CTextException.
    virtual void MakeBmpFromFile(const char* path, CImageBitmap* bitmap, int bpp = 0,
                                 IProgressNotification* notifier = nullptr);
    virtual void MakeBmpFromMemory(const BYTE* block, int size, CImageBitmap* bitmap, int bpp = 0,
                                   IProgressNotification* notifier = nullptr);
    virtual void MakeBmp(CImageSource* source, CImageBitmap* bitmap, int bpp);

protected:
    // Reads the picture; a colour table the decoder builds for its own use
    // goes into palette.
    virtual void DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source);

    // A requested depth of 0 becomes 32 for sources deeper than 8 bits, else 8.
    static void SetBmpInfo(int sourceBpp, int& bpp);
};

class CImageEncoder : public CPLObject {
public:
    CImageEncoder() = default;
    CImageEncoder(const CImageEncoder&) = delete;
    CImageEncoder& operator=(const CImageEncoder&) = delete;

    // Sizes a file sink from the bitmap, encodes and writes the file in one
    // piece. A failed encode leaves no file behind (an existing one is kept).
    virtual void MakeFileFromBmp(const char* path, CImageBitmap* bitmap);
    virtual void MakeFileFromBmpSink(CImageSink* sink, CImageBitmap* bitmap);

protected:
    virtual void DoEncode(CImageBitmap* bitmap, CImageSink* sink) = 0;
};

// Little- and big-endian fields of file headers.
inline WORD Le16(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }
inline DWORD Le32(const BYTE* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }
inline WORD Be16(const BYTE* p) { return WORD((p[0] << 8) | p[1]); }
inline DWORD Be32(const BYTE* p) { return (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | DWORD(p[3]); }
