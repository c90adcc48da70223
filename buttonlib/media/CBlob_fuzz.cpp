// Feeds arbitrary bytes to the blob readers: as a blob property block of a
// colour table, a text layer and an object holding a file's bytes
// (compressed sub-archive), and as a text template body.

#include "buttonlib/media/CColor.h"
#include "buttonlib/media/CText.h"

#include "platform/mfc/CMemFile.h"

#include <cstring>
#include <vector>

namespace {

class ByteObject : public CBlob {
public:
    void SerializeEx(CArchive& ar, BOOL bCompressed) override { SerializeByteCount(ar, bCompressed, byteCount); }
    BOOL LoadData(CArchive& ar) override { return ReadExact(ar, byteCount, bytes) ? TRUE : FALSE; }
    DWORD byteCount = 0;
    std::vector<BYTE> bytes;
};

void loadBlob(CBlob& obj, const uint8_t* data, size_t size)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    if (size)
        std::memcpy(GlobalLock(h), data, size);
    GlobalUnlock(h);
    try {
        obj.SetBlob(&h);
    } catch (const CException&) {
    }
    if (h)
        GlobalFree(h);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CColor color;
    loadBlob(color, data, size);
    CText text;
    loadBlob(text, data, size);
    ByteObject bytes;
    loadBlob(bytes, data, size);

    std::vector<BYTE> copy(data, data + size);
    CMemFile file(copy.data(), UINT(copy.size()));
    CArchive ar(&file, CArchive::load);
    CText layer;
    try {
        layer.SerializeSettings(ar, 1);
    } catch (const CException&) {
    }
    return 0;
}
