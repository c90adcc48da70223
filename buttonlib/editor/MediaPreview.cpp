#include "buttonlib/editor/MediaPreview.h"

#include "buttonlib/media/CDIB.h"

#include "platform/gdi/Gdi.h"

#include <cstdint>

namespace MediaPreview {

namespace {

// The window border of the system the dialog sizes come from; the frame's
// sunken edge is twice as wide.
constexpr LONG kBorder = 1;

} // namespace

RECT TargetRect(const RECT& target, LONG w, LONG h)
{
    RECT r = target;
    const std::int64_t W = std::int64_t(target.right) - target.left;
    const std::int64_t H = std::int64_t(target.bottom) - target.top;
    if (w > W || h > H) {
        if (w != 0 && h != 0 && W != 0 && H != 0) {
            const std::int64_t a = std::int64_t(w) * 1000 / h;
            const std::int64_t f = W * 1000 / H;
            if (f < a) {
                const LONG d = LONG((H - W * 1000 / a + 1) / 2);
                r.top += d;
                r.bottom -= d;
            } else {
                const LONG d = LONG((W - H * a / 1000 + 1) / 2);
                r.left += d;
                r.right -= d;
            }
        }
        return r;
    }
    r.left = LONG(target.left + (W - w) / 2);
    r.top = LONG(target.top + (H - h) / 2);
    r.right = r.left + w;
    r.bottom = r.top + h;
    return r;
}

RECT FrameInside(CDialog& dialog)
{
    CWnd* frame = dialog.GetDlgItem(IDC_PREVIEW_FRAME);
    if (!frame)
        return RECT{0, 0, 0, 0};
    RECT r{0, 0, 0, 0};
    frame->GetWindowRect(&r);
    POINT topLeft{r.left, r.top};
    POINT bottomRight{r.right, r.bottom};
    dialog.ScreenToClient(&topLeft);
    dialog.ScreenToClient(&bottomRight);
    return RECT{topLeft.x + 2 * kBorder, topLeft.y + 2 * kBorder, bottomRight.x - 2 * kBorder,
                bottomRight.y - 2 * kBorder};
}

void Draw(CDialog& dialog, HDC hdc, CDIB& picture)
{
    if (!picture.IsValid() || !hdc)
        return;
    const RECT inside = FrameInside(dialog);
    if (inside.right <= inside.left || inside.bottom <= inside.top)
        return;
    const LONG w = picture.GetWidth();
    const LONG h = picture.GetHeight();
    const CRect dest = TargetRect(inside, w, h);
    CDC dc;
    dc.Attach(hdc);
    const int oldMode = SetStretchBltMode(hdc, COLORONCOLOR);
    picture.Draw(&dc, dest, CRect(0, 0, w, h));
    SetStretchBltMode(hdc, oldMode);
    dc.Detach();
}

void Refresh(CDialog& dialog)
{
    if (CWnd* frame = dialog.GetDlgItem(IDC_PREVIEW_FRAME)) {
        frame->ShowWindow(win::SW_HIDE);
        frame->ShowWindow(win::SW_SHOW);
    }
    dialog.Invalidate(TRUE);
}

} // namespace MediaPreview
