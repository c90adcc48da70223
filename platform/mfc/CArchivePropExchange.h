#pragma once
// The property exchange over an archive: the stream layout of
// PropertyStreamFormat.h. Values carry no names; they follow each other in
// the order they are exchanged.
//
// Loading never throws: once the data runs out or holds a value out of
// range, that value and every later one take their defaults and Failed()
// says so. Storing raises what the archive raises.

#include "platform/mfc/CArchive.h"
#include "platform/mfc/CPropExchange.h"

class CArchivePropExchange : public CPropExchange {
public:
    // Loads or stores as the archive does.
    explicit CArchivePropExchange(CArchive& ar);

    BOOL ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert) override;
    BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vt, void* pvProp, const void* pvDefault = nullptr) override;
    BOOL ExchangeBlobProp(LPCTSTR pszPropName, HGLOBAL* phBlob, HGLOBAL hBlobDefault = nullptr) override;
    BOOL ExchangeFontProp(LPCTSTR pszPropName, CFontHolder& font, const FONTDESC* pFontDesc,
                          IDispatch* pFontDispAmbient) override;

    BOOL Failed() const { return m_bFailed; }

private:
    void readValue(VARTYPE vt, void* pv);
    void writeValue(VARTYPE vt, const void* pv);

    CArchive& m_ar;
    BOOL m_bFailed = FALSE;
};
