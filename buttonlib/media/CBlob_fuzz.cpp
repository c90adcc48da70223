// Feeds arbitrary bytes to the blob readers the way every caller may: as
// the blob property the button exchanges for a colour table, a text layer
// (at each property version, with and without the pressed colour), a sound
// and a cursor (the objects holding a file's bytes, whose cursor is made
// from them), stored compressed (the blob form) and plain; and as a text
// template body with and without its text. What loads stores to a blob
// that loads back to itself.

#include "buttonlib/media/CColor.h"
#include "buttonlib/media/CCursor.h"
#include "buttonlib/media/CSound.h"
#include "buttonlib/media/CText.h"

#include "platform/mfc/CMemFile.h"
#include "platform/mfc/CPropExchange.h"
#include "platform/testing/FuzzGuiApplication.h"
#include "platform/testing/FuzzSupport.h"

#include <QImageReader>

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // A cursor is made of a pixmap, in a GUI application as in the button's
    // containers; cursors hold PNG images, which Qt reads.
    tv::fuzzing::DropQtWarnings();
    tv::fuzzing::SilenceLibraryPrints();
    QImageReader::setAllocationLimit(4);
    tv::fuzzing::StartGuiApplication(argc, argv);
    return 0;
}

namespace {

using Bytes = std::vector<BYTE>;

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

// The cursor an object made belongs to the caller.
void release(CBlob& obj)
{
    if (auto* cursor = dynamic_cast<CCursor*>(&obj); cursor && cursor->GetHandle())
        win::DestroyCursor(cursor->GetHandle());
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
    release(again);
    if (!same)
        std::abort();
}

// The object as the button exchanges it at a property version.
template <class Object>
void exchange(DWORD version, const Bytes& block)
{
    auto exchangeLoad = [version](Object& o, const Bytes& b) {
        LoadingExchange px(version, b);
        o.ExchangeBlob(&px, "Blob");
    };
    Object obj;
    if (load([&] { exchangeLoad(obj, block); }))
        checkStoresBack(obj, exchangeLoad);
    release(obj);
}

// The plain stored form of an object holding a file's bytes.
template <class Object>
void plain(Bytes copy)
{
    CMemFile file(copy.data(), UINT(copy.size()));
    CArchive ar(&file, CArchive::load);
    Object obj;
    load([&] { obj.Serialize(ar); });
    release(obj);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::size_t cursors = win::CursorHandleCount();
    const Bytes block(data, data + size);
    exchange<CColor>(CText::kCurrentVersion, block);
    for (DWORD version : {DWORD(0x50000), CText::kCurrentVersion})
        exchange<CText>(version, block);
    exchange<CSound>(CText::kCurrentVersion, block);
    exchange<CCursor>(CText::kCurrentVersion, block);
    plain<CSound>(block);
    plain<CCursor>(block);

    // The text template body with and without its pressed colour and text.
    Bytes copy = block;
    for (WORD flag : {WORD(0), WORD(1)}) {
        CMemFile file(copy.data(), UINT(copy.size()));
        CArchive ar(&file, CArchive::load);
        CText layer;
        load([&] { layer.SerializeSettings(ar, flag); });
    }
    if (win::CursorHandleCount() != cursors)
        std::abort();
    return 0;
}
