#pragma once
// The picture preview of the media dialogs: a picture drawn inside the
// dialog's preview frame, at its own size in the middle when it fits, else
// shrunk into the frame with its proportions kept. It is drawn only from
// the dialog's paint; a refresh asks for a repaint.

#include "platform/mfc/CDialog.h"

class CDIB;

namespace MediaPreview {

inline constexpr int IDC_PREVIEW_FRAME = 246;

// The rectangle a picture of w x h pixels is drawn into, inside target.
// The proportions are compared in thousandths, as whole numbers, and the
// margins rounded up, so a picture three times as wide as high fills a
// 100 x 100 target as 100 x 32 at 34 from its top.
RECT TargetRect(const RECT& target, LONG w, LONG h);

// The inside of the dialog's preview frame in client coordinates: the
// frame less its two-pixel edge.
RECT FrameInside(CDialog& dialog);

// Draws the picture into the preview frame; nothing without a picture.
// Called from the dialog's OnPaint with its DC.
void Draw(CDialog& dialog, HDC hdc, CDIB& picture);

// Hides and shows the frame again and has the dialog repainted, so that its
// paint draws what is to be seen now.
void Refresh(CDialog& dialog);

} // namespace MediaPreview
