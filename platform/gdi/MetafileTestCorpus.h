#pragma once
// Metafiles for the tests and the fuzz seeds, written with libUEMF's own
// record writers: one or more per record family the player reads, enhanced
// and Windows, placeable and not. Every picture is 160 x 120 pixels except
// the Windows metafile without a placeable header, which fills the
// 1024 x 768 reference screen. Text boxes are listed so that comparisons
// with other renderers can leave them out.

#include <uemf.h>
#include <uwmf.h>

#include <QRect>

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace gdi::testing {

using Bytes = std::vector<unsigned char>;

struct MetafileSample {
    std::string name; // file name, with its extension
    Bytes bytes;
    std::vector<QRect> textBoxes; // pixels of the decoded picture
    // Why the picture is checked by its pixels rather than against another
    // renderer; empty when it is compared.
    std::string handChecked = {};
};

inline constexpr int kCorpusWidth = 160;
inline constexpr int kCorpusHeight = 120;

namespace detail {

inline std::string tempPath(const char* ext)
{
    static int counter = 0;
    return (std::filesystem::temp_directory_path() /
            ("tv_metafile_" + std::to_string(::getpid()) + "_" + std::to_string(++counter) + ext))
        .string();
}

inline Bytes readAndRemove(const std::string& path)
{
    Bytes out;
    {
        std::ifstream in(path, std::ios::binary);
        out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove(path);
    return out;
}

// A DIB of w x h pixels at 24 bits: a red/blue checker of 4-pixel squares
// with a green first row, so that orientation shows.
struct Dib24 {
    PU_BITMAPINFO bmi = nullptr;
    std::vector<char> px;
    Dib24(int w, int h)
    {
        bmi = bitmapinfo_set(bitmapinfoheader_set(w, h, 1, 24, U_BI_RGB, 0, 3780, 3780, 0, 0), nullptr);
        const int stride = ((w * 24 + 31) / 32) * 4;
        px.assign(std::size_t(stride * h), 0);
        for (int y = 0; y < h; ++y) // bottom-up rows
            for (int x = 0; x < w; ++x) {
                const int top = h - 1 - y;
                char* p = px.data() + y * stride + 3 * x;
                if (top == 0) {
                    p[1] = char(0xC0);
                } else if (((x / 4) + (top / 4)) % 2) {
                    p[2] = char(0xE0);
                } else {
                    p[0] = char(0xE0);
                }
            }
    }
    ~Dib24() { std::free(bmi); }
    Dib24(const Dib24&) = delete;
    Dib24& operator=(const Dib24&) = delete;
};

// An 8-bit DIB with a 4-colour table: stripes of its colours.
struct Dib8 {
    std::vector<char> info;
    std::vector<char> px;
    Dib8(int w, int h)
    {
        info.assign(sizeof(U_BITMAPINFOHEADER) + 4 * sizeof(U_RGBQUAD), 0);
        U_BITMAPINFOHEADER hdr = bitmapinfoheader_set(w, h, 1, 8, U_BI_RGB, 0, 3780, 3780, 4, 0);
        std::memcpy(info.data(), &hdr, sizeof hdr);
        const U_RGBQUAD table[4] = {rgbquad_set(255, 200, 0, 0), rgbquad_set(0, 128, 0, 0), rgbquad_set(0, 0, 0, 0),
                                    rgbquad_set(255, 255, 255, 0)};
        std::memcpy(info.data() + sizeof hdr, table, sizeof table);
        const int stride = ((w * 8 + 31) / 32) * 4;
        px.assign(std::size_t(stride * h), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px[std::size_t(y * stride + x)] = char((x / 3) % 4);
    }
    PU_BITMAPINFO bmi() { return reinterpret_cast<PU_BITMAPINFO>(info.data()); }
};

} // namespace detail

// Palette entries as the end record stores them: red, green, blue, flags.
inline std::vector<U_LOGPLTNTRY> PaletteEntries(int count)
{
    std::vector<U_LOGPLTNTRY> out(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const unsigned char e[4] = {static_cast<unsigned char>(i * 37), static_cast<unsigned char>(255 - i),
                                    static_cast<unsigned char>(i * 11), 0};
        std::memcpy(&out[std::size_t(i)], e, 4);
    }
    return out;
}

class EmfBuilder {
public:
    // A picture of w x h pixels on a reference device of 4 pixels per
    // millimetre; frame in hundredths of a millimetre.
    explicit EmfBuilder(int w = kCorpusWidth, int h = kCorpusHeight, U_RECTL frame = U_RECTL{0, 0, -1, -1})
        : path_(detail::tempPath(".emf"))
    {
        emf_start(path_.c_str(), 100000, 100000, &et_);
        emf_htable_create(128, 128, &eht_);
        if (frame.right < frame.left)
            frame = U_RECTL{0, 0, w * 25, h * 25};
        Add(U_EMRHEADER_set(U_RECTL{0, 0, w - 1, h - 1}, frame, nullptr, 0, nullptr, U_SIZEL{1000, 1000},
                            U_SIZEL{250, 250}, 0));
    }
    ~EmfBuilder()
    {
        if (et_)
            emf_free(&et_);
        if (eht_)
            emf_htable_free(&eht_);
    }
    EmfBuilder(const EmfBuilder&) = delete;
    EmfBuilder& operator=(const EmfBuilder&) = delete;

    void Add(char* rec) { emf_append(reinterpret_cast<PU_ENHMETARECORD>(rec), et_, U_REC_FREE); }
    EMFHANDLES* Handles() { return eht_; }

    uint32_t Pen(uint32_t style, int width, U_COLORREF color)
    {
        uint32_t ih = 0;
        Add(createpen_set(&ih, eht_, logpen_set(style, point32_set(width, 0), color)));
        return ih;
    }
    uint32_t ExtPen(uint32_t style, uint32_t width, U_COLORREF color, std::vector<uint32_t> dashes = {})
    {
        uint32_t ih = 0;
        PU_EXTLOGPEN elp = extlogpen_set(style, width, U_BS_SOLID, color, 0, U_NUM_STYLEENTRY(dashes.size()),
                                         dashes.empty() ? nullptr : dashes.data());
        Add(extcreatepen_set(&ih, eht_, nullptr, 0, nullptr, elp));
        std::free(elp);
        return ih;
    }
    uint32_t Brush(uint32_t style, U_COLORREF color, uint32_t hatch = 0)
    {
        uint32_t ih = 0;
        Add(createbrushindirect_set(&ih, eht_, logbrush_set(style, color, int32_t(hatch))));
        return ih;
    }
    uint32_t Font(int height, int weight, int escapement, const char* face = "DejaVu Sans")
    {
        uint16_t* wface = U_Utf8ToUtf16le(face, 0, nullptr);
        U_LOGFONT lf = logfont_set(height, 0, escapement, escapement, weight, 0, 0, 0, U_ANSI_CHARSET, 0, 0, 0, 0, wface);
        std::free(wface);
        uint32_t ih = 0;
        Add(extcreatefontindirectw_set(&ih, eht_, reinterpret_cast<const char*>(&lf), nullptr));
        return ih;
    }
    void Select(uint32_t ih) { Add(selectobject_set(ih, eht_)); }
    void Delete(uint32_t& ih) { Add(deleteobject_set(&ih, eht_)); }

    Bytes Finish(const std::vector<U_LOGPLTNTRY>& palette = {})
    {
        Add(U_EMREOF_set(U_CBPLENTRIES(palette.size()), palette.empty() ? nullptr : const_cast<PU_LOGPLTNTRY>(palette.data()),
                         et_));
        emf_finish(et_, eht_);
        emf_free(&et_);
        emf_htable_free(&eht_);
        return detail::readAndRemove(path_);
    }

private:
    std::string path_;
    EMFTRACK* et_ = nullptr;
    EMFHANDLES* eht_ = nullptr;
};

class WmfBuilder {
public:
    // Window of w x h units; a placeable file has 96 units to the inch, so
    // one unit is one pixel of the picture.
    WmfBuilder(int w, int h, bool placeable) : path_(detail::tempPath(".wmf"))
    {
        wmf_start(path_.c_str(), 100000, 100000, &wt_);
        wmf_htable_create(128, 128, &wht_);
        U_PAIRF size{float(w) / 96.0f, float(h) / 96.0f};
        wmf_header_append(reinterpret_cast<U_METARECORD*>(U_WMRHEADER_set(placeable ? &size : nullptr, 96)), wt_,
                          U_REC_FREE);
        Add(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC));
        Add(U_WMRSETWINDOWORG_set(point16_set(0, 0)));
        Add(U_WMRSETWINDOWEXT_set(point16_set(int16_t(w), int16_t(h))));
        // The whole window drawn first: a renderer that fits the picture to
        // what is drawn sees the whole window.
        uint32_t pen = Pen(U_PS_SOLID, 1, colorref3_set(255, 255, 255));
        uint32_t brush = Brush(U_BS_SOLID, colorref3_set(255, 255, 255));
        Add(U_WMRRECTANGLE_set(U_RECT16{0, 0, int16_t(w), int16_t(h)}));
        Delete(pen);
        Delete(brush);
    }
    ~WmfBuilder()
    {
        if (wt_)
            wmf_free(&wt_);
        if (wht_)
            wmf_htable_free(&wht_);
    }
    WmfBuilder(const WmfBuilder&) = delete;
    WmfBuilder& operator=(const WmfBuilder&) = delete;

    void Add(char* rec) { wmf_append(reinterpret_cast<U_METARECORD*>(rec), wt_, U_REC_FREE); }

    // Objects are made and selected at once, as most writers do.
    uint32_t Pen(uint16_t style, uint16_t width, U_COLORREF color)
    {
        uint32_t ih = 0;
        Add(wcreatepenindirect_set(&ih, wht_, U_PEN_set(style, width, color)));
        Add(wselectobject_set(ih, wht_));
        return ih;
    }
    uint32_t Brush(uint16_t style, U_COLORREF color, uint16_t hatch = 0)
    {
        uint32_t ih = 0;
        Add(wcreatebrushindirect_set(&ih, wht_, U_WLOGBRUSH_set(style, color, hatch)));
        Add(wselectobject_set(ih, wht_));
        return ih;
    }
    uint32_t Font(int16_t height, int16_t weight, int16_t escapement)
    {
        char face[] = "DejaVu Sans";
        U_FONT* f = U_FONT_set(height, 0, escapement, escapement, weight, 0, 0, 0, U_ANSI_CHARSET, 0, 0, 0, 0, face);
        uint32_t ih = 0;
        Add(wcreatefontindirect_set(&ih, wht_, f));
        std::free(f);
        Add(wselectobject_set(ih, wht_));
        return ih;
    }
    uint32_t Palette(int count)
    {
        std::vector<char> block(4 + 4 * std::size_t(count));
        const uint16_t head[2] = {0x300, uint16_t(count)};
        std::memcpy(block.data(), head, 4);
        const auto entries = PaletteEntries(count);
        std::memcpy(block.data() + 4, entries.data(), 4 * std::size_t(count));
        uint32_t ih = 0;
        Add(wcreatepalette_set(&ih, wht_, reinterpret_cast<U_PALETTE*>(block.data())));
        return ih;
    }
    void Select(uint32_t ih) { Add(wselectobject_set(ih, wht_)); }
    void Delete(uint32_t& ih) { Add(wdeleteobject_set(&ih, wht_)); }
    WMFHANDLES* Handles() { return wht_; }

    Bytes Finish()
    {
        Add(U_WMREOF_set());
        wmf_finish(wt_);
        wmf_free(&wt_);
        wmf_htable_free(&wht_);
        return detail::readAndRemove(path_);
    }

private:
    std::string path_;
    WMFTRACK* wt_ = nullptr;
    WMFHANDLES* wht_ = nullptr;
};

namespace detail {

inline U_COLORREF rgb(int r, int g, int b)
{
    return colorref3_set(uint8_t(r), uint8_t(g), uint8_t(b));
}

inline U_RECTL rc(int l, int t, int r, int b)
{
    return U_RECTL{l, t, r, b};
}

inline U_RECT16 rc16(int l, int t, int r, int b)
{
    return U_RECT16{int16_t(l), int16_t(t), int16_t(r), int16_t(b)};
}

// Shapes of every kind with solid pens and brushes.
inline void emfShapes(EmfBuilder& e)
{
    e.Select(e.Pen(U_PS_SOLID, 2, rgb(0, 0, 128)));
    e.Select(e.Brush(U_BS_SOLID, rgb(255, 200, 0)));
    e.Add(U_EMRRECTANGLE_set(rc(8, 8, 60, 50)));
    e.Select(e.Brush(U_BS_SOLID, rgb(0, 160, 80)));
    e.Add(U_EMRELLIPSE_set(rc(70, 8, 150, 50)));
    e.Select(e.Brush(U_BS_SOLID, rgb(200, 40, 40)));
    e.Add(U_EMRROUNDRECT_set(rc(8, 60, 60, 110), U_SIZEL{20, 20}));
    e.Add(U_EMRPIE_set(rc(70, 60, 110, 110), point32_set(110, 85), point32_set(90, 60)));
    e.Add(U_EMRCHORD_set(rc(112, 60, 152, 110), point32_set(152, 70), point32_set(112, 100)));
    e.Add(U_EMRARC_set(rc(20, 20, 140, 100), point32_set(140, 60), point32_set(20, 60)));
}

} // namespace detail

// The enhanced corpus: name and bytes of each picture.
inline std::vector<MetafileSample> EmfCorpus()
{
    using namespace detail;
    std::vector<MetafileSample> out;

    for (int count : {0, 16, 256}) {
        EmfBuilder e;
        emfShapes(e);
        out.push_back({"shapes_pal" + std::to_string(count) + ".emf", e.Finish(PaletteEntries(count)), {}});
    }

    { // Lines and polygons, 32- and 16-bit, with the "To" forms and both fill modes.
        EmfBuilder e;
        e.Select(e.Pen(U_PS_SOLID, 3, rgb(0, 0, 0)));
        e.Select(e.Brush(U_BS_SOLID, rgb(80, 120, 255)));
        e.Add(U_EMRMOVETOEX_set(point32_set(5, 5)));
        e.Add(U_EMRLINETO_set(point32_set(60, 20)));
        const U_POINTL line[] = {{5, 30}, {30, 45}, {55, 30}, {80, 45}};
        e.Add(U_EMRPOLYLINE_set(U_RCL_DEF, 4, line));
        const U_POINT16 line16[] = {{90, 5}, {110, 25}, {130, 5}, {150, 25}};
        e.Add(U_EMRPOLYLINE16_set(U_RCL_DEF, 4, line16));
        e.Add(U_EMRMOVETOEX_set(point32_set(90, 40)));
        const U_POINTL lineTo[] = {{120, 40}, {120, 55}};
        e.Add(U_EMRPOLYLINETO_set(U_RCL_DEF, 2, lineTo));
        const U_POINT16 lineTo16[] = {{150, 55}, {150, 40}};
        e.Add(U_EMRPOLYLINETO16_set(U_RCL_DEF, 2, lineTo16));
        const U_POINTL star[] = {{30, 60}, {45, 110}, {5, 78}, {55, 78}, {15, 110}};
        e.Add(U_EMRSETPOLYFILLMODE_set(U_ALTERNATE));
        e.Add(U_EMRPOLYGON_set(U_RCL_DEF, 5, star));
        e.Add(U_EMRSETPOLYFILLMODE_set(U_WINDING));
        const U_POINT16 star16[] = {{85, 60}, {100, 110}, {60, 78}, {110, 78}, {70, 110}};
        e.Add(U_EMRPOLYGON16_set(U_RCL_DEF, 5, star16));
        const uint32_t counts[] = {3, 4};
        const U_POINTL pp[] = {{115, 62}, {155, 62}, {135, 80}, {115, 85}, {155, 85}, {155, 95}, {115, 95}};
        e.Add(U_EMRPOLYPOLYGON_set(U_RCL_DEF, 2, counts, 7, pp));
        const U_POINT16 pp16[] = {{115, 100}, {135, 112}, {155, 100}, {115, 116}, {155, 116}, {155, 118}, {115, 118}};
        e.Add(U_EMRPOLYPOLYLINE16_set(U_RCL_DEF, 2, counts, 7, pp16));
        const U_POINTL bez[] = {{60, 100}, {70, 60}, {100, 140}, {110, 100}};
        e.Add(U_EMRPOLYBEZIER_set(U_RCL_DEF, 4, bez));
        e.Add(U_EMRMOVETOEX_set(point32_set(5, 115)));
        const U_POINT16 bezTo[] = {{20, 100}, {40, 118}, {55, 112}};
        e.Add(U_EMRPOLYBEZIERTO16_set(U_RCL_DEF, 3, bezTo));
        out.push_back({"lines.emf", e.Finish(), {}});
    }

    { // Pens: styles, widths, caps, joins, miter limit, user dashes.
        EmfBuilder e;
        const uint32_t caps[] = {U_PS_ENDCAP_ROUND, U_PS_ENDCAP_SQUARE, U_PS_ENDCAP_FLAT};
        for (int i = 0; i < 3; ++i) {
            e.Select(e.ExtPen(U_PS_GEOMETRIC | U_PS_SOLID | caps[i], 8, rgb(200, 0, 0)));
            e.Add(U_EMRMOVETOEX_set(point32_set(20, 45 + 12 * i)));
            e.Add(U_EMRLINETO_set(point32_set(70, 45 + 12 * i)));
        }
        const uint32_t joins[] = {U_PS_JOIN_ROUND, U_PS_JOIN_BEVEL, U_PS_JOIN_MITER};
        e.Add(U_EMRSETMITERLIMIT_set(10));
        for (int i = 0; i < 3; ++i) {
            e.Select(e.ExtPen(U_PS_GEOMETRIC | U_PS_SOLID | U_PS_ENDCAP_FLAT | joins[i], 6, rgb(0, 100, 0)));
            const U_POINTL v[] = {{85 + 25 * i, 70}, {95 + 25 * i, 45}, {105 + 25 * i, 70}};
            e.Add(U_EMRPOLYLINE_set(U_RCL_DEF, 3, v));
        }
        e.Select(e.ExtPen(U_PS_GEOMETRIC | U_PS_USERSTYLE | U_PS_ENDCAP_FLAT, 4, rgb(0, 0, 200), {12, 4, 4, 4}));
        e.Add(U_EMRMOVETOEX_set(point32_set(5, 90)));
        e.Add(U_EMRLINETO_set(point32_set(155, 90)));
        e.Select(e.Pen(U_PS_SOLID, 5, rgb(120, 0, 120)));
        e.Add(U_EMRMOVETOEX_set(point32_set(5, 108)));
        e.Add(U_EMRLINETO_set(point32_set(155, 108)));
        out.push_back({"pens.emf", e.Finish(), {}});
    }

    { // One-pixel pens of each style, on an opaque and a transparent background.
        EmfBuilder e;
        const uint32_t styles[] = {U_PS_SOLID, U_PS_DASH, U_PS_DOT, U_PS_DASHDOT, U_PS_DASHDOTDOT};
        e.Add(U_EMRSETBKCOLOR_set(rgb(255, 0, 0)));
        for (int i = 0; i < 5; ++i) {
            e.Add(U_EMRSETBKMODE_set(U_TRANSPARENT));
            e.Select(e.Pen(styles[i], 1, rgb(0, 0, 0)));
            e.Add(U_EMRMOVETOEX_set(point32_set(5, 10 + 10 * i)));
            e.Add(U_EMRLINETO_set(point32_set(155, 10 + 10 * i)));
            e.Add(U_EMRSETBKMODE_set(U_OPAQUE));
            e.Add(U_EMRMOVETOEX_set(point32_set(5, 65 + 10 * i)));
            e.Add(U_EMRLINETO_set(point32_set(155, 65 + 10 * i)));
        }
        out.push_back({"dashes.emf", e.Finish(), {}, "the reference renderer draws dashed one-pixel pens solid"});
    }

    { // Brushes: solid, hatched (opaque and transparent background), null, DIB pattern.
        EmfBuilder e;
        e.Select(e.Pen(U_PS_SOLID, 1, rgb(0, 0, 0)));
        e.Add(U_EMRSETBKCOLOR_set(rgb(255, 255, 180)));
        for (int i = 0; i < 6; ++i) {
            e.Add(U_EMRSETBKMODE_set(i < 3 ? U_OPAQUE : U_TRANSPARENT));
            e.Select(e.Brush(U_BS_HATCHED, rgb(0, 0, 160), uint32_t(i)));
            e.Add(U_EMRRECTANGLE_set(rc(4 + 26 * i, 4, 28 + 26 * i, 50)));
        }
        e.Select(e.Brush(U_BS_SOLID, rgb(250, 120, 0)));
        e.Add(U_EMRRECTANGLE_set(rc(4, 56, 50, 116)));
        e.Select(U_NULL_BRUSH);
        e.Add(U_EMRELLIPSE_set(rc(20, 64, 70, 110)));
        Dib24 dib(8, 8);
        uint32_t ih = 0;
        e.Add(createdibpatternbrushpt_set(&ih, e.Handles(), U_DIB_RGB_COLORS, dib.bmi, uint32_t(dib.px.size()), dib.px.data()));
        e.Select(ih);
        e.Add(U_EMRELLIPSE_set(rc(80, 56, 156, 116)));
        e.Select(e.Brush(U_BS_HATCHED, rgb(200, 0, 0), U_HS_CROSS));
        e.Add(U_EMRBITBLT_set(U_RCL_DEF, point32_set(60, 100), point32_set(18, 16), point32_set(0, 0),
                              xform_set(1, 0, 0, 1, 0, 0), rgb(255, 255, 255), U_DIB_RGB_COLORS, U_PATCOPY, nullptr, 0,
                              nullptr));
        out.push_back({"brushes.emf", e.Finish(), {}, "hatch spacing and pattern phase are each renderer's own"});
    }

    { // Mapping modes, window and viewport (set, offset, scale), world transforms.
        EmfBuilder e;
        e.Select(e.Pen(U_PS_SOLID, 0, rgb(0, 0, 0)));
        e.Select(e.Brush(U_BS_SOLID, rgb(0, 150, 200)));
        e.Add(U_EMRSAVEDC_set());
        e.Add(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC));
        e.Add(U_EMRSETWINDOWORGEX_set(point32_set(-100, -100)));
        e.Add(U_EMRSETWINDOWEXTEX_set(U_SIZEL{1000, 1000}));
        e.Add(U_EMRSETVIEWPORTORGEX_set(point32_set(4, 4)));
        e.Add(U_EMRSETVIEWPORTEXTEX_set(U_SIZEL{70, 50}));
        e.Add(U_EMRRECTANGLE_set(rc(0, 0, 500, 500)));
        e.Add(U_EMRSCALEWINDOWEXTEX_set(1, 2, 1, 2));
        e.Select(e.Brush(U_BS_SOLID, rgb(220, 0, 120)));
        e.Add(U_EMRELLIPSE_set(rc(0, 0, 200, 200)));
        e.Add(U_EMRSCALEVIEWPORTEXTEX_set(1, 2, 1, 1));
        e.Add(U_EMRRECTANGLE_set(rc(-100, 300, 0, 400)));
        e.Add(U_EMRRESTOREDC_set(-1));
        e.Add(U_EMRSAVEDC_set());
        // Tenths of a millimetre, y up: 4 pixels per millimetre.
        e.Add(U_EMRSETMAPMODE_set(U_MM_LOMETRIC));
        e.Add(U_EMRSETVIEWPORTORGEX_set(point32_set(80, 60)));
        e.Select(e.Brush(U_BS_SOLID, rgb(60, 180, 60)));
        e.Add(U_EMRRECTANGLE_set(rc(0, 0, 150, 120)));
        e.Add(U_EMRRESTOREDC_set(1));
        e.Add(U_EMRSETWORLDTRANSFORM_set(xform_set(0.8660254f, 0.5f, -0.5f, 0.8660254f, 40, 70)));
        e.Select(e.Brush(U_BS_SOLID, rgb(240, 180, 0)));
        e.Add(U_EMRRECTANGLE_set(rc(0, 0, 30, 20)));
        e.Add(U_EMRMODIFYWORLDTRANSFORM_set(xform_set(1, 0, 0, 1, 0, 0), U_MWT_IDENTITY));
        e.Add(U_EMRMODIFYWORLDTRANSFORM_set(xform_set(2, 0, 0, 1, 100, 90), U_MWT_RIGHTMULTIPLY));
        e.Add(U_EMRELLIPSE_set(rc(0, 0, 25, 25)));
        out.push_back({"mapping.emf", e.Finish(), {},
                       "the reference renderer scales window and viewport extents the other way, draws MM_LOMETRIC at "
                       "another scale and leaves world-transformed shapes out"});
    }

    { // Paths: figures closed and open, fill, stroke, both, clip to path.
        EmfBuilder e;
        e.Select(e.ExtPen(U_PS_GEOMETRIC | U_PS_SOLID | U_PS_ENDCAP_FLAT | U_PS_JOIN_MITER, 3, rgb(0, 0, 0)));
        e.Select(e.Brush(U_BS_SOLID, rgb(255, 150, 150)));
        e.Add(U_EMRBEGINPATH_set());
        e.Add(U_EMRMOVETOEX_set(point32_set(10, 10)));
        e.Add(U_EMRLINETO_set(point32_set(60, 10)));
        e.Add(U_EMRLINETO_set(point32_set(35, 50)));
        e.Add(U_EMRCLOSEFIGURE_set());
        e.Add(U_EMRENDPATH_set());
        e.Add(U_EMRSTROKEANDFILLPATH_set(U_RCL_DEF));
        e.Add(U_EMRBEGINPATH_set());
        e.Add(U_EMRELLIPSE_set(rc(70, 10, 110, 50)));
        e.Add(U_EMRENDPATH_set());
        e.Add(U_EMRFILLPATH_set(U_RCL_DEF));
        e.Add(U_EMRBEGINPATH_set());
        e.Add(U_EMRMOVETOEX_set(point32_set(120, 10)));
        const U_POINTL bz[] = {{130, 60}, {150, 0}, {155, 50}};
        e.Add(U_EMRPOLYBEZIERTO_set(U_RCL_DEF, 3, bz));
        e.Add(U_EMRENDPATH_set());
        e.Add(U_EMRSTROKEPATH_set(U_RCL_DEF));
        e.Add(U_EMRSETPOLYFILLMODE_set(U_WINDING));
        e.Add(U_EMRBEGINPATH_set());
        const U_POINTL star[] = {{80, 62}, {100, 116}, {50, 80}, {110, 80}, {60, 116}};
        e.Add(U_EMRPOLYGON_set(U_RCL_DEF, 5, star));
        e.Add(U_EMRENDPATH_set());
        e.Add(U_EMRFILLPATH_set(U_RCL_DEF));
        out.push_back({"paths.emf", e.Finish(), {}});
    }

    { // Clipping: intersect, exclude, select a region, offset; saved and restored.
        EmfBuilder e;
        e.Select(U_NULL_PEN);
        e.Add(U_EMRSAVEDC_set());
        e.Add(U_EMRINTERSECTCLIPRECT_set(rc(10, 10, 150, 60)));
        e.Add(U_EMREXCLUDECLIPRECT_set(rc(40, 20, 80, 40)));
        e.Select(e.Brush(U_BS_SOLID, rgb(0, 180, 120)));
        e.Add(U_EMRRECTANGLE_set(rc(0, 0, 160, 120)));
        e.Add(U_EMRRESTOREDC_set(-1));
        e.Add(U_EMRSELECTOBJECT_set(U_BLACK_BRUSH));
        e.Add(U_EMRRECTANGLE_set(rc(120, 90, 150, 115)));
        out.push_back({"clip.emf", e.Finish(), {}});
    }

    { // Clipping to a region (offset afterwards) and to a path.
        EmfBuilder e;
        e.Select(U_NULL_PEN);
        e.Add(U_EMRSAVEDC_set());
        const U_RECTL rects[] = {{10, 10, 50, 50}, {60, 20, 100, 40}};
        PU_RGNDATA rgn = rgndata_set(rgndataheader_set(2, rc(10, 10, 100, 50)), const_cast<PU_RECTL>(rects));
        e.Add(U_EMREXTSELECTCLIPRGN_set(U_RGN_COPY, rgn));
        std::free(rgn);
        e.Add(U_EMROFFSETCLIPRGN_set(point32_set(5, 2)));
        e.Select(e.Brush(U_BS_SOLID, rgb(200, 0, 200)));
        e.Add(U_EMRRECTANGLE_set(rc(0, 0, 160, 60)));
        e.Add(U_EMRRESTOREDC_set(-1));
        e.Add(U_EMRSAVEDC_set());
        e.Add(U_EMRBEGINPATH_set());
        e.Add(U_EMRELLIPSE_set(rc(20, 60, 140, 116)));
        e.Add(U_EMRENDPATH_set());
        e.Add(U_EMRSELECTCLIPPATH_set(U_RGN_COPY));
        e.Select(e.Brush(U_BS_SOLID, rgb(0, 90, 200)));
        e.Add(U_EMRRECTANGLE_set(rc(0, 60, 80, 120)));
        e.Add(U_EMRRESTOREDC_set(-1));
        e.Add(U_EMRSELECTOBJECT_set(U_BLACK_BRUSH));
        e.Add(U_EMRRECTANGLE_set(rc(150, 100, 160, 120)));
        out.push_back({"regions.emf", e.Finish(), {}, "the reference renderer draws no region or path clipping"});
    }

    { // Bitmaps: StretchDIBits at 24 and 8 bits, BitBlt, StretchBlt, SetDIBitsToDevice, pattern blits.
        EmfBuilder e;
        Dib24 dib(16, 12);
        const uint32_t cb = uint32_t(dib.px.size());
        e.Add(U_EMRSTRETCHDIBITS_set(U_RCL_DEF, point32_set(4, 4), point32_set(48, 36), point32_set(0, 0),
                                     point32_set(16, 12), U_DIB_RGB_COLORS, U_SRCCOPY, dib.bmi, cb, dib.px.data()));
        Dib8 dib8(12, 10);
        e.Add(U_EMRSTRETCHDIBITS_set(U_RCL_DEF, point32_set(60, 4), point32_set(36, 30), point32_set(0, 0),
                                     point32_set(12, 10), U_DIB_RGB_COLORS, U_SRCCOPY, dib8.bmi(), uint32_t(dib8.px.size()),
                                     dib8.px.data()));
        e.Add(U_EMRBITBLT_set(U_RCL_DEF, point32_set(110, 4), point32_set(16, 12), point32_set(0, 0),
                              xform_set(1, 0, 0, 1, 0, 0), rgb(255, 255, 255), U_DIB_RGB_COLORS, U_SRCCOPY, dib.bmi, cb,
                              dib.px.data()));
        e.Add(U_EMRSTRETCHBLT_set(U_RCL_DEF, point32_set(110, 24), point32_set(40, 30), point32_set(0, 0),
                                  point32_set(16, 12), xform_set(1, 0, 0, 1, 0, 0), rgb(255, 255, 255), U_DIB_RGB_COLORS,
                                  U_SRCCOPY, dib.bmi, cb, dib.px.data()));
        e.Add(U_EMRSETDIBITSTODEVICE_set(U_RCL_DEF, point32_set(10, 60), point32_set(0, 0), point32_set(16, 12),
                                         U_DIB_RGB_COLORS, 0, 12, dib.bmi, cb, dib.px.data()));
        e.Select(e.Brush(U_BS_SOLID, rgb(0, 0, 200)));
        e.Add(U_EMRBITBLT_set(U_RCL_DEF, point32_set(40, 60), point32_set(50, 20), point32_set(0, 0),
                              xform_set(1, 0, 0, 1, 0, 0), rgb(255, 255, 255), U_DIB_RGB_COLORS, U_PATCOPY, nullptr, 0,
                              nullptr));
        out.push_back({"bitmaps.emf", e.Finish(), {}});
    }

    { // Fonts and text: spacing arrays, alignment, colours, background modes, both string kinds.
        EmfBuilder e;
        std::vector<QRect> boxes;
        e.Select(e.Font(-16, 400, 0));
        e.Add(U_EMRSETTEXTCOLOR_set(rgb(0, 0, 160)));
        e.Add(U_EMRSETBKMODE_set(U_TRANSPARENT));
        e.Add(U_EMRSETTEXTALIGN_set(U_TA_LEFT | U_TA_TOP));
        auto text = [&](int x, int y, const char* s, uint32_t opts, bool withDx, bool wide) {
            size_t n = 0;
            uint16_t* w = U_Utf8ToUtf16le(s, 0, &n);
            std::vector<uint32_t> dx(n, 11);
            uint32_t* natural = dx_set(-16, 400, uint32_t(n));
            char* t = emrtext_set(point32_set(x, y), U_NUM_STR(n), wide ? 2 : 1,
                                  wide ? static_cast<void*>(w) : const_cast<char*>(s), opts | U_ETO_NO_RECT, U_RCL_DEF,
                                  withDx ? dx.data() : natural);
            std::free(natural);
            e.Add(wide ? U_EMREXTTEXTOUTW_set(U_RCL_DEF, U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(t))
                       : U_EMREXTTEXTOUTA_set(U_RCL_DEF, U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(t)));
            std::free(t);
            std::free(w);
        };
        text(6, 6, "Lease", 0, true, true);
        boxes.push_back(QRect(4, 4, 62, 22));
        e.Add(U_EMRSETBKMODE_set(U_OPAQUE));
        e.Add(U_EMRSETBKCOLOR_set(rgb(255, 255, 0)));
        e.Add(U_EMRSETTEXTALIGN_set(U_TA_RIGHT | U_TA_BASELINE));
        e.Select(e.Font(-14, 700, 0));
        text(154, 50, "Rent 12", 0, false, false);
        boxes.push_back(QRect(70, 30, 90, 26));
        e.Add(U_EMRSETTEXTALIGN_set(U_TA_CENTER | U_TA_BOTTOM));
        e.Add(U_EMRSETTEXTCOLOR_set(rgb(200, 0, 0)));
        e.Select(e.Font(-12, 400, 0));
        text(80, 110, "Quorvel", 0, false, true);
        boxes.push_back(QRect(30, 88, 100, 26));
        e.Select(U_BLACK_PEN);
        e.Add(U_EMRMOVETOEX_set(point32_set(0, 70)));
        e.Add(U_EMRLINETO_set(point32_set(160, 70)));
        out.push_back({"text.emf", e.Finish(), boxes});
    }

    { // Objects: stock objects, deleting and making again in the same slot,
      // indices outside the table, restoring past the saved states.
        EmfBuilder e;
        e.Add(U_EMRSELECTOBJECT_set(U_BLACK_PEN));
        uint32_t b = e.Brush(U_BS_SOLID, rgb(0, 0, 255));
        e.Select(b);
        e.Add(U_EMRRECTANGLE_set(rc(10, 10, 70, 50)));
        e.Add(U_EMRSELECTOBJECT_set(U_LTGRAY_BRUSH));
        e.Delete(b);
        b = e.Brush(U_BS_SOLID, rgb(0, 200, 0));
        e.Select(b);
        e.Add(U_EMRSELECTOBJECT_set(5000)); // no such object: ignored
        e.Add(U_EMRELLIPSE_set(rc(80, 10, 150, 50)));
        e.Add(U_EMRRESTOREDC_set(-3)); // nothing saved: ignored
        e.Add(U_EMRSELECTOBJECT_set(U_BLACK_BRUSH));
        e.Add(U_EMRSELECTOBJECT_set(U_NULL_PEN));
        e.Add(U_EMRROUNDRECT_set(rc(20, 60, 140, 110), U_SIZEL{30, 30}));
        e.Add(U_EMRSELECTOBJECT_set(U_WHITE_BRUSH));
        e.Add(U_EMRRECTANGLE_set(rc(40, 70, 120, 100)));
        e.Add(U_EMRSELECTOBJECT_set(U_NULL_BRUSH));
        e.Add(U_EMRSELECTOBJECT_set(U_BLACK_PEN));
        e.Add(U_EMRELLIPSE_set(rc(60, 75, 100, 95)));
        out.push_back({"objects.emf", e.Finish(), {}});
    }

    { // Palette records: a palette made, selected and realised; colours by
      // palette index.
        EmfBuilder e;
        // A palette of three entries: red, a blue-green and black.
        const unsigned char raw[12] = {255, 0, 0, 0, 0, 128, 255, 0, 0, 0, 0, 0};
        uint32_t pal = 0;
        emf_htable_insert(&pal, e.Handles());
        char* rec = static_cast<char*>(std::calloc(1, 16 + sizeof raw));
        const uint32_t head[3] = {U_EMR_CREATEPALETTE, uint32_t(16 + sizeof raw), pal};
        const uint16_t version[2] = {0x300, 3};
        std::memcpy(rec, head, 12);
        std::memcpy(rec + 12, version, 4);
        std::memcpy(rec + 16, raw, sizeof raw);
        e.Add(rec);
        e.Add(U_EMRSELECTPALETTE_set(pal));
        e.Add(U_EMRREALIZEPALETTE_set());
        e.Add(U_EMRSELECTOBJECT_set(U_NULL_PEN));
        e.Select(e.Brush(U_BS_SOLID, colorref4_set(1, 0, 0, 1))); // entry 1
        e.Add(U_EMRRECTANGLE_set(rc(10, 10, 70, 50)));
        e.Select(e.Brush(U_BS_SOLID, colorref4_set(0, 0, 0, 1))); // entry 0
        e.Add(U_EMRRECTANGLE_set(rc(80, 10, 150, 50)));
        e.Select(e.Brush(U_BS_SOLID, colorref4_set(9, 0, 0, 1))); // past the palette: black
        e.Add(U_EMRRECTANGLE_set(rc(10, 60, 70, 110)));
        out.push_back({"palette.emf", e.Finish(), {}, "the reference renderer draws colours by palette index black"});
    }

    { // Comments (EMF+ data among them) and records of unknown kinds are skipped.
        EmfBuilder e;
        e.Select(e.Brush(U_BS_SOLID, rgb(0, 128, 255)));
        const char note[] = "drawn by the tests";
        e.Add(U_EMRCOMMENT_set(sizeof note, note));
        const unsigned char plus[] = {'E', 'M', 'F', '+', 0x01, 0x40, 0x01, 0x00, 0x1C, 0, 0, 0, 0x10, 0, 0, 0,
                                      0x02, 0x10, 0xC0, 0xDB, 0x01, 0, 0, 0, 0x60, 0, 0, 0, 0x60, 0, 0, 0};
        e.Add(U_EMRCOMMENT_set(sizeof plus, reinterpret_cast<const char*>(plus)));
        char* unknown = static_cast<char*>(std::calloc(1, 12));
        const uint32_t unknownHead[3] = {200, 12, 0xDEADBEEF};
        std::memcpy(unknown, unknownHead, 12);
        e.Add(unknown);
        e.Add(U_EMRSETICMMODE_set(2));
        e.Add(U_EMRRECTANGLE_set(rc(20, 20, 140, 100)));
        out.push_back({"comments.emf", e.Finish(), {}, "the reference renderer refuses files with unknown records"});
    }

    { // Raster operations of pens and brushes.
        EmfBuilder e;
        e.Select(U_NULL_PEN);
        e.Select(e.Brush(U_BS_SOLID, rgb(0, 0, 255)));
        e.Add(U_EMRRECTANGLE_set(rc(0, 0, 160, 60)));
        e.Select(e.Brush(U_BS_SOLID, rgb(255, 255, 0)));
        const int rops[] = {U_R2_XORPEN, U_R2_NOT, U_R2_MASKPEN, U_R2_MERGEPEN, U_R2_NOTCOPYPEN, U_R2_BLACK, U_R2_WHITE,
                            U_R2_NOP};
        for (int i = 0; i < 8; ++i) {
            e.Add(U_EMRSETROP2_set(uint32_t(rops[i])));
            e.Add(U_EMRRECTANGLE_set(rc(4 + 19 * i, 20, 20 + 19 * i, 100)));
        }
        out.push_back({"rop2.emf", e.Finish(), {}, "the reference renderer has no raster operations"});
    }
    return out;
}

// The Windows corpus.
inline std::vector<MetafileSample> WmfCorpus()
{
    using namespace detail;
    std::vector<MetafileSample> out;
    const int W = kCorpusWidth, H = kCorpusHeight;

    for (int count : {0, 16, 256}) {
        WmfBuilder w(W, H, true);
        if (count) {
            uint32_t pal = w.Palette(count);
            w.Add(U_WMRSELECTPALETTE_set(uint16_t(pal - 1)));
            w.Add(U_WMRREALIZEPALETTE_set());
        }
        w.Pen(U_PS_SOLID, 2, rgb(0, 0, 128));
        w.Brush(U_BS_SOLID, rgb(255, 200, 0));
        w.Add(U_WMRRECTANGLE_set(rc16(8, 8, 60, 50)));
        w.Brush(U_BS_SOLID, rgb(0, 160, 80));
        w.Add(U_WMRELLIPSE_set(rc16(70, 8, 150, 50)));
        w.Brush(U_BS_SOLID, rgb(200, 40, 40));
        w.Add(U_WMRROUNDRECT_set(20, 20, rc16(8, 60, 60, 110)));
        w.Add(U_WMRPIE_set(point16_set(110, 85), point16_set(90, 60), rc16(70, 60, 110, 110)));
        w.Add(U_WMRCHORD_set(point16_set(152, 70), point16_set(112, 100), rc16(112, 60, 152, 110)));
        w.Add(U_WMRARC_set(point16_set(140, 60), point16_set(20, 60), rc16(20, 20, 140, 100)));
        out.push_back({"shapes_pal" + std::to_string(count) + ".wmf", w.Finish(), {},
                       "the reference renderer leaves ellipses unfilled, draws round rectangles square and pies "
                       "and chords on the other side"});
    }

    { // Not placeable: the window fills the reference screen.
        WmfBuilder w(1024, 768, false);
        w.Pen(U_PS_SOLID, 8, rgb(0, 0, 0));
        w.Brush(U_BS_SOLID, rgb(0, 120, 220));
        w.Add(U_WMRRECTANGLE_set(rc16(100, 100, 600, 500)));
        w.Brush(U_BS_SOLID, rgb(240, 60, 0));
        const U_POINT16 tri[] = {{500, 700}, {950, 700}, {725, 300}};
        w.Add(U_WMRPOLYGON_set(3, tri));
        out.push_back({"screen.wmf", w.Finish(), {}});
    }

    { // Lines, polygons, poly-polygons; pens of each style.
        WmfBuilder w(W, H, true);
        w.Pen(U_PS_SOLID, 3, rgb(0, 0, 0));
        w.Brush(U_BS_SOLID, rgb(80, 120, 255));
        w.Add(U_WMRMOVETO_set(point16_set(5, 5)));
        w.Add(U_WMRLINETO_set(point16_set(60, 20)));
        const U_POINT16 line[] = {{5, 30}, {30, 45}, {55, 30}, {80, 45}};
        w.Add(U_WMRPOLYLINE_set(4, line));
        w.Add(U_WMRSETPOLYFILLMODE_set(U_ALTERNATE));
        const U_POINT16 star[] = {{30, 60}, {45, 110}, {5, 78}, {55, 78}, {15, 110}};
        w.Add(U_WMRPOLYGON_set(5, star));
        w.Add(U_WMRSETPOLYFILLMODE_set(U_WINDING));
        const U_POINT16 star2[] = {{85, 60}, {100, 110}, {60, 78}, {110, 78}, {70, 110}};
        w.Add(U_WMRPOLYGON_set(5, star2));
        const uint16_t counts[] = {3, 4};
        const U_POINT16 pp[] = {{115, 62}, {155, 62}, {135, 80}, {115, 85}, {155, 85}, {155, 95}, {115, 95}};
        w.Add(U_WMRPOLYPOLYGON_set(2, counts, pp));
        const uint16_t styles[] = {U_PS_DASH, U_PS_DOT, U_PS_DASHDOT, U_PS_DASHDOTDOT};
        for (int i = 0; i < 4; ++i) {
            w.Pen(styles[i], 1, rgb(0, 0, 0));
            w.Add(U_WMRMOVETO_set(point16_set(90, int16_t(8 + 7 * i))));
            w.Add(U_WMRLINETO_set(point16_set(155, int16_t(8 + 7 * i))));
        }
        out.push_back({"lines.wmf", w.Finish(), {}});
    }

    { // Brushes (hatched, null, DIB pattern), clipping, saved states, object slots.
        WmfBuilder w(W, H, true);
        w.Pen(U_PS_SOLID, 1, rgb(0, 0, 0));
        w.Add(U_WMRSETBKCOLOR_set(rgb(255, 255, 180)));
        for (int i = 0; i < 6; ++i) {
            w.Add(U_WMRSETBKMODE_set(i < 3 ? U_OPAQUE : U_TRANSPARENT));
            uint32_t b = w.Brush(U_BS_HATCHED, rgb(0, 0, 160), uint16_t(i));
            w.Add(U_WMRRECTANGLE_set(rc16(4 + 26 * i, 4, 28 + 26 * i, 50)));
            w.Delete(b); // the next brush takes the same slot
        }
        out.push_back({"brushes.wmf", w.Finish(), {}, "hatch spacing is each renderer's own"});
    }

    { // Clipping and saved states.
        WmfBuilder w(W, H, true);
        w.Pen(U_PS_SOLID, 1, rgb(0, 0, 0));
        w.Brush(U_BS_SOLID, rgb(0, 170, 90));
        w.Add(U_WMRSAVEDC_set());
        w.Add(U_WMRINTERSECTCLIPRECT_set(rc16(10, 10, 150, 110)));
        w.Add(U_WMREXCLUDECLIPRECT_set(rc16(60, 40, 100, 80)));
        w.Add(U_WMRRECTANGLE_set(rc16(4, 4, 156, 116)));
        w.Add(U_WMRRESTOREDC_set(-1));
        w.Brush(U_BS_NULL, rgb(0, 0, 0));
        w.Pen(U_PS_SOLID, 3, rgb(200, 0, 0));
        w.Add(U_WMRRECTANGLE_set(rc16(60, 40, 100, 80)));
        out.push_back({"clip.wmf", w.Finish(), {}});
    }

    { // A DIB pattern brush; a brush deleted while selected stays in use.
        WmfBuilder w(W, H, true);
        w.Pen(U_PS_SOLID, 1, rgb(0, 0, 0));
        Dib24 dib(8, 8);
        uint32_t ih = 0;
        w.Add(wcreatedibpatternbrush_srcdib_set(&ih, w.Handles(), U_DIB_RGB_COLORS, dib.bmi, uint32_t(dib.px.size()),
                                                dib.px.data()));
        w.Select(ih);
        w.Add(U_WMRRECTANGLE_set(rc16(10, 10, 80, 60)));
        uint32_t b = w.Brush(U_BS_SOLID, rgb(0, 160, 80));
        w.Delete(b);
        w.Add(U_WMRELLIPSE_set(rc16(90, 10, 150, 60)));
        w.Brush(U_BS_SOLID, rgb(250, 200, 0)); // takes the freed slot
        w.Add(U_WMRRECTANGLE_set(rc16(10, 70, 150, 110)));
        out.push_back({"patterns.wmf", w.Finish(), {},
                       "the reference renderer draws no DIB pattern brushes and no brush deleted while selected"});
    }

    { // Mapping: window origin and extent, offset, scale.
        WmfBuilder w(W, H, true);
        w.Pen(U_PS_SOLID, 1, rgb(0, 0, 0));
        w.Brush(U_BS_SOLID, rgb(0, 150, 200));
        w.Add(U_WMRSAVEDC_set());
        w.Add(U_WMRSETWINDOWORG_set(point16_set(-20, -10)));
        w.Add(U_WMRRECTANGLE_set(rc16(0, 0, 40, 30)));
        w.Add(U_WMROFFSETWINDOWORG_set(point16_set(-60, 0)));
        w.Brush(U_BS_SOLID, rgb(220, 0, 120));
        w.Add(U_WMRRECTANGLE_set(rc16(0, 0, 40, 30)));
        w.Add(U_WMRSETWINDOWORG_set(point16_set(0, 0)));
        w.Add(U_WMRSCALEWINDOWEXT_set(point16_set(2, 2), point16_set(1, 1))); // half the window: twice the size
        w.Brush(U_BS_SOLID, rgb(60, 180, 60));
        w.Add(U_WMRRECTANGLE_set(rc16(5, 30, 25, 50)));
        w.Add(U_WMRRESTOREDC_set(-1));
        w.Brush(U_BS_SOLID, rgb(240, 180, 0));
        w.Add(U_WMRRECTANGLE_set(rc16(120, 80, 150, 110)));
        out.push_back({"mapping.wmf", w.Finish(), {}});
    }

    { // Bitmaps: DIB blits, stretched, pattern blits.
        WmfBuilder w(W, H, true);
        Dib24 dib(16, 12);
        const uint32_t cb = uint32_t(dib.px.size());
        w.Add(U_WMRSTRETCHDIB_set(point16_set(4, 4), point16_set(48, 36), point16_set(0, 0), point16_set(16, 12),
                                  U_DIB_RGB_COLORS, U_SRCCOPY, dib.bmi, cb, dib.px.data()));
        w.Add(U_WMRDIBBITBLT_set(point16_set(110, 4), point16_set(16, 12), point16_set(0, 0), U_SRCCOPY, dib.bmi, cb,
                                 dib.px.data()));
        w.Add(U_WMRDIBSTRETCHBLT_set(point16_set(110, 24), point16_set(40, 30), point16_set(0, 0), point16_set(16, 12),
                                     U_SRCCOPY, dib.bmi, cb, dib.px.data()));
        w.Brush(U_BS_SOLID, rgb(0, 0, 200));
        w.Add(U_WMRPATBLT_set(point16_set(40, 60), point16_set(50, 20), U_PATCOPY));
        out.push_back({"bitmaps.wmf", w.Finish(), {}});
    }

    { // Text, with an escape record (a comment) and an unknown record.
        WmfBuilder w(W, H, true);
        std::vector<QRect> boxes;
        w.Font(-16, 400, 0);
        w.Add(U_WMRSETTEXTCOLOR_set(rgb(0, 0, 160)));
        w.Add(U_WMRSETBKMODE_set(U_TRANSPARENT));
        w.Add(U_WMRSETTEXTALIGN_set(U_TA_LEFT | U_TA_TOP));
        char lease[] = "Lease";
        w.Add(U_WMRTEXTOUT_set(point16_set(6, 6), lease));
        boxes.push_back(QRect(4, 4, 62, 22));
        w.Add(U_WMRSETBKMODE_set(U_OPAQUE));
        w.Add(U_WMRSETBKCOLOR_set(rgb(255, 255, 0)));
        w.Add(U_WMRSETTEXTALIGN_set(U_TA_RIGHT | U_TA_BASELINE));
        const char rent[] = "Rent 12";
        int16_t dx[7] = {9, 9, 9, 9, 9, 9, 9};
        w.Add(U_WMREXTTEXTOUT_set(point16_set(154, 50), 7, 0, rent, dx, rc16(0, 0, 0, 0)));
        boxes.push_back(QRect(70, 30, 90, 26));
        const char note[] = "drawn by the tests";
        w.Add(U_WMRESCAPE_set(0x000F, sizeof note, note));
        char* unknown = static_cast<char*>(std::calloc(1, 8));
        const uint16_t unknownRec[4] = {4, 0, 0x00F5, 0};
        std::memcpy(unknown, unknownRec, 8);
        w.Add(unknown);
        w.Pen(U_PS_SOLID, 1, rgb(0, 0, 0));
        w.Add(U_WMRMOVETO_set(point16_set(0, 70)));
        w.Add(U_WMRLINETO_set(point16_set(160, 70)));
        out.push_back({"text.wmf", w.Finish(), boxes});
    }
    return out;
}

} // namespace gdi::testing
