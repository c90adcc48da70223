#include "buttonlib/media/CAnim.h"

#include "buttonlib/media/Compression.h"
#include "buttonlib/media/GifDecoder.h"
#include "buttonlib/media/TempCopy.h"

#include "platform/mfc/CException.h"
#include "platform/mfc/CFile.h"
#include "platform/win/MessageBox.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

IMPLEMENT_SERIAL(CAnim, CBlob, 0)

namespace {

constexpr UINT kBoxType = win::MB_ICONEXCLAMATION | win::MB_TASKMODAL;
constexpr std::size_t kMaxFrameBytes = std::size_t(512) << 20;

const char* openErrorText(HRESULT hr)
{
    switch (hr) {
    case video::AVIERR_FILEREAD:
        return "Disk error occurred while reading the file";
    case video::AVIERR_FILEOPEN:
        return "Disk error occurred while opening the file";
    case video::AVIERR_MEMORY:
        return "Insufficient memory";
    case video::AVIERR_BADFORMAT:
    case video::REGDB_E_CLASSNOTREG:
        return "Invalid AVI file";
    default:
        return "Error";
    }
}

// The frames of a stream slower than one a second, or of unknown rate, must
// not divide by zero.
int aviFrameDelay(DWORD rate, DWORD scale)
{
    if (rate == 0)
        return media::GifDecoder::kFrameDelay;
    if (scale == 0)
        scale = 1;
    const DWORD perSecond = rate / scale;
    if (perSecond >= 1)
        return int(1000 / perSecond);
    return int(std::min<unsigned long long>(1000ull * scale / rate, INT_MAX));
}

bool endsWith(const std::string& s, const char* tail)
{
    std::string low = s.size() >= 3 ? s.substr(s.size() - 3) : s;
    for (char& c : low)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return low == tail;
}

} // namespace

CAnim::CAnim() = default;

CAnim::~CAnim()
{
    CAnim::Empty();
    if (aviModule)
        video::FreeLibrary(aviModule);
}

CAnim& CAnim::operator=(const CAnim& other)
{
    if (&other != this) {
        Empty();
        SetData(other.GetData(), int(other.GetByteCount()), FALSE, 0);
    }
    return *this;
}

void CAnim::Empty()
{
    CFileBlob::Empty();
    frameCount = 0;
}

BOOL CAnim::Load(LPCTSTR path)
{
    const std::string name = path ? path : "";
    short wanted = 0;
    if (endsWith(name, "avi"))
        wanted = kTypeAvi;
    else if (endsWith(name, "gif"))
        wanted = kTypeGif;
    else
        return FALSE;
    Empty();
    if (name.empty())
        return FALSE;
    if (wanted == kTypeAvi && !CheckFile(path, FALSE))
        return FALSE;
    if (!ReadFile(path))
        return FALSE;
    type = wanted;
    loaded = TRUE;
    if (decodeThroughFile())
        return TRUE;
    Empty();
    return FALSE;
}

BOOL CAnim::LoadFromMemory(const void* bytes, int size)
{
    Empty();
    if (size < 0 || (size > 0 && !bytes))
        return FALSE;
    media::TempCopy copy;
    if (!copy.Create("avx", ".avi", static_cast<const BYTE*>(bytes), std::size_t(size)))
        return FALSE;
    return Load(copy.Path().c_str());
}

BOOL CAnim::SetData(const void* bytes, int size, BOOL compressed, DWORD unpackedSize)
{
    Empty();
    if (size < 0 || (size > 0 && !bytes))
        return FALSE;
    const auto* p = static_cast<const BYTE*>(bytes);
    try {
        if (compressed) {
            if (!media::UncompressExact(p, std::size_t(size), unpackedSize, data)) {
                Empty();
                return FALSE;
            }
        } else {
            data.assign(p, p + size);
        }
    } catch (const std::bad_alloc&) {
        Empty();
        return FALSE;
    }
    byteCount = DWORD(data.size());
    return decodeHeld();
}

BOOL CAnim::LoadData(CArchive& ar)
{
    // The count comes from the data: read no more than is really there.
    if (!ReadExact(ar, byteCount, data)) {
        Empty();
        return FALSE;
    }
    return decodeHeld();
}

