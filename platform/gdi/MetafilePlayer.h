#pragma once
// The metafile record player: a DC's state (mapping, objects, colours,
// modes, clipping, path) kept as the records set it, and each drawing record
// painted with a QPainter over the target's pixels, antialiasing off.
// Geometry is mapped to device pixels before it is drawn, so pens, clipping
// and paths all work in one coordinate space. Bitmap records go through the
// layer's blits. Shared by the files of this folder only.

#include "platform/gdi/GdiObjects.h"

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRegion>
#include <QTransform>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gdi {

// A metafile held by a handle: its bytes (kept 4-byte aligned), the header
// the API reports and the palette its end record (or first palette) carries.
struct MetafileData {
    bool enhanced = true;
    std::vector<std::uint32_t> storage;
    std::size_t size = 0;
    ENHMETAHEADER header{};
    std::vector<PALETTEENTRY> palette;
    // Windows metafiles: where the records start and how many object slots.
    std::size_t wmfFirstRecord = 0;
    unsigned wmfObjects = 0;
    const BYTE* Bytes() const { return reinterpret_cast<const BYTE*>(storage.data()); }
};

// The size of the Windows metafile record at p, checked to lie before end;
// 0 when it does not. libUEMF's own check reads the record's size field
// wherever p is, so the field is looked at here first.
std::size_t WmfRecordSize(const char* p, const char* end);

namespace mf {

struct Pen {
    unsigned style = 0; // style, caps, joins and type bits as recorded
    double width = 0;   // logical units; 0 for one pixel
    COLORREF color = 0;
    bool extended = false;
    std::vector<double> userDashes; // logical units
};

struct Brush {
    unsigned style = 0; // solid, null, hatched, pattern, DIB pattern
    COLORREF color = 0;
    unsigned hatch = 0;
    QImage pattern;     // pattern brushes
    bool monoPattern = false; // 1-bit pattern: 0 takes the text colour, 1 the background
};

struct Font {
    int height = 0;
    int width = 0;
    int escapement = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString face;
};

struct Palette {
    std::vector<PALETTEENTRY> entries;
};

struct Region {
    QRegion region; // logical units (Windows metafiles)
};

struct Object {
    enum class Kind { Pen, Brush, Font, Palette, Region } kind;
    Pen pen;
    Brush brush;
    Font font;
    Palette palette;
    Region region;
};

using ObjectPtr = std::shared_ptr<const Object>;

struct State {
    int mapMode = MM_TEXT;
    QPointF windowOrg{0, 0};
    QSizeF windowExt{1, 1};
    QPointF viewportOrg{0, 0};
    QSizeF viewportExt{1, 1};
    QTransform world;
    ObjectPtr pen;
    ObjectPtr brush;
    ObjectPtr font;
    ObjectPtr palette;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = 2; // opaque
    unsigned textAlign = 0;
    int polyFillMode = 1; // alternate
    int rop2 = 13;        // copy pen
    double miterLimit = 10;
    bool clockwise = false;
    QPointF current{0, 0}; // logical units
    std::optional<QRegion> clip; // device pixels; none: the whole target
    int charExtra = 0;
};

// A DIB inside a record, checked: header and colour table copied out
// (aligned, palette indices resolved), bits left where they are.
struct Dib {
    std::vector<std::uint32_t> info;
    const BYTE* bits = nullptr;
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
    int Width() const { return Info()->bmiHeader.biWidth; }
    int Height() const
    {
        const LONG h = Info()->bmiHeader.biHeight;
        return h < 0 ? -h : h;
    }
};

} // namespace mf

class MetafilePlayer {
public:
    // Plays onto image, whose pixels are those of the DC hdc (blits go
    // through hdc); the picture frame maps onto dest.
    MetafilePlayer(QImage& image, HDC hdc, const MetafileData& data, const QRectF& dest);
    ~MetafilePlayer();
    MetafilePlayer(const MetafilePlayer&) = delete;
    MetafilePlayer& operator=(const MetafilePlayer&) = delete;

    // False when a record failed its checks; playback stopped there.
    bool Play();

private:
    // Record interpreters, one per format; false stops playback.
    bool playEmf();
    bool emfRecord(const BYTE* rec, std::uint32_t size, std::uint32_t type);
    bool playWmf();
    bool wmfRecord(const BYTE* rec, std::size_t size, unsigned type);

