#include "buttonlib/media/CImageDecoder.h"

void CImageDecoder::SetBmpInfo(int sourceBpp, int& bpp)
{
    if (bpp == 0)
        bpp = sourceBpp > 8 ? 32 : 8;
}

void CImageDecoder::MakeBmpFromFile(const char* path, CImageBitmap* bitmap, int bpp, IProgressNotification* notifier)
{
    CFileImageSource source(notifier);
    const int result = source.Open(path);
    if (result != 0)
        RaiseError(result, "Opening %s failed", path ? path : "");
    MakeBmp(&source, bitmap, bpp);
    source.Close();
}

void CImageDecoder::MakeBmpFromMemory(const BYTE* block, int size, CImageBitmap* bitmap, int bpp,
                                      IProgressNotification* notifier)
{
    CMemImageSource source(notifier);
    const int result = source.Open(block, size);
    if (result != 0)
        RaiseError(result, "Reading from memory at %p failed", static_cast<const void*>(block));
    MakeBmp(&source, bitmap, bpp);
    source.Close();
}

void CImageDecoder::MakeBmp(CImageSource* source, CImageBitmap* bitmap, int bpp)
{
    // Decoders write 8-bit indices or 32-bit pixels and nothing else: a
    // bitmap of any other depth would be written past its rows.
    if (bpp != 0 && bpp != 8 && bpp != 32)
        RaiseError(kErrFormatUnknown, "Requested bit depth %d is not supported.", bpp);
    std::vector<RGBQUAD> palette;
    DoDecode(bitmap, palette, bpp, source);
}

void CImageDecoder::DoDecode(CImageBitmap*, std::vector<RGBQUAD>&, int&, CImageSource*)
{
}

void CImageEncoder::MakeFileFromBmp(const char* path, CImageBitmap* bitmap)
{
    const std::size_t used = bitmap->GetMemUsed();
    const std::size_t capacity = used > 19999 ? std::size_t(double(used) * 1.2) : used + 4096;
    CFileImageSink sink;
    const int result = sink.Open(path, capacity);
    if (result != 0)
        RaiseError(result, "Opening %s failed", path ? path : "");
    DoEncode(bitmap, &sink);
    sink.Close();
}

void CImageEncoder::MakeFileFromBmpSink(CImageSink* sink, CImageBitmap* bitmap)
{
    DoEncode(bitmap, sink);
}
