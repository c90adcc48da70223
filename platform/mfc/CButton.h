#pragma once
// A button item of a dialog: push button, check box, radio button or an
// owner-drawn button, which paints through DrawItem.

#include "platform/mfc/CWnd.h"
#include "platform/mfc/DialogTemplate.h"
#include "platform/win/CursorService.h"

inline constexpr UINT BM_GETIMAGE = 0x00F6;
inline constexpr UINT BM_SETIMAGE = 0x00F7;
inline constexpr win::WPARAM IMAGE_BITMAP = 0;
inline constexpr win::WPARAM IMAGE_ICON = 1;
inline constexpr win::WPARAM IMAGE_CURSOR = 2;

using win::HCURSOR;
using win::HICON;

class CButton : public CWnd {
public:
    // BST_UNCHECKED or BST_CHECKED; sends no BN_CLICKED.
    void SetCheck(int check);
    int GetCheck() const;
    // The image shown with BS_BITMAP; returns the one it replaces.
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
    // The cursor (or icon) shown with BS_ICON; returns the one it replaces.
    HCURSOR SetCursor(HCURSOR cursor);
    HCURSOR GetCursor() const;
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;
    // Switches between BS_BITMAP and BS_ICON (other style bits are kept as
    // the template gave them).
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);
    UINT GetButtonStyle() const;

    // An owner-drawn button's painting: the DC, the rectangle and the
    // state (ODS_SELECTED, ODS_FOCUS, ODS_DISABLED).
    virtual void DrawItem(win::DRAWITEMSTRUCT* item);
};