    // Mapping.
    QTransform pageTransform() const;
    QTransform toDevice() const; // world, page and frame together
    QPointF dev(QPointF p) const { return toDevice().map(p); }
    double deviceScale() const;
    void setMapMode(int mode);
    void applyFixedMapMode();

    // Objects.
    void storeObject(std::size_t index, mf::ObjectPtr obj);
    void selectObject(std::uint32_t index);
    void deleteObject(std::uint32_t index);
    // The lowest empty slot, or -1 when every slot holds an object.
    int wmfFreeSlot();
    mf::ObjectPtr stockObject(unsigned id) const;
    QColor color(COLORREF c) const;
    const std::vector<PALETTEENTRY>& currentPalette() const;

    // Drawing: a logical shape mapped to the device, filled and/or stroked
    // (or added to the path being recorded).
    void drawShape(const QPainterPath& logical, bool fill, bool stroke, bool closedFigure = true);
    void fillDevice(const QPainterPath& device, const QBrush& brush, bool useRop = true);
    void strokeDevice(const QPainterPath& device);
    void fillRegion(const QRegion& device, const QBrush& brush);
    void invertRegion(const QRegion& device);
    QPen makePen() const;
    QBrush makeBrush(const mf::Brush& b) const;
    QBrush currentBrush() const;
    void preparePainter(bool useRop);
    void lineTo(QPointF p);
    void moveTo(QPointF p);
    void polyline(const std::vector<QPointF>& pts, bool continueFigure);
    void polygon(const std::vector<QPointF>& pts);
    void polyPolygon(const std::vector<std::vector<QPointF>>& polys, bool closed);
    void polyBezier(const std::vector<QPointF>& pts, bool continueFigure);
    void polyDraw(const std::vector<QPointF>& pts, const std::vector<BYTE>& types);
    enum class ArcKind { Arc, ArcTo, Chord, Pie };
    void arc(QRectF box, QPointF start, QPointF end, ArcKind kind);
    void angleArc(QPointF center, double radius, double startDeg, double sweepDeg);
    void rectangle(QRectF r);
    void roundRect(QRectF r, QSizeF corner);
    void ellipse(QRectF r);
    void setPixel(QPointF p, COLORREF c);

    // Paths.
    void beginPath();
    void endPath();
    void closeFigure();
    void fillPath(bool stroke, bool fill);
    void selectClipPath(int mode);
    void widenPath();

    // Clipping, device pixels.
    QRegion fullRegion() const;
    QRegion deviceRect(QRectF logical) const;
    void combineClip(const QRegion& r, int mode);
    void intersectClip(QRectF logical);
    void excludeClip(QRectF logical);
    void offsetClip(QPointF logical);

    // Text.
    QFont makeFont(double& pixelSize) const;
    void textOut(QPointF ref, const QString& text, const std::vector<double>& dx, bool dxPairs, unsigned options,
                 const QRectF* rect);

    // Bitmaps: through the layer's raster operations, clipped.
    bool checkDib(const BYTE* rec, std::size_t recSize, std::size_t offBmi, std::size_t cbBmi, std::size_t offBits,
                  std::size_t cbBits, unsigned usage, mf::Dib& out, bool& usable) const;
    bool checkPackedDib(const BYTE* dib, std::size_t avail, unsigned usage, mf::Dib& out, bool& usable) const;
    void stretchDib(QPointF dest, QSizeF destExt, int sx, int sy, int sw, int sh, const mf::Dib* dib, DWORD rop,
                    bool srcFromTop);
    void patternBlit(const QRect& device, DWORD rop);
    QImage dibImage(const mf::Dib& dib) const;

    void saveDC();
    void restoreDC(int which);

    QImage& image_;
    HDC hdc_;
    const MetafileData& data_;
    QRectF dest_;
    QPainter painter_;
    // Reference device to destination.
    QTransform frame_;
    QSizeF refPixels_; // reference device in pixels
    QSizeF refMm_;     // and millimetres
    mf::State st_;
    std::vector<mf::State> saved_;
    // The object table: as many slots as the header names, held only as far
    // as they are used (a header may name 65,535).
    std::vector<mf::ObjectPtr> objects_;
    std::size_t objectSlots_ = 0;
    bool recording_ = false;
    bool figureOpen_ = false;
    QPainterPath path_; // device pixels
    bool rasterOpsUsed_ = false;
};

} // namespace gdi
