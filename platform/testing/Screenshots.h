#pragma once
// Pictures of windows in tests. Each picture is checked: every control in
// sight that shows a text is drawn (its place in the picture holds pixels
// far from its background's colour; it does not when the text takes about
// the background's colour or the control is not painted). A picture is written only on request, into the
// folder TV_SCREENSHOTS names (tools/screenshots.sh sets it), for people to
// look at; a test run writes none.

#include <QImage>
#include <QRect>
#include <QString>

#include <string>
#include <vector>

class QPixmap;
class QWidget;

namespace tv::testing {

// The folder the pictures go to; empty when none was asked for.
QString ScreenshotFolder();

// Writes name.png into the screenshot folder when one was asked for.
void SaveScreenshot(const QImage& picture, const QString& name);
void SaveScreenshot(const QPixmap& picture, const QString& name);

// The controls of window in sight in its picture that show a text (labels,
// buttons, text boxes, rich text boxes, lists' current entries) but are not
// drawn in it, by name or class and text.
std::vector<std::string> UndrawnTexts(QWidget* window, const QImage& picture);

// The window's picture, with a failure for each control UndrawnTexts finds.
QImage CheckedPicture(QWidget* window, const QString& name);

// The number of pixels of rect whose colour is within tolerance of colour
// in each channel.
int PixelsOfColour(const QImage& picture, const QRect& rect, QRgb colour, int tolerance = 0);

} // namespace tv::testing
