// The animation object's GIF decoder against giflib on the same 100-image
// 320 x 240 file: both decode every image, compose it onto a 24-bit canvas
// the size of the first image and keep a copy of the canvas per frame.

#include "RatioReporter.h"

#include "buttonlib/media/CAnim.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kW = 320, kH = 240, kImages = 100;

struct Sink {
    std::vector<GifByteType> bytes;
};

int writeTo(GifFileType* gif, const GifByteType* data, int n)
{
    auto* sink = static_cast<Sink*>(gif->UserData);
    sink->bytes.insert(sink->bytes.end(), data, data + n);
    return n;
}

// 100 full-size images of moving stripes over a 256-colour table.
std::vector<BYTE> makeGif()
{
    Sink sink;
    int err = 0;
    GifFileType* gif = EGifOpen(&sink, writeTo, &err);
    std::vector<GifColorType> colors(256);
    for (int i = 0; i < 256; ++i)
        colors[std::size_t(i)] = {GifByteType(i), GifByteType(255 - i), GifByteType(i * 3)};
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    EGifPutScreenDesc(gif, kW, kH, 8, 0, map);
    std::vector<GifPixelType> row(kW);
    for (int f = 0; f < kImages; ++f) {
        EGifPutImageDesc(gif, 0, 0, kW, kH, false, nullptr);
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x)
                row[std::size_t(x)] = GifPixelType(((x + f * 3) / 8 + (y / 6) * 5 + (x * y) % 7) & 0xFF);
            EGifPutLine(gif, row.data(), kW);
        }
    }
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    return std::vector<BYTE>(sink.bytes.begin(), sink.bytes.end());
}

const std::vector<BYTE>& sample()
{
    static const std::vector<BYTE> bytes = makeGif();
    return bytes;
}

void BM_GifDecode_Ours(benchmark::State& state)
{
    const auto& bytes = sample();
    CAnim anim;
    for (auto _ : state) {
        anim.SetData(bytes.data(), int(bytes.size()), FALSE, 0);
        benchmark::DoNotOptimize(anim.GetFrameCount());
    }
}
BENCHMARK(BM_GifDecode_Ours)->Unit(benchmark::kMillisecond);

struct Reader {
    const std::vector<BYTE>* bytes;
    std::size_t at = 0;
};

int readFrom(GifFileType* gif, GifByteType* out, int n)
{
    auto* r = static_cast<Reader*>(gif->UserData);
    const std::size_t k = std::min<std::size_t>(std::size_t(n), r->bytes->size() - r->at);
    std::memcpy(out, r->bytes->data() + r->at, k);
    r->at += k;
    return int(k);
}

void BM_GifDecode_giflib(benchmark::State& state)
{
    const auto& bytes = sample();
    std::vector<std::vector<BYTE>> frames(kImages);
    for (auto _ : state) {
        Reader reader{&bytes};
        int err = 0;
        GifFileType* gif = DGifOpen(&reader, readFrom, &err);
        DGifSlurp(gif);
        const int cw = gif->SavedImages[0].ImageDesc.Width, ch = gif->SavedImages[0].ImageDesc.Height;
        const DWORD stride = DWORD((cw * 3 + 3) & ~3);
        std::vector<BYTE> canvas(std::size_t(stride) * std::size_t(ch));
        for (int i = 0; i < gif->ImageCount && i < kImages; ++i) {
            const SavedImage& img = gif->SavedImages[i];
            const ColorMapObject* map = img.ImageDesc.ColorMap ? img.ImageDesc.ColorMap : gif->SColorMap;
            for (int y = 0; y < img.ImageDesc.Height; ++y) {
                const int dy = img.ImageDesc.Top + y;
                if (dy >= ch)
                    continue;
                BYTE* dst = canvas.data() + std::size_t(ch - 1 - dy) * stride;
                for (int x = 0; x < img.ImageDesc.Width; ++x) {
                    const int dx = img.ImageDesc.Left + x;
                    if (dx >= cw)
                        continue;
                    const GifColorType c = map->Colors[img.RasterBits[y * img.ImageDesc.Width + x]];
                    dst[dx * 3] = c.Blue;
                    dst[dx * 3 + 1] = c.Green;
                    dst[dx * 3 + 2] = c.Red;
                }
            }
            frames[std::size_t(i)] = canvas;
        }
        DGifCloseFile(gif, &err);
        benchmark::DoNotOptimize(frames.data());
    }
}
BENCHMARK(BM_GifDecode_giflib)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter("giflib");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
