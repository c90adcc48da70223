#pragma once
// The property exchange a control's persistence runs its properties through.
// This is the part the media objects use: the direction, the version being
// exchanged and blob properties. A blob is one global block holding a DWORD
// byte count N followed by N bytes.
//
// Storing writes the block *phBlob (nothing or an empty blob when it is
// null). Loading frees *phBlob when it is set and puts a new block in its
// place: the stored blob, a copy of the default, or null.

#include "platform/mfc/GlobalMemory.h"
#include "platform/mfc/WinTypes.h"

class CPropExchange {
public:
    CPropExchange() = default;
    CPropExchange(const CPropExchange&) = delete;
    CPropExchange& operator=(const CPropExchange&) = delete;
    virtual ~CPropExchange() = default;

    BOOL IsLoading() const { return m_bLoading; }
    DWORD GetVersion() const { return m_dwVersion; }

    virtual BOOL ExchangeBlobProp(LPCTSTR pszPropName, HGLOBAL* phBlob, HGLOBAL hBlobDefault = nullptr) = 0;

protected:
    BOOL m_bLoading = FALSE;
    DWORD m_dwVersion = 0;
};

BOOL PX_Blob(CPropExchange* pPX, LPCTSTR pszPropName, HGLOBAL& hBlob, HGLOBAL hBlobDefault = nullptr);
