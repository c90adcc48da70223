#pragma once
// The property exchange over a property bag: each value under its name.
// Saving writes every value, defaults included, so that what loads is what
// was saved whatever defaults the loading side has. Loading takes a missing
// or unreadable value as its default. The layout of fonts and blobs in a bag
// is in PropertyStreamFormat.h.

#include "platform/com/PersistInterfaces.h"
#include "platform/mfc/CPropExchange.h"

class CPropbagPropExchange : public CPropExchange {
public:
    CPropbagPropExchange(IPropertyBag* pPropBag, IErrorLog* pErrorLog, BOOL bLoading);

    BOOL ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert) override;
    BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vt, void* pvProp, const void* pvDefault = nullptr) override;
    BOOL ExchangeBlobProp(LPCTSTR pszPropName, HGLOBAL* phBlob, HGLOBAL hBlobDefault = nullptr) override;
    BOOL ExchangeFontProp(LPCTSTR pszPropName, CFontHolder& font, const FONTDESC* pFontDesc,
                          IDispatch* pFontDispAmbient) override;

private:
    com::ComPtr<IPropertyBag> m_pPropBag;
    IErrorLog* m_pErrorLog;
};
