#pragma once
// Helpers shared by the media tests: golden files, global blocks as byte
// vectors, and a property exchange that keeps blobs in memory.

#include "buttonlib/media/CBlob.h"

#include "platform/mfc/CMemFile.h"
#include "platform/mfc/CPropExchange.h"
#include "platform/mfc/GlobalMemory.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace media::testing {

using Bytes = std::vector<BYTE>;

inline Bytes ReadGolden(const std::string& name)
{
    std::ifstream in(std::string(TV_MEDIA_TESTDATA) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes BlockBytes(HGLOBAL h)
{
    const auto* p = static_cast<const BYTE*>(GlobalLock(h));
    Bytes out(p, p + GlobalSize(h));
    GlobalUnlock(h);
    return out;
}

inline HGLOBAL MakeBlock(const Bytes& bytes)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!bytes.empty())
        std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

// The blob property of an object, as bytes.
inline Bytes BlobOf(CBlob& obj)
{
    HGLOBAL h = obj.GetBlob();
    Bytes out = BlockBytes(h);
    GlobalFree(h);
    return out;
}

// Loads a blob property; true when it loaded, false when the load raised.
inline bool LoadBlob(CBlob& obj, const Bytes& blob)
{
    HGLOBAL h = MakeBlock(blob);
    try {
        obj.SetBlob(&h);
    } catch (const CException&) {
        GlobalFree(h);
        return false;
    }
    if (h)
        GlobalFree(h);
    return true;
}

// The plain Serialize form of an object.
inline Bytes PlainForm(CObject& obj)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    obj.Serialize(ar);
    ar.Close();
    return file.Detach();
}

// Loads an object from its plain form; what it raises passes to the caller.
inline void LoadPlainForm(CObject& obj, Bytes bytes)
{
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    obj.Serialize(ar);
}

// Blob properties kept by name, exchanged at a chosen version.
class FakePropExchange : public CPropExchange {
public:
    FakePropExchange(bool loading, DWORD version)
    {
        m_bLoading = loading ? TRUE : FALSE;
        m_dwVersion = version;
    }
    void SetLoading(bool loading) { m_bLoading = loading ? TRUE : FALSE; }

    BOOL ExchangeBlobProp(LPCTSTR name, HGLOBAL* phBlob, HGLOBAL hDefault) override
    {
        if (!m_bLoading) {
            props[name] = *phBlob ? BlockBytes(*phBlob) : Bytes{0, 0, 0, 0};
            return TRUE;
        }
        if (*phBlob)
            GlobalFree(*phBlob);
        const auto it = props.find(name);
        *phBlob = it != props.end() ? MakeBlock(it->second) : hDefault ? MakeBlock(BlockBytes(hDefault)) : nullptr;
        return TRUE;
    }

    std::map<std::string, Bytes> props;
};

} // namespace media::testing
