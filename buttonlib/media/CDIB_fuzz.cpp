// Feeds arbitrary bytes to every reader of BMP images and packed DIBs: the
// picture's file reader (plain and zlib-packed memory too, and a .bmp file
// of a media path), its archive form in both stored forms and as a blob, a
// packed DIB given with its size as the automation method takes one, the
// DIB header reader and the file loader. A picture that loads is written
// back (a file one saved as a file too); a loaded packed DIB is converted
// to 24 bits.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/Compression.h"
#include "buttonlib/media/DibUtil.h"

#include "platform/mfc/CMemFile.h"
#include "platform/testing/FuzzSupport.h"
#include "platform/win/MessageBox.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Strange masks ask the user; nobody is there to answer.
class SilentBox : public win::MessageBoxPort {
public:
    int Show(const win::MessageBoxRequest&) override { return win::IDOK; }
};

void exercise(CDIB& dib)
{
    if (!dib.IsValid())
        return;
    CMemFile out;
    dib.Write(&out);
    dib.WriteRows(&out, 0, 1);
}

void serialize(std::vector<BYTE> bytes, bool compressed)
{
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CDIB dib;
    try {
        dib.SerializeEx(ar, compressed ? TRUE : FALSE);
    } catch (const CException&) {
    }
    exercise(dib);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        win::SetMessageBoxPort(std::make_shared<SilentBox>());
        return true;
    }();
    (void)quiet;
    const std::vector<BYTE> bytes(data, data + size);
    {
        CDIB dib;
        dib.SetData(bytes.data(), DWORD(bytes.size()), FALSE, 0);
        exercise(dib);
    }
    {
        // The first four bytes announce the unpacked size; the rest is zlib data.
        CDIB dib;
        if (size > 4) {
            DWORD raw;
            std::memcpy(&raw, data, 4);
            dib.SetData(data + 4, DWORD(size - 4), TRUE, raw % (1u << 20));
        }
        std::vector<BYTE> packed;
        if (media::CompressBytes(bytes.data(), bytes.size(), packed))
            dib.SetData(packed.data(), DWORD(packed.size()), TRUE, DWORD(bytes.size()));
        exercise(dib);
    }
    {
        CMemFile file(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
        CArchive ar(&file, CArchive::load);
        CDIB dib;
        dib.LoadData(ar);
        exercise(dib);
    }
    serialize(bytes, false);
    serialize(bytes, true);
    {
        CDIB dib;
        HGLOBAL blob = GlobalAlloc(GMEM_MOVEABLE, size + 4);
        auto* p = static_cast<BYTE*>(GlobalLock(blob));
        const DWORD n = DWORD(size);
        std::memcpy(p, &n, 4);
        std::memcpy(p + 4, data, size);
        GlobalUnlock(blob);
        try {
            dib.SetBlob(&blob);
        } catch (const CException&) {
        }
        if (blob)
            GlobalFree(blob);
        exercise(dib);
    }
    {
        CMemFile file(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
        if (HGLOBAL h = DibReadHeader(&file)) {
            BITMAPINFOHEADER info{};
            DibHeaderInfo(h, &info);
            GlobalFree(h);
        }
    }
    {
        static const std::string path = (tv::fuzzing::TempFolder() / "picture.bmp").string();
        static const std::string saved = (tv::fuzzing::TempFolder() / "saved.bmp").string();
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(data, 1, size, f);
            std::fclose(f);
            if (HGLOBAL h = DibFileLoad(path.c_str())) {
                // Makes the popularity palette of 16- and 32-bit pictures.
                if (HGLOBAL changed = DibChangeFormat(h, 24, BI_RGB))
                    GlobalFree(changed);
                GlobalFree(h);
            }
            CDIB dib;
            if (dib.Load(path.c_str())) {
                exercise(dib);
                CDIB back;
                if (!dib.Save(saved.c_str()) || !back.Load(saved.c_str()) || back.GetWidth() != dib.GetWidth() ||
                    back.GetHeight() != dib.GetHeight() || back.GetBitCount() != dib.GetBitCount())
                    std::abort();
            }
            std::remove(path.c_str());
            std::remove(saved.c_str());
        }
    }
    {
        // A packed DIB whose header, table and rows lie within the bytes.
        BITMAPINFOHEADER header{};
        DWORD colors = 0, imageBytes = 0;
        if (size >= sizeof header) {
            std::memcpy(&header, data, sizeof header);
            const std::vector<BYTE> packed(data, data + size);
            if (DibCheckHeader(header, &colors, &imageBytes) &&
                std::uint64_t(sizeof header) + DibTableBytes(packed.data()) + imageBytes <= size) {
                CDIB dib;
                try {
                    if (dib.CreateFromPackedDIB(reinterpret_cast<const BITMAPINFO*>(packed.data())))
                        exercise(dib);
                } catch (const CMemoryException&) {
                }
            }
        }
    }
    return 0;
}
