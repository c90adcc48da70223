// Fonts and text. Qt turns a line into glyph pixels (one bit deep, as the
// font asks for no antialiasing); this layer writes them to the surface in
// the DC's text colour, inside its clip region, like every other drawing.

#include "platform/gdi/Fonts.h"
#include "platform/gdi/Raster.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTextLayout>

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

// Where each character boundary of the shown text lies, as Qt lays the text
// out for drawing; line ends stand as blanks here, as no line runs across
// one.
std::vector<qreal> boundaries(const QString& text, const QFont& font)
{
    QString flat = text;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    QTextLayout layout(flat, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    std::vector<qreal> x(std::size_t(text.size()) + 1, 0);
    if (line.isValid())
        for (qsizetype i = 1; i <= text.size(); ++i)
            x[std::size_t(i)] = line.cursorToX(int(i));
    return x;
}

// The width of the characters from .. to - 1.
int advance(const std::vector<qreal>& x, qsizetype from, qsizetype to)
{
    return to > from ? qRound(x[std::size_t(to)] - x[std::size_t(from)]) : 0;
}

// Lines of a paragraph broken at blanks to fit the width; a word that does
// not fit alone keeps its own line and runs over. Blanks at a break are
// dropped.
void breakParagraph(const QString& s, qsizetype from, qsizetype to, int width, const std::vector<qreal>& x,
                    std::vector<Line>& lines)
{
    qsizetype pos = from;
    while (true) {
        if (advance(x, pos, to) <= width) {
            lines.push_back(Line{pos, to});
            return;
        }
        qsizetype fit = -1, firstWord = to;
        for (qsizetype p = pos + 1; p < to; ++p) {
            if (s[p] != u' ' || s[p - 1] == u' ')
                continue;
            if (firstWord == to)
                firstWord = p;
            if (advance(x, pos, p) > width)
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

std::vector<Line> breakLines(const QString& s, UINT format, int width, const std::vector<qreal>& x)
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
            breakParagraph(s, start, end, width, x, lines);
        else
            lines.push_back(Line{start, end});
        if (end >= s.size())
            return lines;
        // CR LF, LF and CR each end a line.
        start = end + ((s[end] == u'\r' && end + 1 < s.size() && s[end + 1] == u'\n') ? 2 : 1);
    }
}

// A line placed on the surface: its cell's top-left corner and its width.
struct Placed {
    Line line;
    int x;
    int y;
    int width;
};

// Draws the glyphs of the lines (and the underlines of their prefixed
// characters): Qt renders them into one mask, whose set pixels are then
// written in the ink.
void drawGlyphs(Surface& dst, const Clip& clip, const QFont& font, const QFontMetrics& fm, const Shown& shown,
                const std::vector<qreal>& x, const std::vector<Placed>& placed, const Tile& ink)
{
    if (placed.empty())
        return;
    // The block the cells cover, with room for glyphs that reach beyond them.
    const int padX = fm.height() / 2 + 2, padY = fm.height() / 4 + 2;
    long long left = placed.front().x, right = left;
    for (const Placed& p : placed) {
        left = std::min<long long>(left, p.x);
        right = std::max<long long>(right, static_cast<long long>(p.x) + p.width);
    }
    const long long top = placed.front().y;
    const long long bottom = static_cast<long long>(placed.back().y) + fm.height();
    // Only the part the clip lets through is worth rendering.
    const long long firstRow = std::max<long long>(top - padY, clip.Top());
    const long long lastRow = std::min<long long>(bottom + padY, clip.Bottom());
    const long long firstColumn = std::max<long long>(left - padX, clip.Left() - padX);
    const long long lastColumn = std::min<long long>(right + padX, clip.Right() + padX);
    if (firstRow >= lastRow || firstColumn >= lastColumn)
        return;
    const int width = int(lastColumn - firstColumn), height = int(lastRow - firstRow);
    // One scratch mask per thread, grown as needed; only the part used is cleared.
    thread_local QImage mask;
    if (mask.width() < width || mask.height() < height) {
        mask = QImage(std::max(width, mask.width()), std::max(height, mask.height()),
                      QImage::Format_ARGB32_Premultiplied);
        if (mask.isNull())
            return;
    }
    for (int r = 0; r < height; ++r)
        std::memset(mask.scanLine(r), 0, std::size_t(width) * sizeof(QRgb));
    const int originX = int(firstColumn);
    const int originY = int(firstRow);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(font);
        p.setPen(Qt::white);
        const int underlineOffset = fm.ascent() + std::max(1, fm.underlinePos());
        for (const Placed& l : placed) {
            if (l.line.end <= l.line.start)
                continue;
            const int lx = l.x - originX, ly = l.y - originY;
            p.drawText(QPoint(lx, ly + fm.ascent()), shown.text.mid(l.line.start, l.line.end - l.line.start));
            for (qsizetype i = l.line.start; i < l.line.end; ++i)
                if (shown.underlined[std::size_t(i)]) {
                    const int a = advance(x, l.line.start, i);
                    const int b = advance(x, l.line.start, i + 1);
                    p.fillRect(lx + a, ly + underlineOffset, b - a, std::max(1, fm.lineWidth()), Qt::white);
                }
        }
    }
    Spans spans;
    for (int r = 0; r < height; ++r) {
        const auto* row = reinterpret_cast<const QRgb*>(mask.constScanLine(r));
        for (int c = 0; c < width;) {
            if (qAlpha(row[c]) < 128) {
                ++c;
                continue;
            }
            const int begin = c;
            while (c < width && qAlpha(row[c]) >= 128)
                ++c;
            spans.push_back(Span{originY + r, originX + begin, originX + c});
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
    const std::vector<qreal> x = boundaries(shown.text, font);
    const std::vector<Line> lines = breakLines(
        shown.text, format, int(std::clamp<long long>(static_cast<long long>(rect->right) - rect->left, 0, INT_MAX)), x);
    const int lineHeight = fm.height();
    std::vector<int> widths;
    int widest = 0;
    for (const Line& l : lines) {
        widths.push_back(advance(x, l.start, l.end));
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
    const bool offset = single && (format & (DT_VCENTER | DT_BOTTOM));
    if (offset)
        top = (format & DT_VCENTER) ? rectTop + (rectBottom - rectTop - lineHeight) / 2 : rectBottom - lineHeight;
    const auto near = [](long long v) { return int(std::clamp<long long>(v, -(1 << 28), 1 << 28)); };
    const QRect box(QPoint(near(left), near(rectTop)), QPoint(near(right) - 1, near(rectBottom) - 1));
    const Clip clip(*t.dc, *t.surface, (format & DT_NOCLIP) ? nullptr : &box);
    const Tile ink = ColorTile(*t.surface, t.dc->textColor);
    const Tile background = ColorTile(*t.surface, t.dc->bkColor);
    std::vector<Placed> placedLines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int w = widths[i];
        long long lineX = left;
        if (format & DT_CENTER)
            lineX = left + (right - left - w) / 2;
        else if (format & DT_RIGHT)
            lineX = right - w;
        const int xi = near(lineX);
        const int y = near(top + static_cast<long long>(i) * lineHeight);
        if (t.dc->bkMode == OPAQUE && w > 0)
            Paint(*t.surface, clip, ToSpans(RectRows(Box{xi, y, xi + w, y + lineHeight}, y, y + lineHeight)),
                  background);
        placedLines.push_back(Placed{lines[i], xi, y, w});
    }
    drawGlyphs(*t.surface, clip, font, fm, shown, x, placedLines, ink);
    return offset ? int(top + lineHeight - rectTop) : height;
}
