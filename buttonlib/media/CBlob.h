#pragma once
// The base of the button's media objects. Each object travels as one blob
// property (DWORD N, then N bytes of an archive written by SerializeEx with
// compression), and may store its payload as a compressed sub-archive:
// DWORD packed length P, DWORD raw length R, then P bytes of zlib data.

#include "platform/mfc/CArchive.h"
#include "platform/mfc/CObject.h"
#include "platform/mfc/CPropExchange.h"
#include "platform/mfc/GlobalMemory.h"

class CBlob : public CObject {
    DECLARE_SERIAL(CBlob)

public:
    CBlob();
    ~CBlob() override;

    void Serialize(CArchive& ar) override;
    virtual void ExchangeBlob(CPropExchange* pPX, LPCTSTR name);
    virtual void SerializeEx(CArchive& ar, BOOL bCompressed);
    // A new block holding the blob property; the caller owns it.
    virtual HGLOBAL GetBlob();
    // Loads from a blob property block. A non-empty blob is consumed: the
    // block is freed and *ph set to null. An empty one (N = 0) leaves the
    // object and the block as they are. A block whose N exceeds it raises
    // CArchiveException.
    virtual void SetBlob(HGLOBAL* ph);
    virtual BOOL ReadCompressed(CArchive& ar);
    virtual BOOL WriteCompressed(CArchive& ar);
    virtual BOOL LoadData(CArchive& ar);
    virtual BOOL StoreData(CArchive& ar);

    DWORD GetBlobSize() const { return blobSize; }

protected:
    // Reads exactly n bytes into out, in pieces, so that a count taken from
    // damaged data costs no more than the data really there. False when
    // fewer bytes are left.
    static bool ReadExact(CArchive& ar, DWORD n, std::vector<BYTE>& out);

    // The shared stored form of the classes that hold a file's bytes: a DWORD
    // byte count, then the payload (plain or compressed). Nothing at all is
    // stored for an object without bytes. A failed payload step raises
    // CMemoryException.
    void SerializeByteCount(CArchive& ar, BOOL bCompressed, DWORD& byteCount);

    // The last blob block built or received; owned.
    HGLOBAL hBlob = nullptr;
    DWORD blobSize = 0;

private:
    void freeBlob();
};
