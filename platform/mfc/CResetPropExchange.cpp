#include "platform/mfc/CResetPropExchange.h"

#include "platform/mfc/CFontHolder.h"

CResetPropExchange::CResetPropExchange()
{
    m_bLoading = TRUE;
}

BOOL CResetPropExchange::ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL)
{
    m_dwVersion = dwVersionLoaded = dwVersionDefault;
    return TRUE;
}

BOOL CResetPropExchange::ExchangeProp(LPCTSTR, VARTYPE vt, void* pvProp, const void* pvDefault)
{
    return CopyPropValue(vt, pvProp, pvDefault);
}

BOOL CResetPropExchange::ExchangeBlobProp(LPCTSTR, HGLOBAL* phBlob, HGLOBAL hBlobDefault)
{
    if (!phBlob)
        return FALSE;
    if (*phBlob)
        GlobalFree(*phBlob);
    *phBlob = CopyBlob(hBlobDefault);
    return TRUE;
}

BOOL CResetPropExchange::ExchangeFontProp(LPCTSTR, CFontHolder& font, const FONTDESC* pFontDesc,
                                          IDispatch* pFontDispAmbient)
{
    font.InitializeFont(pFontDesc, pFontDispAmbient);
    return TRUE;
}
