// The media objects' stored forms: every property save and load of a button
// builds and reads one blob per media member (a picture or sound payload is
// compressed), and every colour change rebuilds a shade table.

#include "buttonlib/media/CBlob.h"
#include "buttonlib/media/CColor.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

class Payload : public CBlob {
public:
    void SerializeEx(CArchive& ar, BOOL bCompressed) override { SerializeByteCount(ar, bCompressed, count); }
    BOOL StoreData(CArchive& ar) override
    {
        ar.Write(bytes.data(), UINT(bytes.size()));
        return TRUE;
    }
    BOOL LoadData(CArchive& ar) override { return ReadExact(ar, count, bytes) ? TRUE : FALSE; }
    std::vector<BYTE> bytes;
    DWORD count = 0;
};

// Half noise, half runs: roughly what a bitmap or a WAVE file compresses like.
std::vector<BYTE> samplePayload(std::size_t size)
{
    std::mt19937 rng(7);
    std::vector<BYTE> b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = (i / 64) % 2 ? BYTE(rng()) : BYTE(i / 512);
    return b;
}

void BM_BlobStore(benchmark::State& state)
{
    Payload p;
    p.bytes = samplePayload(std::size_t(state.range(0)));
    p.count = DWORD(p.bytes.size());
    for (auto _ : state) {
        HGLOBAL h = p.GetBlob();
        benchmark::DoNotOptimize(h);
        GlobalFree(h);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BlobStore)->Arg(64 << 10)->Arg(1 << 20);

void BM_BlobLoad(benchmark::State& state)
{
    Payload p;
    p.bytes = samplePayload(std::size_t(state.range(0)));
    p.count = DWORD(p.bytes.size());
    HGLOBAL stored = p.GetBlob();
    const SIZE_T size = GlobalSize(stored);
    for (auto _ : state) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(h), GlobalLock(stored), size);
        GlobalUnlock(stored);
        GlobalUnlock(h);
        Payload back;
        back.SetBlob(&h);
        benchmark::DoNotOptimize(back.bytes.data());
    }
    GlobalFree(stored);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BlobLoad)->Arg(64 << 10)->Arg(1 << 20);

// The floors: zlib alone packing and unpacking the same bytes.
void BM_ZlibCompress(benchmark::State& state)
{
    const std::vector<BYTE> raw = samplePayload(std::size_t(state.range(0)));
    std::vector<Bytef> packed(compressBound(uLong(raw.size())));
    for (auto _ : state) {
        uLongf size = uLongf(packed.size());
        compress(packed.data(), &size, raw.data(), uLong(raw.size()));
        benchmark::DoNotOptimize(packed.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ZlibCompress)->Arg(64 << 10)->Arg(1 << 20);

void BM_ZlibUncompress(benchmark::State& state)
{
    const std::vector<BYTE> raw = samplePayload(std::size_t(state.range(0)));
    std::vector<Bytef> packed(compressBound(uLong(raw.size())));
    uLongf packedSize = uLongf(packed.size());
    compress(packed.data(), &packedSize, raw.data(), uLong(raw.size()));
    std::vector<Bytef> back(raw.size());
    for (auto _ : state) {
        uLongf size = uLongf(back.size());
        uncompress(back.data(), &size, packed.data(), packedSize);
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ZlibUncompress)->Arg(64 << 10)->Arg(1 << 20);

void BM_BuildShades(benchmark::State& state)
{
    CColor c;
    COLORREF base = 0;
    const short coloration = short(state.range(0));
    for (auto _ : state) {
        c.Set(base, 4, coloration);
        base = (base + 0x030507) & 0xFFFFFF;
        benchmark::DoNotOptimize(c.GetShade(17));
    }
}
BENCHMARK(BM_BuildShades)->Arg(0)->Arg(1);

} // namespace

int main(int argc, char** argv)
{
    return bench::RunWithRatios(argc, argv,
                                {{"BM_BlobStore", "BM_ZlibCompress", "blob store / zlib compress"},
                                 {"BM_BlobLoad", "BM_ZlibUncompress", "blob load / zlib uncompress"}});
}
