#pragma once
// The editor's owner-drawn command button: a face in the system's button
// colour or in colours the page sets, a black ring while it has the focus,
// a raised edge that sinks while pressed, and a grey checkerboard over it
// while disabled. It shows the bitmap set on it (BM_SETIMAGE), light grey
// being transparent, or else its text.

#include "platform/mfc/CButton.h"

class CColorButton : public CButton {
public:
    CColorButton();

    // Text and face colours used from now on instead of the system's.
    void SetColors(COLORREF text, COLORREF face);

    void DrawItem(win::DRAWITEMSTRUCT* item) override;

private:
    BOOL m_bCustomColors = FALSE;
    COLORREF m_clrText;
    COLORREF m_clrFace;
};
