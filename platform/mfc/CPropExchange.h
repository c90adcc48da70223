#pragma once
// The property exchange a control's persistence runs its properties through:
// one DoPropExchange serves saving, loading and resetting to defaults, in a
// stream (CArchivePropExchange), a property bag (CPropbagPropExchange) or
// the reset (CResetPropExchange). The PX_ functions exchange one property
// each under its name; the version exchanged comes first.
//
// Loading: a value missing or unreadable takes the default when one is
// given and is left as it is otherwise; the function then answers FALSE.
// Storing writes the value. The reset sets the default when one is given.
//
// A blob is one global block holding a DWORD byte count N followed by N
// bytes. Storing writes the block *phBlob (an empty blob when it is null).
// Loading frees *phBlob when it is set and puts a new block in its place: the
// stored blob, a copy of the default, or null.

#include "platform/com/Dispatch.h"
#include "platform/mfc/GlobalMemory.h"
#include "platform/mfc/WinTypes.h"

struct FONTDESC;
class CFontHolder;

class CPropExchange {
public:
    CPropExchange() = default;
    CPropExchange(const CPropExchange&) = delete;
    CPropExchange& operator=(const CPropExchange&) = delete;
    virtual ~CPropExchange() = default;

    BOOL IsLoading() const { return m_bLoading; }
    // The version being exchanged: the one loaded, or the one stored.
    DWORD GetVersion() const { return m_dwVersion; }

    // Loading: dwVersionLoaded takes the stored version (dwVersionDefault
    // when none is stored). Storing: writes dwVersionDefault when bConvert is
    // TRUE, else dwVersionLoaded. An exchange that keeps no versions, values
    // or fonts answers FALSE to the calls below.
    virtual BOOL ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert);
    // vt: VT_I2 (short), VT_BOOL (BOOL), VT_I4 (LONG or OLE_COLOR), VT_R8
    // (double) or VT_BSTR (CString); pvDefault of the same type or null.
    virtual BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vt, void* pvProp, const void* pvDefault = nullptr);
    virtual BOOL ExchangeBlobProp(LPCTSTR pszPropName, HGLOBAL* phBlob, HGLOBAL hBlobDefault = nullptr) = 0;
    // Loading replaces the holder's font with the stored one (the default
    // description's when none can be read).
    virtual BOOL ExchangeFontProp(LPCTSTR pszPropName, CFontHolder& font, const FONTDESC* pFontDesc,
                                  IDispatch* pFontDispAmbient);

protected:
    // *dst = *src for a value of type vt (as ExchangeProp takes them); FALSE
    // for a null src or another type.
    static BOOL CopyPropValue(VARTYPE vt, void* dst, const void* src);
    // A new block with the bytes of h; null for null or when memory is short.
    static HGLOBAL CopyBlob(HGLOBAL h);

    BOOL m_bLoading = FALSE;
    DWORD m_dwVersion = 0;
};

BOOL PX_Short(CPropExchange* pPX, LPCTSTR pszPropName, short& sValue);
BOOL PX_Short(CPropExchange* pPX, LPCTSTR pszPropName, short& sValue, short sDefault);
BOOL PX_Bool(CPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue);
BOOL PX_Bool(CPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault);
BOOL PX_Long(CPropExchange* pPX, LPCTSTR pszPropName, LONG& lValue);
BOOL PX_Long(CPropExchange* pPX, LPCTSTR pszPropName, LONG& lValue, LONG lDefault);
BOOL PX_Color(CPropExchange* pPX, LPCTSTR pszPropName, OLE_COLOR& clrValue);
BOOL PX_Color(CPropExchange* pPX, LPCTSTR pszPropName, OLE_COLOR& clrValue, OLE_COLOR clrDefault);
BOOL PX_Double(CPropExchange* pPX, LPCTSTR pszPropName, double& dValue);
BOOL PX_Double(CPropExchange* pPX, LPCTSTR pszPropName, double& dValue, double dDefault);
BOOL PX_String(CPropExchange* pPX, LPCTSTR pszPropName, CString& strValue);
BOOL PX_String(CPropExchange* pPX, LPCTSTR pszPropName, CString& strValue, const CString& strDefault);
// pFontDesc: the default (null: "MS Sans Serif" 8 points, normal weight);
// pFontDispAmbient: a font to copy for the default instead.
BOOL PX_Font(CPropExchange* pPX, LPCTSTR pszPropName, CFontHolder& font, const FONTDESC* pFontDesc = nullptr,
             IDispatch* pFontDispAmbient = nullptr);
BOOL PX_Blob(CPropExchange* pPX, LPCTSTR pszPropName, HGLOBAL& hBlob, HGLOBAL hBlobDefault = nullptr);
