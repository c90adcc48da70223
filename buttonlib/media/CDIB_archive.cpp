// The picture's stored forms: four LONGs, then the BMP image plain or
// compressed. Loading takes the stored values only with a picture that loaded.

#include "buttonlib/media/CDIB.h"

namespace {

struct StoredValues {
    LONG keepMemory = 0;
    LONG pasted = 0;
    LONG aux = 0;
    LONG dpiX = 0;
};

StoredValues readValues(CArchive& ar)
{
    StoredValues v;
    ar >> v.keepMemory >> v.pasted >> v.aux >> v.dpiX;
    return v;
}

} // namespace

void CDIB::Serialize(CArchive& ar)
{
    SerializeEx(ar, FALSE);
}

void CDIB::SerializeEx(CArchive& ar, BOOL bCompressed)
{
    if (ar.IsStoring()) {
        if (!IsValid())
            return;
        ar << m_bKeepMemory << m_bPasted << m_lAux << m_nDpiX;
        if (!(bCompressed ? WriteCompressed(ar) : StoreData(ar)))
            AfxThrowMemoryException();
        return;
    }
    const StoredValues v = readValues(ar);
    if (!(bCompressed ? ReadCompressed(ar) : LoadData(ar)))
        AfxThrowMemoryException();
    m_bKeepMemory = v.keepMemory;
    m_bPasted = v.pasted;
    m_lAux = v.aux;
    m_nDpiX = v.dpiX;
}

void CDIB::SerializeWithFlag(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_bKeepMemory << m_bPasted << m_lAux << m_nDpiX << DWORD(IsValid() ? 1 : 0);
        if (IsValid() && !WriteCompressed(ar))
            AfxThrowMemoryException();
        return;
    }
    const StoredValues v = readValues(ar);
    DWORD held = 0;
    ar >> held;
    if (held && !ReadCompressed(ar))
        AfxThrowMemoryException();
    m_bKeepMemory = v.keepMemory;
    m_bPasted = v.pasted;
    m_lAux = v.aux;
    m_nDpiX = v.dpiX;
}
