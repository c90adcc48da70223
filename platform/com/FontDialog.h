#pragma once
// The font dialog a component shows: face, style, size in points,
// underline and strike-out, with a sample. It offers no colour and no
// script choice, since the fonts it sets carry neither. Sizes convert to a
// LOGFONT character height at the screen's resolution:
// lfHeight = -round(points * dpi / 72).
//
// Its widgets carry object names for tests: "family", "style", "size",
// "underline", "strikeOut", "sample", "ok", "cancel".

#include "platform/gdi/GdiDraw.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace com {

// Points of a LOGFONT height at dpi (a positive cell height is measured).
double PointsFromLogFont(const LOGFONT& lf, int dpi);
LONG HeightFromPoints(double points, int dpi);

class FontDialog : public QDialog {
    Q_OBJECT
public:
    FontDialog(const LOGFONT& initial, int dpi, QWidget* owner = nullptr);

    // The choice: the initial LOGFONT with face, height, weight, italic,
    // underline and strike-out as chosen. An unchanged face keeps the name
    // it came with, so a face the substitution table maps stays itself.
    LOGFONT logFont() const;

private:
    void refresh();

    LOGFONT initial_;
    int dpi_;
    QString initialFamily_;
    double initialPoints_;
    QString initialSizeText_;
    QComboBox* family_;
    QComboBox* style_;
    QComboBox* size_;
    QCheckBox* underline_;
    QCheckBox* strikeOut_;
    QLabel* sample_;
    QPushButton* ok_;
};

} // namespace com
