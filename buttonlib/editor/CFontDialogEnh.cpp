#include "buttonlib/editor/CFontDialogEnh.h"

IMPLEMENT_DYNAMIC(CFontDialogEnh, CFontDialog)

CFontDialogEnh::CFontDialogEnh(const LOGFONT* lplfInitial, DWORD dwFlags, CDC* pdcPrinter, CWnd* pParentWnd)
    : CFontDialog(lplfInitial, dwFlags, pdcPrinter, pParentWnd)
{
}
