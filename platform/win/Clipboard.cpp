#include "platform/win/Clipboard.h"

#include "platform/gdi/Surface.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <memory>

namespace win {

namespace {

constexpr DWORD kHeaderBytes = sizeof(BITMAPINFOHEADER);
constexpr DWORD kFileHeaderBytes = 14;
constexpr const char* kBmpMime = "image/bmp";
constexpr const char* kPngMime = "image/png";

struct State {
    bool open = false;
    HWND owner = nullptr;
    // The block the clipboard owns: the last one given to it or made from it.
    HGLOBAL block = nullptr;
};

State& state()
{
    static State s;
    return s;
}

void dropBlock()
{
    if (state().block)
        GlobalFree(state().block);
    state().block = nullptr;
}

QClipboard* clipboard()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return nullptr;
    return QGuiApplication::clipboard();
}

// Where the parts of a packed DIB lie, once it has been checked.
struct Layout {
    BITMAPINFOHEADER header{};
    std::size_t tableBytes = 0;
    std::size_t imageBytes = 0;
};

// A 40-byte header the rest of the library can hold: positive sizes, a
// known depth, no compression (bit fields at 16 and 32 bits) and at most the
// colours of the depth, its table within size bytes.
bool checkHeader(const BYTE* p, std::size_t size, Layout* out)
{
    if (!p || size < kHeaderBytes)
        return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, sizeof h);
    if (h.biSize != kHeaderBytes || h.biWidth <= 0 || h.biHeight <= 0 || h.biPlanes != 1)
        return false;
    const WORD bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    const bool fields = h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32);
    if (h.biCompression != BI_RGB && !fields)
        return false;
    const int colors = bpp <= 8 ? gdi::ColorCount(h) : 0;
    if (colors < 0)
        return false;
    const std::size_t stride = gdi::Surface::StrideFor(h.biWidth, bpp);
    if (stride > gdi::Surface::kMaxBytes / std::size_t(h.biHeight))
        return false;
    out->header = h;
    out->tableBytes = (fields ? 12 : 0) + 4 * std::size_t(colors);
    out->imageBytes = stride * std::size_t(h.biHeight);
    return kHeaderBytes + out->tableBytes <= size;
}

// The same, with the rows directly behind the table.
bool checkPacked(const BYTE* p, std::size_t size, Layout* out)
{
    return checkHeader(p, size, out) && kHeaderBytes + out->tableBytes + out->imageBytes <= size;
}

// The picture as Qt keeps it: indexed up to 8 bits, else RGB.
QImage toImage(const BYTE* p, const Layout& at)
{
    gdi::Surface view;
    const BYTE* bits = p + kHeaderBytes + at.tableBytes;
    if (!view.View(reinterpret_cast<const BITMAPINFO*>(p), bits, DIB_RGB_COLORS, nullptr))
        return {};
    const int w = view.Width(), h = view.Height();
    if (view.Bpp() <= 8) {
        QImage img(w, h, QImage::Format_Indexed8);
        if (img.isNull())
            return {};
        int used = std::max(gdi::ColorCount(at.header), 1);
        for (int y = 0; y < h; ++y) {
            uchar* row = img.scanLine(y);
            for (int x = 0; x < w; ++x) {
                row[x] = uchar(view.Value(x, y));
                used = std::max(used, int(row[x]) + 1);
            }
        }
        QList<QRgb> table;
        for (int i = 0; i < used; ++i) {
            const RGBQUAD& q = view.Colors()[std::size_t(i)];
            table.push_back(qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue));
        }
        img.setColorTable(table);
        return img;
    }
    QImage img(w, h, QImage::Format_RGB32);
    if (img.isNull())
        return {};
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const COLORREF c = view.ColorOf(view.Value(x, y));
            row[x] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
        }
    }
    return img;
}

