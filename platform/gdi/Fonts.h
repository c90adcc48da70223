#pragma once
// The one place a LOGFONT becomes a QFont. The faces the stored buttons and
// forms name ("MS Sans Serif" and the other Windows faces) do not exist
// here: a substitution table maps them to the DejaVu faces of the
// fonts-dejavu-core package; a face neither in the table nor installed falls
// back to the default family. Fonts come without antialiasing, hinting,
// kerning or fallback faces, so text renders the same on every machine with
// the same font package.

#include "platform/gdi/Gdi.h"

#include <QFont>
#include <QString>

namespace gdi {

// Family for text whose face is unknown.
inline constexpr const char* kDefaultFontFamily = "DejaVu Sans";

// The family a face name is drawn with (names compare without case).
QString SubstituteFace(const QString& face);
// Maps a face to a family from now on; an empty family removes the entry.
void SetFontSubstitute(const QString& face, const QString& family);
// Back to the built-in table.
void ResetFontSubstitutes();

// The font for a LOGFONT on a device of dpi dots per inch: height in pixels
// (negative: character height, positive: cell height, 0: 8 points), weight,
// italic, underline and strike-out; the face through the table above.
QFont FontFromLogFont(const LOGFONT& lf, int dpi);

} // namespace gdi
