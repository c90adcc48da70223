#include "platform/win/CursorFile.h"

#include <algorithm>

namespace win {

namespace {

constexpr std::size_t kDirectoryHeader = 6;
constexpr std::size_t kDirectoryEntry = 16;
constexpr std::size_t kAniHeader = 36;
constexpr std::size_t kDecodeAttempts = 4;

struct Candidate {
    CursorImageInfo info;
    riff::Bytes image;
    QPoint hotSpot;
};

QPoint clampTo(QPoint p, const QImage& image)
{
    return {std::clamp(p.x(), 0, image.width() - 1), std::clamp(p.y(), 0, image.height() - 1)};
}

struct AniHeader {
    std::uint32_t frames = 0;
    std::uint32_t steps = 0;
    std::uint32_t displayRate = 0;
};

bool readAni(riff::Bytes bytes, CursorFile& out)
{
    riff::Bytes body;
    if (!riff::OpenForm(bytes, "ACON", body))
        return false;
    AniHeader header;
    riff::Bytes rates, sequence, frameList;
    bool haveHeader = false, haveRates = false, haveSequence = false, haveFrames = false;
    riff::ChunkReader chunks(body);
    riff::Chunk chunk;
    while (chunks.Next(chunk)) {
        if (chunk.id == "anih" && !haveHeader) {
            if (chunk.data.size() < kAniHeader)
                return false;
            riff::FieldReader r(chunk.data);
            r.U32();  // header size
            header.frames = r.U32();
            header.steps = r.U32();
            r.Skip(16);  // width, height, bit count, planes: the frames say
            header.displayRate = r.U32();
            haveHeader = true;
        } else if (chunk.id == "rate" && !haveRates) {
            rates = chunk.data;
            haveRates = true;
        } else if (chunk.id == "seq " && !haveSequence) {
            sequence = chunk.data;
            haveSequence = true;
        } else if (!haveFrames && riff::OpenList(chunk, "fram", frameList)) {
            haveFrames = true;
        }
    }
    if (!haveHeader || !haveFrames || header.frames == 0 || header.frames > kMaxCursorFrames)
        return false;

    std::size_t pixels = 0;
    riff::ChunkReader icons(frameList);
    while (out.frames.size() < header.frames && icons.Next(chunk)) {
        if (chunk.id != "icon")
            continue;
        CursorFrame frame;
        if (!ReadIconDirectory(chunk.data, true, frame))
            return false;
        pixels += std::size_t(frame.image.width()) * std::size_t(frame.image.height());
        if (pixels > kMaxCursorPixels)
            return false;
        out.frames.push_back(std::move(frame));
    }
    if (out.frames.size() < header.frames)
        return false;

    if (haveSequence) {
        if (header.steps == 0 || sequence.size() / 4 < header.steps)
            return false;
        for (std::uint32_t i = 0; i < header.steps; ++i) {
            const std::uint32_t frame = riff::Le32(sequence.data() + 4 * i);
            if (frame >= header.frames)
                return false;
            out.steps.push_back(frame);
        }
    } else {
        // Without a sequence every frame is one step, in order.
        for (std::uint32_t i = 0; i < header.frames; ++i)
            out.steps.push_back(i);
    }
    if (haveRates) {
        if (rates.size() / 4 < out.steps.size())
            return false;
        for (std::size_t i = 0; i < out.steps.size(); ++i)
            out.rates.push_back(riff::Le32(rates.data() + 4 * i));
    } else {
        out.rates.assign(out.steps.size(), header.displayRate);
    }
    out.animated = true;
    return true;
}

} // namespace

bool ReadIconDirectory(riff::Bytes bytes, bool allowIcons, CursorFrame& out)
{
    riff::FieldReader r(bytes);
    const std::uint16_t reserved = r.U16();
    const std::uint16_t type = r.U16();
    const std::size_t count = r.U16();
    if (r.Failed() || reserved != 0 || count == 0 || (type != 2 && !(allowIcons && type == 1)))
        return false;
    if (kDirectoryHeader + count * kDirectoryEntry > bytes.size())
        return false;

    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = bytes.data() + kDirectoryHeader + i * kDirectoryEntry;
        const std::size_t size = riff::Le32(e + 8);
        const std::size_t offset = riff::Le32(e + 12);
        if (offset > bytes.size() || size > bytes.size() - offset)
            continue;
        Candidate c;
        c.image = bytes.subspan(offset, size);
        if (!PeekCursorImage(c.image, c.info))
            continue;
        // A cursor entry keeps its hot spot where an icon keeps planes and depth.
        c.hotSpot = type == 2 ? QPoint(riff::Le16(e + 4), riff::Le16(e + 6))
                              : QPoint(c.info.width / 2, c.info.height / 2);
        candidates.push_back(c);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return PreferCursorImage(a.info, b.info); });
    // An entry whose pixels do not decode gives way to the next best, a few
    // times: a hostile directory may point every entry at the same bad bytes.
    if (candidates.size() > kDecodeAttempts)
        candidates.resize(kDecodeAttempts);
    for (const Candidate& c : candidates) {
        QImage image = DecodeCursorImage(c.image);
        if (image.isNull())
            continue;
        out.hotSpot = clampTo(c.hotSpot, image);
        out.image = std::move(image);
        return true;
    }
    return false;
}

namespace {

void setSingleFrame(CursorFile& out, CursorFrame frame)
{
    out.frames.push_back(std::move(frame));
    out.steps.push_back(0);
    out.rates.push_back(0);
}

} // namespace

bool ReadCursorResource(riff::Bytes bytes, bool icon, CursorFile& out)
{
    out = CursorFile{};
    QPoint hotSpot;
    if (!icon) {
        if (bytes.size() < 4)
            return false;
        hotSpot = QPoint(riff::Le16(bytes.data()), riff::Le16(bytes.data() + 2));
        bytes = bytes.subspan(4);
    }
    QImage image = DecodeCursorImage(bytes);
    if (image.isNull())
        return false;
    if (icon)
        hotSpot = QPoint(image.width() / 2, image.height() / 2);
    hotSpot = clampTo(hotSpot, image);
    setSingleFrame(out, {std::move(image), hotSpot});
    return true;
}

bool ReadCursorFile(riff::Bytes bytes, CursorFile& out)
{
    out = CursorFile{};
    if (bytes.size() >= 4 && std::equal(bytes.begin(), bytes.begin() + 4, "RIFF")) {
        if (readAni(bytes, out))
            return true;
        out = CursorFile{};
        return false;
    }
    CursorFrame frame;
    if (!ReadIconDirectory(bytes, false, frame))
        return false;
    setSingleFrame(out, std::move(frame));
    return true;
}

} // namespace win