// A packed DIB of a Qt image: 1 or 8 bits with the image's colours for
// monochrome and indexed images, 24 bits for the others.
HGLOBAL fromImage(const QImage& source)
{
    if (source.isNull())
        return nullptr;
    QImage img;
    WORD bpp;
    if (source.format() == QImage::Format_Mono || source.format() == QImage::Format_MonoLSB) {
        img = source.convertToFormat(QImage::Format_Mono);
        bpp = 1;
    } else if (source.format() == QImage::Format_Indexed8) {
        img = source;
        bpp = 8;
    } else {
        img = source.convertToFormat(QImage::Format_BGR888);
        bpp = 24;
    }
    if (img.isNull())
        return nullptr;
    QList<QRgb> table = bpp <= 8 ? img.colorTable() : QList<QRgb>{};
    if (bpp <= 8 && table.size() > (1 << bpp))
        table.resize(1 << bpp);
    if (bpp == 1)
        while (table.size() < 2)
            table.push_back(table.isEmpty() ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    const std::size_t stride = gdi::Surface::StrideFor(img.width(), bpp);
    if (stride > gdi::Surface::kMaxBytes / std::size_t(img.height()))
        return nullptr;
    const std::size_t tableBytes = 4 * std::size_t(table.size());
    GlobalBlockOwner block(GlobalAlloc(GHND, kHeaderBytes + tableBytes + stride * std::size_t(img.height())));
    if (!block.get())
        return nullptr;
    GlobalLockScope lock(block.get());
    BITMAPINFOHEADER h{};
    h.biSize = kHeaderBytes;
    h.biWidth = img.width();
    h.biHeight = img.height();
    h.biPlanes = 1;
    h.biBitCount = bpp;
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(stride * std::size_t(img.height()));
    h.biClrUsed = DWORD(table.size());
    std::memcpy(lock.get(), &h, sizeof h);
    auto* colors = reinterpret_cast<RGBQUAD*>(lock.get() + kHeaderBytes);
    for (qsizetype i = 0; i < table.size(); ++i)
        colors[i] = RGBQUAD{BYTE(qBlue(table[i])), BYTE(qGreen(table[i])), BYTE(qRed(table[i])), 0};
    BYTE* rows = lock.get() + kHeaderBytes + tableBytes;
    const std::size_t n = std::min(stride, std::size_t(img.bytesPerLine()));
    for (int y = 0; y < img.height(); ++y)
        std::memcpy(rows + stride * std::size_t(img.height() - 1 - y), img.constScanLine(y), n);
    return block.release();
}

// An "image/bmp" offer taken as it stands when it holds an uncompressed
// picture in the form the library keeps; null otherwise.
HGLOBAL fromBmpFile(const QByteArray& file)
{
    const auto* p = reinterpret_cast<const BYTE*>(file.constData());
    const std::size_t size = std::size_t(file.size());
    if (size < kFileHeaderBytes || p[0] != 'B' || p[1] != 'M')
        return nullptr;
    const BYTE* info = p + kFileHeaderBytes;
    Layout at;
    if (!checkHeader(info, size - kFileHeaderBytes, &at) || at.header.biCompression != BI_RGB)
        return nullptr;
    // The rows start where the file header says, perhaps behind a gap.
    const std::size_t offBits = DWORD(p[10]) | (DWORD(p[11]) << 8) | (DWORD(p[12]) << 16) | (DWORD(p[13]) << 24);
    const std::size_t headBytes = kHeaderBytes + at.tableBytes;
    if (offBits < kFileHeaderBytes + headBytes || offBits > size || size - offBits < at.imageBytes)
        return nullptr;
    GlobalBlockOwner block(GlobalAlloc(GHND, headBytes + at.imageBytes));
    if (!block.get())
        return nullptr;
    GlobalLockScope lock(block.get());
    std::memcpy(lock.get(), info, headBytes);
    std::memcpy(lock.get() + headBytes, p + offBits, at.imageBytes);
    return block.release();
}

HGLOBAL fromMime(const QMimeData* mime)
{
    if (!mime)
        return nullptr;
    if (mime->hasFormat(kBmpMime)) {
        const QByteArray bytes = mime->data(kBmpMime);
        if (HGLOBAL h = fromBmpFile(bytes))
            return h;
        if (HGLOBAL h = fromImage(QImage::fromData(bytes, "BMP")))
            return h;
    }
    if (mime->hasImage())
        if (HGLOBAL h = fromImage(qvariant_cast<QImage>(mime->imageData())))
            return h;
    for (const QString& format : mime->formats())
        if (format.startsWith("image/"))
            if (HGLOBAL h = fromImage(QImage::fromData(mime->data(format))))
                return h;
    return nullptr;
}

} // namespace

BOOL OpenClipboard(HWND owner)
{
    State& s = state();
    if (!clipboard() || (s.open && s.owner != owner))
        return FALSE;
    s.open = true;
    s.owner = owner;
    return TRUE;
}

BOOL CloseClipboard()
{
    State& s = state();
    if (!s.open)
        return FALSE;
    dropBlock();
    s.open = false;
    s.owner = nullptr;
    return TRUE;
}

BOOL EmptyClipboard()
{
    QClipboard* cb = clipboard();
    if (!state().open || !cb)
        return FALSE;
    dropBlock();
    cb->clear();
    return TRUE;
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL mem)
{
    QClipboard* cb = clipboard();
    if (!state().open || !cb || format != CF_DIB || !mem)
        return nullptr;
    QByteArray bmp;
    QByteArray png;
    {
        GlobalLockScope lock(mem);
        Layout at;
        if (!checkPacked(lock.get(), GlobalSize(mem), &at))
            return nullptr;
        const std::size_t dibBytes = kHeaderBytes + at.tableBytes + at.imageBytes;
        BYTE file[kFileHeaderBytes] = {'B', 'M'};
        const auto put32 = [&](int at32, std::size_t v) {
            for (int i = 0; i < 4; ++i)
                file[at32 + i] = BYTE(v >> (8 * i));
        };
        put32(2, kFileHeaderBytes + dibBytes);
        put32(10, kFileHeaderBytes + kHeaderBytes + at.tableBytes);
        bmp.append(reinterpret_cast<const char*>(file), kFileHeaderBytes);
        bmp.append(reinterpret_cast<const char*>(lock.get()), qsizetype(dibBytes));
        QBuffer out(&png);
        out.open(QIODevice::WriteOnly);
        if (!toImage(lock.get(), at).save(&out, "PNG"))
            return nullptr;
    }
    auto mime = std::make_unique<QMimeData>();
    mime->setData(kBmpMime, bmp);
    mime->setData(kPngMime, png);
    cb->setMimeData(mime.release());
    if (state().block != mem)
        dropBlock();
    state().block = mem;
    return mem;
}

HGLOBAL GetClipboardData(UINT format)
{
    QClipboard* cb = clipboard();
    if (!state().open || !cb || format != CF_DIB)
        return nullptr;
    HGLOBAL h = fromMime(cb->mimeData());
    if (!h)
        return nullptr;
    dropBlock();
    state().block = h;
    return h;
}

} // namespace win
