#pragma once
// A surface that keeps what is drawn on it (the runtime's AutoRedraw): forms,
// picture boxes and user controls. Coordinates are in the surface's own
// scale (twips or pixels). Lines leave out their end point and boxes include
// their corners, as the platform drew them; nothing is antialiased.

#include "platform/forms/Color.h"
#include "platform/forms/Control.h"

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QSize>

#include <optional>
#include <string_view>
#include <vector>

class QPainter;
class QWidget;

namespace forms {

enum : int { vbUser = 0, vbTwips = 1, vbPixels = 3 };

class Surface : public Container {
public:
    int ScaleMode() const { return scaleMode_; }
    void SetScaleMode(int mode);
    double TwipsPerUnit() const override { return scaleMode_ == vbPixels ? 15.0 : 1.0; }
    // The inner size in the surface's units.
    double ScaleWidth() const;
    double ScaleHeight() const;

    OLE_COLOR BackColor() const { return backColor_; }
    // Clears the drawing, as a new background colour does.
    void SetBackColor(OLE_COLOR color);
    OLE_COLOR ForeColor() const { return foreColor_; }
    void SetForeColor(OLE_COLOR color) { foreColor_ = color; }
    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    void SetCurrentX(double x) { currentX_ = x; }
    void SetCurrentY(double y) { currentY_ = y; }

    // The background picture; Cls shows it again over the back colour.
    const QPixmap& Picture() const { return picture_; }
    void SetPicture(const QPixmap& picture);

    void Cls();
    // Line (x1, y1)-(x2, y2), color: the end point is not drawn.
    void Line(double x1, double y1, double x2, double y2, std::optional<OLE_COLOR> color = std::nullopt);
    // Line ..., B (outline) and BF (filled): corners included.
    void Box(double x1, double y1, double x2, double y2, std::optional<OLE_COLOR> color = std::nullopt,
             bool filled = false);
    void PSet(double x, double y, std::optional<OLE_COLOR> color = std::nullopt);
    // The colour at a point; -1 outside the surface.
    long Point(double x, double y) const;
    // Text at CurrentX, CurrentY in ForeColor; CurrentY moves to the next line.
    void Print(std::string_view text);
    // Segments in device pixels in ForeColor, each without its end point.
    void PolyPolyline(const std::vector<QPoint>& points, const std::vector<int>& counts);

    // What is drawn, in device pixels.
    const QImage& Image() const { return drawing(); }

protected:
    Surface() = default;
    // The widget the drawing belongs to; call once it exists.
    void BindSurface(QWidget* widget);
    // For the widget's paint event.
    void PaintSurface(QPainter& painter) const;
    // For the widget's resize event: the drawing grows, keeping what is drawn.
    void ResizeSurface();

private:
    // The drawing, made from the back colour when the surface is blank.
    const QImage& drawing() const;
    QImage& canvas()
    {
        drawing();
        return image_;
    }
    QSize drawingSize() const { return blank_ ? blankSize_ : image_.size(); }
    int toPx(double units) const;
    void plot(int x, int y, const QColor& c);
    void linePixels(int x0, int y0, int x1, int y1, const QColor& c, bool includeLast);
    void changed();

    QWidget* widget_ = nullptr;
    // While nothing but the back colour is on the surface there is no
    // image: most forms are never drawn on, and a window-sized image costs
    // a page fault per 4 KB at every start.
    mutable QImage image_;
    mutable bool blank_ = false;
    QSize blankSize_;
    QPixmap picture_;
    int scaleMode_ = vbTwips;
    OLE_COLOR backColor_ = vbButtonFace;
    OLE_COLOR foreColor_ = vbButtonText;
    double currentX_ = 0;
    double currentY_ = 0;
};

} // namespace forms
