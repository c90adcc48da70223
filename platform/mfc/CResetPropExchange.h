#pragma once
// The property exchange that gives every property its default: what a
// control runs for InitNew and OnResetState. Properties exchanged without a
// default keep their values.

#include "platform/mfc/CPropExchange.h"

class CResetPropExchange : public CPropExchange {
public:
    CResetPropExchange();

    BOOL ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert) override;
    BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vt, void* pvProp, const void* pvDefault = nullptr) override;
    BOOL ExchangeBlobProp(LPCTSTR pszPropName, HGLOBAL* phBlob, HGLOBAL hBlobDefault = nullptr) override;
    BOOL ExchangeFontProp(LPCTSTR pszPropName, CFontHolder& font, const FONTDESC* pFontDesc,
                          IDispatch* pFontDispAmbient) override;
};