BOOL CAnim::decodeHeld()
{
    if (data.empty() || (data[0] != 'R' && data[0] != 'G')) {
        Empty();
        return FALSE;
    }
    type = data[0] == 'R' ? kTypeAvi : kTypeGif;
    if (decodeThroughFile()) {
        loaded = TRUE;
        return TRUE;
    }
    Empty();
    return FALSE;
}

BOOL CAnim::decodeThroughFile()
{
    frameCount = 0;
    const bool gif = type == kTypeGif;
    media::TempCopy copy;
    if (!copy.Create(gif ? "gif" : "avi", gif ? ".gif" : ".avi", data.data(), data.size()))
        return FALSE;
    return gif ? decodeGif(copy.Path()) : decodeAvi(copy.Path());
}

BOOL CAnim::decodeGif(const std::filesystem::path& file)
{
    std::vector<BYTE> bytes;
    try {
        CFile f(file.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        bytes.resize(f.GetLength());
        if (f.Read(bytes.data(), UINT(bytes.size())) != bytes.size())
            return FALSE;
    } catch (const CFileException&) {
        return FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    frameDelay = media::GifDecoder::kFrameDelay;
    return media::GifDecoder::Decode(bytes.data(), bytes.size(), frames.data(), kMaxFrames, &frameCount) ? TRUE
                                                                                                        : FALSE;
}

BOOL CAnim::bindAvi()
{
    if (aviModule)
        return TRUE;
    video::HMODULE module = video::LoadLibrary("AVIFIL32.DLL");
    if (!module)
        return FALSE;
    AviProcs procs{};
    bool all = true;
    auto bind = [&](auto& slot, const char* name) {
        video::FARPROC p = video::GetProcAddress(module, name);
        all = all && p;
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(p);
    };
    bind(procs.FileInit, "AVIFileInit");
    bind(procs.FileOpen, "AVIFileOpen");
    bind(procs.FileExit, "AVIFileExit");
    bind(procs.FileInfo, "AVIFileInfo");
    bind(procs.FileRelease, "AVIFileRelease");
    bind(procs.FileGetStream, "AVIFileGetStream");
    bind(procs.StreamInfo, "AVIStreamInfo");
    bind(procs.StreamRelease, "AVIStreamRelease");
    bind(procs.GetFrameClose, "AVIStreamGetFrameClose");
    bind(procs.GetFrame, "AVIStreamGetFrame");
    bind(procs.GetFrameOpen, "AVIStreamGetFrameOpen");
    bind(procs.ReadFormat, "AVIStreamReadFormat");
    if (!all) {
        video::FreeLibrary(module);
        return FALSE;
    }
    aviModule = module;
    avi = procs;
    return TRUE;
}

BOOL CAnim::CheckFile(LPCTSTR path, BOOL bGif)
{
    if (bGif)
        return TRUE;
    if (!bindAvi())
        return FALSE;
    avi.FileInit();
    video::PAVIFILE file = nullptr;
    const HRESULT hr = avi.FileOpen(&file, path, video::OF_READ, nullptr);
    if (hr != video::AVIERR_OK) {
        win::MessageBox(nullptr, openErrorText(hr), nullptr, kBoxType);
        avi.FileExit();
        return FALSE;
    }
    video::AVIFILEINFO info;
    avi.FileInfo(file, &info, sizeof info);
    avi.FileRelease(file);
    avi.FileExit();
    return TRUE;
}

BOOL CAnim::decodeAvi(const std::filesystem::path& path)
{
    if (!bindAvi())
        return FALSE;
    avi.FileInit();
    video::PAVIFILE file = nullptr;
    if (avi.FileOpen(&file, path.c_str(), video::OF_READ, nullptr) != video::AVIERR_OK) {
        avi.FileExit();
        return FALSE;
    }
    video::AVIFILEINFO fileInfo;
    video::AVISTREAMINFO streamInfo;
    video::PAVISTREAM stream = nullptr;
    video::PGETFRAME reader = nullptr;
    std::vector<BYTE> format;
    bool ok = avi.FileInfo(file, &fileInfo, sizeof fileInfo) == video::AVIERR_OK &&
              avi.FileGetStream(file, &stream, video::streamtypeVIDEO, 0) == video::AVIERR_OK &&
              avi.StreamInfo(stream, &streamInfo, sizeof streamInfo) == video::AVIERR_OK;
    if (ok) {
        frameDelay = aviFrameDelay(streamInfo.dwRate, streamInfo.dwScale);
        LONG size = 0;
        ok = avi.ReadFormat(stream, 0, nullptr, &size) == video::AVIERR_OK && size >= LONG(sizeof(BITMAPINFOHEADER));
        if (ok) {
            format.resize(std::size_t(size));
            ok = avi.ReadFormat(stream, 0, format.data(), &size) == video::AVIERR_OK &&
                 std::size_t(size) <= format.size();
        }
    }
    if (ok) {
        reader = avi.GetFrameOpen(stream, nullptr);
        ok = reader != nullptr;
    }
    if (ok) {
        BITMAPINFOHEADER header;
        std::memcpy(&header, format.data(), sizeof header);
        DWORD colors = header.biClrUsed;
        if (colors == 0 && header.biBitCount <= 8)
            colors = 1u << header.biBitCount;
        const std::size_t tableBytes = std::size_t(colors) * sizeof(RGBQUAD);
        ok = colors <= 256 && sizeof header + tableBytes <= format.size();
        const auto* table = reinterpret_cast<const RGBQUAD*>(format.data() + sizeof header);
        // A hundred copies of a large frame must not exhaust memory: keep
        // what fits in the budget.
        const std::size_t frameBytes = std::size_t((std::uint64_t(fileInfo.dwWidth) * header.biBitCount + 31) / 32 * 4) *
                                       std::size_t(fileInfo.dwHeight);
        const std::size_t fit = frameBytes ? std::max<std::size_t>(1, kMaxFrameBytes / frameBytes) : kMaxFrames;
        const int count = int(std::min<std::size_t>({streamInfo.dwLength, std::size_t(kMaxFrames), fit}));
        for (int i = 0; ok && i < count; ++i) {
            const auto* packed = static_cast<const BYTE*>(avi.GetFrame(reader, i));
            ok = packed && copyAviFrame(i, packed, header, table, colors, int(fileInfo.dwWidth),
                                        int(fileInfo.dwHeight));
            if (ok)
                ++frameCount;
        }
    }
    if (reader)
        avi.GetFrameClose(reader);
    if (stream)
        avi.StreamRelease(stream);
    avi.FileRelease(file);
    avi.FileExit();
    return ok ? TRUE : FALSE;
}

BOOL CAnim::copyAviFrame(int index, const BYTE* packed, const BITMAPINFOHEADER& format, const RGBQUAD* colors,
                         DWORD colorCount, int width, int height)
{
    BITMAPINFOHEADER h;
    std::memcpy(&h, packed, sizeof h);
    if (h.biWidth != width || (h.biHeight != height && h.biHeight != -height)) {
        win::MessageBox(nullptr, "The frame size differs from page size.\nCannot Continue", nullptr, kBoxType);
        return FALSE;
    }
    // The reader hands out frames in the stream's format; anything else is
    // not ours to interpret.
    if (h.biBitCount != format.biBitCount || h.biCompression != BI_RGB || h.biClrUsed != colorCount)
        return FALSE;
    CDIB& frame = frames[std::size_t(index)];
    try {
        frame.CreateBlank(width, height, format.biBitCount, 0xFFFFFF);
    } catch (const CMemoryException&) {
        return FALSE;
    }
    if (colorCount > 0)
        std::memcpy(frame.GetColorTable(), colors, colorCount * sizeof(RGBQUAD));
    const DWORD stride = frame.GetRowBytes();
    const BYTE* bits = packed + sizeof h + colorCount * sizeof(RGBQUAD);
    for (int y = 0; y < height; ++y) {
        // Both are bottom-up unless the frame says it is top-down.
        const int src = h.biHeight > 0 ? y : height - 1 - y;
        std::memcpy(frame.GetBits() + std::size_t(y) * stride, bits + std::size_t(src) * stride, stride);
    }
    return TRUE;
}

CDIB* CAnim::GetFrame(int index)
{
    if (index < 0 || index >= frameCount || !frames[std::size_t(index)].IsValid())
        return nullptr;
    return &frames[std::size_t(index)];
}

HBITMAP CAnim::GetFrameBitmap(int index, int* bitCount)
{
    const CDIB* frame = GetFrame(index);
    if (!frame) {
        if (bitCount)
            *bitCount = 0;
        return nullptr;
    }
    return frame->CreateBitmap(bitCount);
}
