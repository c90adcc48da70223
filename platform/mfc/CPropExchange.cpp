#include "platform/mfc/CPropExchange.h"

BOOL PX_Blob(CPropExchange* pPX, LPCTSTR pszPropName, HGLOBAL& hBlob, HGLOBAL hBlobDefault)
{
    return pPX ? pPX->ExchangeBlobProp(pszPropName, &hBlob, hBlobDefault) : FALSE;
}
