#pragma once
// The colour swatch of the editor's settings dialogs: a rectangle in a
// colour over an item of the dialog (a frame, or a hidden placeholder that
// only lends its place), outlined in black.

#include "platform/mfc/CDialog.h"

#include <optional>

// Paints the swatch over the item's rectangle; nothing for a missing item.
void PaintColorSwatch(CDialog& dialog, HDC hdc, int itemId, COLORREF colour);
// Asks the item's area to be painted again.
void InvalidateColorSwatch(CDialog& dialog, int itemId);
// The colour dialog opened on the colour; nothing when it was cancelled.
std::optional<COLORREF> ChooseSwatchColor(COLORREF initial);
