#include "program/shell/frmProgress.h"

#include "platform/basic/App.h"

frmProgress::frmProgress()
    : FormOf("frmProgress")
{
    SetCaption(kCaption);
    SetBorderStyle(forms::vbFixedDialog);
    Move(0, 0, 5400, 1650);
    Move((vb::Screen::Width() - Width()) / 2, (vb::Screen::Height() - Height()) / 2);
    lblInfo.Move(180, 150, 4860, 480);
    lblInfo.SetWordWrap(true);
    ProgressBar1.Move(180, 720, 4860, 300);
    ProgressBar1.SetMin(0);
    ProgressBar1.SetMax(100);
}
