#include "buttonlib/editor/CFontDialogEnh.h"

CFontDialogEnh::CFontDialogEnh(const LOGFONT* lplfInitial, DWORD dwFlags, CDC* pdcPrinter, CWnd* pParentWnd)
    : CFontDialog(lplfInitial, dwFlags, pdcPrinter, pParentWnd)
{
}
