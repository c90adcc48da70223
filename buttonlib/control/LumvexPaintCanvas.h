#pragma once
// A top-down 32-bit bitmap in a memory DC, what a button window paints
// into: the paint's tests and its benchmark draw the button's owner-draw
// item onto it and read the pixels back.

#include "buttonlib/control/CLumvexCtrl.h"

#include <QImage>

#include <algorithm>

namespace lumvextest {

class Canvas {
public:
    Canvas(int w, int h, QRgb fill = qRgb(1, 2, 3)) : w_(w), h_(h)
    {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        auto* p = static_cast<QRgb*>(bits_);
        std::fill(p, p + std::size_t(w) * h, fill);
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Paints the button's item with the state into the bitmap.
    void Draw(CLumvexCtrl& button, UINT state)
    {
        win::DRAWITEMSTRUCT item;
        item.itemState = state;
        item.hDC = dc_;
        item.rcItem = RECT{0, 0, w_, h_};
        button.OnOcmDrawItem(&item);
    }
    QImage Paint(CLumvexCtrl& button, UINT state)
    {
        Draw(button, state);
        return Image();
    }
    QImage Image() const
    {
        return QImage(static_cast<const uchar*>(bits_), w_, h_, w_ * 4, QImage::Format_RGB32).copy();
    }

private:
    int w_, h_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

} // namespace lumvextest
