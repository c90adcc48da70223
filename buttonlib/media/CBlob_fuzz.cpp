// Feeds arbitrary bytes to the blob readers the way every caller may: as
// the blob property of a colour table, of a text layer exchanged at each
// property version (with and without the pressed colour), and of an object
// holding a file's bytes, stored compressed (the blob form) and plain; and
// as a text template body with and without its text. What loads stores to
// a blob that loads back to itself.

#include "buttonlib/media/CColor.h"
#include "buttonlib/media/CText.h"

#include "platform/mfc/CMemFile.h"
#include "platform/mfc/CPropExchange.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

class ByteObject : public CBlob {
public:
    void SerializeEx(CArchive& ar, BOOL bCompressed) override { SerializeByteCount(ar, bCompressed, byteCount); }
    void Serialize(CArchive& ar) override { SerializeByteCount(ar, FALSE, byteCount); }
    BOOL LoadData(CArchive& ar) override { return ReadExact(ar, byteCount, bytes) ? TRUE : FALSE; }
    BOOL StoreData(CArchive& ar) override
    {
        ar.Write(bytes.data(), UINT(bytes.size()));
        return TRUE;
    }
    DWORD byteCount = 0;
    Bytes bytes;
};

HGLOBAL makeBlock(const BYTE* data, std::size_t size)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    if (size)
        std::memcpy(GlobalLock(h), data, size);
    GlobalUnlock(h);
    return h;
}

Bytes blockBytes(HGLOBAL h)
{
    const auto* p = static_cast<const BYTE*>(GlobalLock(h));
    Bytes out(p, p + GlobalSize(h));
    GlobalUnlock(h);
    return out;
}

// A loading property exchange at a version, handing out one block.
class LoadingExchange : public CPropExchange {
public:
    LoadingExchange(DWORD version, const Bytes& block)
        : block_(block)
    {
        m_bLoading = TRUE;
        m_dwVersion = version;
    }
    BOOL ExchangeBlobProp(LPCTSTR, HGLOBAL* phBlob, HGLOBAL) override
    {
        if (*phBlob)
            GlobalFree(*phBlob);
        *phBlob = makeBlock(block_.data(), block_.size());
        return TRUE;
    }

private:
    const Bytes& block_;
};

// Loads the object from the block; false when the blob is refused.
template <class Load>
bool load(Load&& loadInto)
{
    try {
        loadInto();
    } catch (const CException&) {
        return false;
    }
    return true;
}

// The object's blob, loaded into a fresh object, stores to the same blob.
template <class Object, class Load>
void checkStoresBack(Object& loaded, Load&& loadInto)
{
    HGLOBAL h = loaded.GetBlob();
    const Bytes first = blockBytes(h);
    GlobalFree(h);
    Object again;
    if (!load([&] { loadInto(again, first); }))
        std::abort();
    h = again.GetBlob();
    const bool same = blockBytes(h) == first;
    GlobalFree(h);
    if (!same)
        std::abort();
}

void setBlob(CBlob& obj, const Bytes& block)
{
    HGLOBAL h = makeBlock(block.data(), block.size());
    try {
        obj.SetBlob(&h);
    } catch (...) {
        if (h)
            GlobalFree(h);
        throw;
    }
    if (h)
        GlobalFree(h);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Bytes block(data, data + size);

    auto colorLoad = [](CColor& c, const Bytes& b) { setBlob(c, b); };
    CColor color;
    if (load([&] { colorLoad(color, block); }))
        checkStoresBack(color, colorLoad);

    for (DWORD version : {DWORD(0x50000), CText::kCurrentVersion}) {
        auto textLoad = [version](CText& t, const Bytes& b) {
            LoadingExchange px(version, b);
            t.ExchangeBlob(&px, "Text");
        };
        CText text;
        if (load([&] { textLoad(text, block); }))
            checkStoresBack(text, textLoad);
    }

    auto bytesLoad = [](ByteObject& o, const Bytes& b) { setBlob(o, b); };
    ByteObject bytes;
    if (load([&] { bytesLoad(bytes, block); }))
        checkStoresBack(bytes, bytesLoad);

    // The plain stored form, and the text template body with and without
    // its pressed colour and text.
    Bytes copy = block;
    {
        CMemFile file(copy.data(), UINT(copy.size()));
        CArchive ar(&file, CArchive::load);
        ByteObject plain;
        load([&] { plain.Serialize(ar); });
    }
    for (WORD flag : {WORD(0), WORD(1)}) {
        CMemFile file(copy.data(), UINT(copy.size()));
        CArchive ar(&file, CArchive::load);
        CText layer;
        load([&] { layer.SerializeSettings(ar, flag); });
    }
    return 0;
}
