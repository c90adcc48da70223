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
#include <memory>
#include <string>

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

// The glyph pixels (and the underlines of the prefixed characters) of the
// lines inside rows firstRow .. lastRow - 1 and columns firstColumn ..
// lastColumn - 1, as spans: Qt renders them into one mask, one bit deep.
// False when no mask can be had.
bool glyphSpans(const QFont& font, const QFontMetrics& fm, const Shown& shown, const std::vector<qreal>& x,
                const std::vector<Placed>& placed, long long firstRow, long long lastRow, long long firstColumn,
                long long lastColumn, Spans& spans)
{
    const int width = int(lastColumn - firstColumn), height = int(lastRow - firstRow);
    // One scratch mask per thread, grown as needed; only the part used is cleared.
    thread_local QImage mask;
    if (mask.width() < width || mask.height() < height) {
        mask = QImage(std::max(width, mask.width()), std::max(height, mask.height()),
                      QImage::Format_ARGB32_Premultiplied);
        if (mask.isNull())
            return false;
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
    return true;
}

// Room around a block of lines for glyphs that reach beyond their cells.
int padX(const QFontMetrics& fm)
{
    return fm.height() / 2 + 2;
}

int padY(const QFontMetrics& fm)
{
    return fm.height() / 4 + 2;
}

// Draws the glyphs of the lines in the ink, rendering only the part the
// clip lets through.
void drawGlyphs(Surface& dst, const Clip& clip, const QFont& font, const QFontMetrics& fm, const Shown& shown,
                const std::vector<qreal>& x, const std::vector<Placed>& placed, const Tile& ink)
{
    if (placed.empty())
        return;
    long long left = placed.front().x, right = left;
    for (const Placed& p : placed) {
        left = std::min<long long>(left, p.x);
        right = std::max<long long>(right, static_cast<long long>(p.x) + p.width);
    }
    const long long top = placed.front().y;
    const long long bottom = static_cast<long long>(placed.back().y) + fm.height();
    const long long firstRow = std::max<long long>(top - padY(fm), clip.Top());
    const long long lastRow = std::min<long long>(bottom + padY(fm), clip.Bottom());
    const long long firstColumn = std::max<long long>(left - padX(fm), clip.Left() - padX(fm));
    const long long lastColumn = std::min<long long>(right + padX(fm), clip.Right() + padX(fm));
    if (firstRow >= lastRow || firstColumn >= lastColumn)
        return;
    Spans spans;
    if (glyphSpans(font, fm, shown, x, placed, firstRow, lastRow, firstColumn, lastColumn, spans))
        Paint(dst, clip, spans, ink);
}

// What DrawText works out for a text before placing it: the characters
// shown, the lines and their widths and, once drawn, the glyph pixels of the
// whole block. A button paints the same caption again and again, so the
// last few are kept per thread, found by the text, the font object (whose
// handle is never given again), the DPI, the format's layout bits and the
// rectangle's width.
struct LaidOut {
    std::string text;
    HGDIOBJ font = nullptr;
    int dpi = 0;
    UINT format = 0;
    long long width = 0;

    Shown shown;
    std::vector<qreal> x;
    std::vector<Line> lines;
    std::vector<int> widths;
    int widest = 0;
    int lineHeight = 0;

    // The glyph pixels with the rectangle's left and the first line's top at
    // (0, 0), made when first drawn; false when the block is too large to keep.
    bool rendered = false;
    bool kept = false;
    Spans glyphs;
};

constexpr UINT kLayoutBits = DT_CENTER | DT_RIGHT | DT_WORDBREAK | DT_SINGLELINE | DT_NOPREFIX;

void layOut(LaidOut& l, const QFont& font, const QFontMetrics& fm)
{
    const bool single = l.format & DT_SINGLELINE;
    l.shown = shownText(QString::fromUtf8(l.text.data(), qsizetype(l.text.size())), !(l.format & DT_NOPREFIX), single);
    l.x = boundaries(l.shown.text, font);
    l.lines = breakLines(l.shown.text, l.format, int(std::clamp<long long>(l.width, 0, INT_MAX)), l.x);
    l.lineHeight = fm.height();
    for (const Line& line : l.lines) {
        l.widths.push_back(advance(l.x, line.start, line.end));
        l.widest = std::max(l.widest, l.widths.back());
    }
}

// Where line i starts across, from the rectangle's left.
long long lineOffset(const LaidOut& l, std::size_t i)
{
    if (l.format & DT_CENTER)
        return (l.width - l.widths[i]) / 2;
    if (l.format & DT_RIGHT)
        return l.width - l.widths[i];
    return 0;
}

LaidOut& laidOut(const char* text, int count, HGDIOBJ fontHandle, const QFont& font, UINT format, long long width)
{
    constexpr std::size_t kKept = 16;
    thread_local std::vector<std::unique_ptr<LaidOut>> kept;
    thread_local std::size_t next = 0;
    const std::size_t n = count < 0 ? std::strlen(text) : std::size_t(count);
    const int dpi = ScreenDpi();
    format &= kLayoutBits;
    for (const auto& l : kept)
        if (l->font == fontHandle && l->dpi == dpi && l->format == format && l->width == width &&
            l->text.size() == n && std::memcmp(l->text.data(), text, n) == 0)
            return *l;
    auto l = std::make_unique<LaidOut>();
    l->text.assign(text, n);
    l->font = fontHandle;
    l->dpi = dpi;
    l->format = format;
    l->width = width;
    layOut(*l, font, QFontMetrics(font));
    if (kept.size() < kKept) {
        kept.push_back(std::move(l));
        return *kept.back();
    }
    next = (next + 1) % kKept;
    kept[next] = std::move(l);
    return *kept[next];
}

// The glyph pixels of the whole block, padded, rendered once.
void render(LaidOut& l, const QFont& font)
{
    l.rendered = true;
    const QFontMetrics fm(font);
    std::vector<Placed> placed;
    long long left = 0, right = 0;
    for (std::size_t i = 0; i < l.lines.size(); ++i) {
        const long long at = lineOffset(l, i);
        if (std::abs(at) > (1 << 26))
            return;
        left = i == 0 ? at : std::min(left, at);
        right = i == 0 ? at + l.widths[i] : std::max(right, at + l.widths[i]);
        placed.push_back(Placed{l.lines[i], int(at), int(i) * l.lineHeight, l.widths[i]});
    }
    const long long bottom = static_cast<long long>(l.lines.size()) * l.lineHeight;
    // A block too large to keep is rendered paint by paint, clipped.
    constexpr long long kLargest = 1 << 22;
    const long long w = right - left + 2 * padX(fm), h = bottom + 2 * padY(fm);
    if (placed.empty() || w * h > kLargest)
        return;
    l.kept = glyphSpans(font, fm, l.shown, l.x, placed, -padY(fm), bottom + padY(fm), left - padX(fm),
                        right + padX(fm), l.glyphs);
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
    const bool single = format & DT_SINGLELINE;
    // Positions in 64 bits: a measuring rectangle may reach to the ends of the int range.
    const long long left = rect->left, right = rect->right, rectTop = rect->top, rectBottom = rect->bottom;
    LaidOut& l = laidOut(text, count, t.font->handle, font, format, right - left);
    const int lineHeight = l.lineHeight;
    const int height = int(l.lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        rect->right = LONG(std::min<long long>(left + l.widest, INT_MAX));
        rect->bottom = LONG(std::min<long long>(rectTop + height, INT_MAX));
        return height;
    }

    long long top = rectTop;
    const bool offset = single && (format & (DT_VCENTER | DT_BOTTOM));
    if (offset)
        top = (format & DT_VCENTER) ? rectTop + (rectBottom - rectTop - lineHeight) / 2 : rectBottom - lineHeight;
    static constexpr long long kFar = 1 << 28;
    const auto near = [](long long v) { return int(std::clamp<long long>(v, -kFar, kFar)); };
    const QRect box(QPoint(near(left), near(rectTop)), QPoint(near(right) - 1, near(rectBottom) - 1));
    const Clip clip(*t.dc, *t.surface, (format & DT_NOCLIP) ? nullptr : &box);
    const Tile ink = ColorTile(*t.surface, t.dc->textColor);
    const Tile background = ColorTile(*t.surface, t.dc->bkColor);
    std::vector<Placed> placedLines;
    bool clamped = false;
    for (std::size_t i = 0; i < l.lines.size(); ++i) {
        const int w = l.widths[i];
        const long long lineX = left + lineOffset(l, i);
        const long long lineY = top + static_cast<long long>(i) * lineHeight;
        clamped = clamped || lineX != near(lineX) || lineY != near(lineY);
        const int xi = near(lineX);
        const int y = near(lineY);
        if (t.dc->bkMode == OPAQUE && w > 0)
            Paint(*t.surface, clip, ToSpans(RectRows(Box{xi, y, xi + w, y + lineHeight}, y, y + lineHeight)),
                  background);
        placedLines.push_back(Placed{l.lines[i], xi, y, w});
    }
    // The kept glyph pixels of the block, moved to where it stands; a block
    // pushed against the ends of the range, or too large to keep, is
    // rendered as placed.
    if (!l.rendered)
        render(l, font);
    if (l.kept && !clamped && std::abs(left) < kFar / 2 && std::abs(top) < kFar / 2) {
        const int dx = int(left), dy = int(top);
        thread_local Spans moved;
        moved.clear();
        for (const Span& g : l.glyphs)
            moved.push_back(Span{g.y + dy, g.x0 + dx, g.x1 + dx});
        Paint(*t.surface, clip, moved, ink);
    } else {
        drawGlyphs(*t.surface, clip, font, QFontMetrics(font), l.shown, l.x, placedLines, ink);
    }
    return offset ? int(top + lineHeight - rectTop) : height;
}
