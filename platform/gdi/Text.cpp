// Fonts and text. Qt turns a line into glyph pixels (one bit deep, as the
// font asks for no antialiasing); this layer writes them to the surface in
// the DC's text colour, inside its clip region, like every other drawing.

#include "platform/gdi/Fonts.h"
#include "platform/gdi/Raster.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cstring>

namespace gdi {

namespace {

QString textOf(const char* text, int count)
{
    return QString::fromUtf8(text, count < 0 ? qsizetype(std::strlen(text)) : qsizetype(count));
}

// The characters shown, with the ones an "&" prefix underlines.
struct Shown {
    QString text;
    std::vector<bool> underlined;
};

Shown shownText(const QString& s, bool prefixes, bool singleLine)
{
    Shown out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        QChar c = s[i];
        bool underline = false;
        if (prefixes && c == u'&') {
            // A last "&" prefixes nothing and is dropped.
            if (++i == s.size())
                break;
            c = s[i];
            underline = c != u'&';
        }
        if (singleLine && (c == u'\r' || c == u'\n'))
            continue;
        out.text += c;
        out.underlined.push_back(underline);
    }
    return out;
}

struct Line {
    qsizetype start;
    qsizetype end;
};

int advance(const QFontMetrics& fm, const QString& s, qsizetype from, qsizetype to)
{
    return to > from ? fm.horizontalAdvance(s.mid(from, to - from)) : 0;
}

// Lines of a paragraph broken at blanks to fit the width; a word that does
// not fit alone keeps its own line and runs over. Blanks at a break are
// dropped.
void breakParagraph(const QString& s, qsizetype from, qsizetype to, int width, const QFontMetrics& fm,
                    std::vector<Line>& lines)
{
    qsizetype pos = from;
    while (true) {
        if (advance(fm, s, pos, to) <= width) {
            lines.push_back(Line{pos, to});
            return;
        }
        qsizetype fit = -1, firstWord = to;
        for (qsizetype p = pos + 1; p < to; ++p) {
            if (s[p] != u' ' || s[p - 1] == u' ')
                continue;
            if (firstWord == to)
                firstWord = p;
            if (advance(fm, s, pos, p) > width)
                break;
            fit = p;
        }
        const qsizetype end = fit >= 0 ? fit : firstWord;
        lines.push_back(Line{pos, end});
        pos = end;
        while (pos < to && s[pos] == u' ')
            ++pos;
        if (pos >= to)
            return;
    }
}

std::vector<Line> breakLines(const QString& s, UINT format, int width, const QFontMetrics& fm)
{
    std::vector<Line> lines;
    if (format & DT_SINGLELINE) {
        lines.push_back(Line{0, s.size()});
        return lines;
    }
    qsizetype start = 0;
    while (true) {
        qsizetype end = start;
        while (end < s.size() && s[end] != u'\r' && s[end] != u'\n')
            ++end;
        if (format & DT_WORDBREAK)
            breakParagraph(s, start, end, width, fm, lines);
        else
            lines.push_back(Line{start, end});
        if (end >= s.size())
            return lines;
        // CR LF, LF and CR each end a line.
        start = end + ((s[end] == u'\r' && end + 1 < s.size() && s[end + 1] == u'\n') ? 2 : 1);
    }
}

// Draws one line's glyphs (and the underlines of its prefixed characters)
// with its cell's top-left corner at (x, y).
void drawGlyphs(Surface& dst, const Clip& clip, const QFont& font, const QFontMetrics& fm, const Shown& shown,
                const Line& line, int x, int y, const Tile& ink)
{
    if (line.end <= line.start)
        return;
    const QString text = shown.text.mid(line.start, line.end - line.start);
    const int width = fm.horizontalAdvance(text);
    // Room around the cell for glyphs that reach beyond it.
    const int pad = fm.height();
    QImage mask(width + 2 * pad, fm.height() + 2 * pad, QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull())
        return;
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QPoint(pad, pad + fm.ascent()), text);
        const int underlineY = pad + fm.ascent() + std::max(1, fm.underlinePos());
        for (qsizetype i = line.start; i < line.end; ++i)
            if (shown.underlined[std::size_t(i)]) {
                const int a = advance(fm, shown.text, line.start, i);
                const int b = advance(fm, shown.text, line.start, i + 1);
                p.fillRect(pad + a, underlineY, b - a, std::max(1, fm.lineWidth()), Qt::white);
            }
    }
    Spans spans;
    for (int r = 0; r < mask.height(); ++r) {
        const int yy = y - pad + r;
        if (yy < clip.Top() || yy >= clip.Bottom())
            continue;
        const auto* row = reinterpret_cast<const QRgb*>(mask.constScanLine(r));
        for (int c = 0; c < mask.width();) {
            if (qAlpha(row[c]) < 128) {
                ++c;
                continue;
            }
            const int begin = c;
            while (c < mask.width() && qAlpha(row[c]) >= 128)
                ++c;
            spans.push_back(Span{yy, x - pad + begin, x - pad + c});
        }
    }
    Paint(dst, clip, spans, ink);
}

struct TextTarget {
    DC* dc = nullptr;
    Surface* surface = nullptr;
    Font* font = nullptr;
};

