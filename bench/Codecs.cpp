// Decoding a 1024 x 1024 picture of each format the library reads, next to
// stb_image decoding the same bytes in the same run (stb_image reads BMP
// without run-length coding, TGA, PGM, PNG and JPEG; not PCX or PICT). The
// pictures are made once by ImageMagick in a temporary folder. The ratios
// (library / stb_image) are printed last.

#include "buttonlib/media/CAnyImageDecoder.h"
#include "buttonlib/media/CGlobalDIB.h"

#include "RatioReporter.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<BYTE>;

struct Sample {
    const char* name;
    const char* format;
    const char* options;
    bool stb;
};

const Sample kSamples[] = {
    {"bmp24", "BMP3", "-type TrueColor", true},
    {"bmp8rle", "BMP3", "-colors 200 -type Palette -compress RLE", false},
    {"tga24", "TGA", "-type TrueColor -compress None", true},
    {"tga24rle", "TGA", "-type TrueColor -compress RLE", true},
    {"pcx24", "PCX", "-type TrueColor", false},
    {"pgm", "PGM", "-depth 8", true},
    {"pict32", "PICT", "-type TrueColor", false},
    {"png24", "PNG", "-define png:color-type=2", true},
    {"png8", "PNG", "-colors 200", true},
    {"jpeg", "JPG", "-quality 90", true},
};

// The files, made on first use.
const std::map<std::string, Bytes>& files()
{
    static std::map<std::string, Bytes> out;
    if (!out.empty())
        return out;
    const fs::path dir = fs::temp_directory_path() / ("tallyvane-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string source = (dir / "src.ppm").string();
    // The seed must come before the image it seeds, or every run draws another picture.
    const std::string make = "convert-im6.q16 -seed 7 -size 1024x1024 plasma:fractal -blur 0x1 '" + source + "'";
    if (std::system(make.c_str()) != 0)
        std::fprintf(stderr, "ImageMagick could not make the source picture\n");
    for (const Sample& s : kSamples) {
        const fs::path file = dir / s.name;
        const std::string cmd = std::string("convert-im6.q16 '") + source + "' " + s.options + " " + s.format + ":'" +
                                file.string() + "'";
        if (std::system(cmd.c_str()) != 0)
            std::fprintf(stderr, "ImageMagick could not make %s\n", s.name);
        std::ifstream in(file, std::ios::binary);
        out[s.name] = Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    fs::remove_all(dir);
    return out;
}

void BM_Library(benchmark::State& state, const char* name)
{
    const Bytes& data = files().at(name);
    CAnyImageDecoder decoder;
    for (auto _ : state) {
        CGlobalDIB bitmap;
        try {
            decoder.MakeBmpFromMemory(data.data(), int(data.size()), &bitmap, 32);
        } catch (const CTextException& e) {
            state.SkipWithError(e.GetMsg());
            break;
        }
        benchmark::DoNotOptimize(bitmap.GetBits());
    }
    state.SetBytesProcessed(state.iterations() * 1024 * 1024 * 4);
}

void BM_StbImage(benchmark::State& state, const char* name)
{
    const Bytes& data = files().at(name);
    for (auto _ : state) {
        int w = 0, h = 0, n = 0;
        stbi_uc* pixels = stbi_load_from_memory(data.data(), int(data.size()), &w, &h, &n, 4);
        if (!pixels) {
            state.SkipWithError(stbi_failure_reason());
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(state.iterations() * 1024 * 1024 * 4);
}

void registerAll()
{
    for (const Sample& s : kSamples) {
        benchmark::RegisterBenchmark((std::string("Decode/") + s.name + "/library").c_str(), BM_Library, s.name)
            ->Unit(benchmark::kMillisecond);
        if (s.stb)
            benchmark::RegisterBenchmark((std::string("Decode/") + s.name + "/stb_image").c_str(), BM_StbImage, s.name)
                ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv)
{
    registerAll();
    std::vector<bench::RatioReporter::Pair> pairs;
    for (const Sample& s : kSamples) {
        if (s.stb)
            pairs.push_back({std::string("Decode/") + s.name + "/library", std::string("Decode/") + s.name + "/stb_image",
                             std::string(s.name) + " library / stb_image"});
    }
    return bench::RunWithRatios(argc, argv, std::move(pairs));
}