TextTarget textTarget(HDC hdc)
{
    TextTarget t{FindDC(hdc), DCSurface(hdc), nullptr};
    if (t.dc)
        t.font = t.dc->font;
    return t;
}

} // namespace

} // namespace gdi

using namespace gdi;

HFONT CreateFontIndirect(const LOGFONT* lf)
{
    if (!lf)
        return nullptr;
    auto font = std::make_unique<Font>();
    font->logFont = *lf;
    font->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(AddObject(std::move(font)));
}

BOOL GetTextExtentPoint32(HDC hdc, const char* text, int count, SIZE* size)
{
    const TextTarget t = textTarget(hdc);
    if (!t.dc || !t.font || !text || !size)
        return FALSE;
    const QFontMetrics fm(FontOf(*t.font));
    *size = SIZE{fm.horizontalAdvance(textOf(text, count)), fm.height()};
    return TRUE;
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm)
{
    const TextTarget t = textTarget(hdc);
    if (!t.dc || !t.font || !tm)
        return FALSE;
    const QFont& font = FontOf(*t.font);
    const QFontMetrics fm(font);
    const LOGFONT& lf = t.font->logFont;
    TEXTMETRIC m{};
    m.tmHeight = fm.height();
    m.tmAscent = fm.ascent();
    m.tmDescent = fm.descent();
    m.tmInternalLeading = std::max(0, fm.height() - font.pixelSize());
    m.tmExternalLeading = std::max(0, fm.leading());
    m.tmAveCharWidth = fm.averageCharWidth();
    m.tmMaxCharWidth = fm.maxWidth();
    m.tmWeight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf.lfWeight, 1000);
    m.tmDigitizedAspectX = ScreenDpi();
    m.tmDigitizedAspectY = ScreenDpi();
    m.tmFirstChar = 0x20;
    m.tmLastChar = 0xFF;
    m.tmDefaultChar = '?';
    m.tmBreakChar = ' ';
    m.tmItalic = lf.lfItalic ? 1 : 0;
    m.tmUnderlined = lf.lfUnderline ? 1 : 0;
    m.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    // Outline (TrueType) glyphs; bit 0 set means a variable pitch.
    m.tmPitchAndFamily = BYTE(0x06 | (QFontInfo(font).fixedPitch() ? 0 : 0x01));
    m.tmCharSet = lf.lfCharSet;
    *tm = m;
    return TRUE;
}

int DrawText(HDC hdc, const char* text, int count, RECT* rect, UINT format)
{
    const TextTarget t = textTarget(hdc);
    if (!t.dc || !t.surface || !t.font || !text || !rect)
        return 0;
    const QFont& font = FontOf(*t.font);
    const QFontMetrics fm(font);
    const bool single = format & DT_SINGLELINE;
    const Shown shown = shownText(textOf(text, count), !(format & DT_NOPREFIX), single);
    const std::vector<Line> lines =
        breakLines(shown.text, format, int(std::max<long long>(0, static_cast<long long>(rect->right) - rect->left)), fm);
    const int lineHeight = fm.height();
    std::vector<int> widths;
    int widest = 0;
    for (const Line& l : lines) {
        widths.push_back(advance(fm, shown.text, l.start, l.end));
        widest = std::max(widest, widths.back());
    }
    const int height = int(lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        rect->right = LONG(std::min<long long>(static_cast<long long>(rect->left) + widest, INT_MAX));
        rect->bottom = LONG(std::min<long long>(static_cast<long long>(rect->top) + height, INT_MAX));
        return height;
    }

    // Positions in 64 bits: a measuring rectangle may reach to the ends of the int range.
    const long long left = rect->left, right = rect->right, rectTop = rect->top, rectBottom = rect->bottom;
    long long top = rectTop;
    const bool placed = single && (format & (DT_VCENTER | DT_BOTTOM));
    if (placed)
        top = (format & DT_VCENTER) ? rectTop + (rectBottom - rectTop - lineHeight) / 2 : rectBottom - lineHeight;
    const auto near = [](long long v) { return int(std::clamp<long long>(v, -(1 << 28), 1 << 28)); };
    const QRect box(QPoint(near(left), near(rectTop)), QPoint(near(right) - 1, near(rectBottom) - 1));
    const Clip clip(*t.dc, *t.surface, (format & DT_NOCLIP) ? nullptr : &box);
    const Tile ink = ColorTile(*t.surface, t.dc->textColor);
    const Tile background = ColorTile(*t.surface, t.dc->bkColor);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int w = widths[i];
        long long x = left;
        if (format & DT_CENTER)
            x = left + (right - left - w) / 2;
        else if (format & DT_RIGHT)
            x = right - w;
        const int xi = near(x);
        const int y = near(top + static_cast<long long>(i) * lineHeight);
        if (t.dc->bkMode == OPAQUE && w > 0)
            Paint(*t.surface, clip, ToSpans(RectRows(Box{xi, y, xi + w, y + lineHeight}, y, y + lineHeight)),
                  background);
        drawGlyphs(*t.surface, clip, font, fm, shown, lines[i], xi, y, ink);
    }
    return placed ? int(top + lineHeight - rectTop) : height;
}
