// Feeds arbitrary bytes to the packed media buffer reader and treats what
// it accepts by its inner format code, as the download handlers do: a BMP
// goes to the picture still packed, a PNG or another picture is unpacked
// and loaded choosing its table by the source depth, a JPEG keeping the
// decoded one, a GIF or an AVI becomes an animation and a WAVE a sound
// (decoded as playing it would), each still packed; a nested packed buffer
// and any other code are taken by no handler. What unpacks (but a nested
// buffer) packs again to a buffer that reads back the same. Memory requests are capped, so that a
// few bytes declaring a large picture or unpacked size fail as a shortage
// of memory would.

#include "buttonlib/media/CAnim.h"
#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/CPackedBuffer.h"
#include "buttonlib/media/CSound.h"
#include "buttonlib/media/Compression.h"

#include "platform/audio/WaveFile.h"
#include "platform/mfc/CMemFile.h"
#include "platform/testing/FuzzAllocationCap.h"
#include "platform/win/MessageBox.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t kCapBytes = std::size_t(1) << 20;

// The picture handler: FALSE, and the picture held before kept, when the
// payload does not decode.
void takePicture(const CPackedBuffer& pb, short code)
{
    CDIB picture;
    picture.CreateBlank(2, 2, 8, RGB(0, 0, 0));
    BOOL taken = FALSE;
    if (code == CPackedBuffer::kFormatBmp) {
        taken = picture.SetData(pb.GetData(), pb.GetPackedSize(), TRUE, pb.GetUnpackedSize());
    } else {
        std::vector<BYTE> plain;
        if (media::UncompressExact(pb.GetData(), pb.GetPackedSize(), pb.GetUnpackedSize(), plain))
            taken = code == CPackedBuffer::kFormatJpg ? picture.LoadImageRaw(plain.data(), DWORD(plain.size()))
                                                      : picture.LoadImage(plain.data(), DWORD(plain.size()));
    }
    if (!picture.IsValid() || (!taken && (picture.GetWidth() != 2 || picture.GetBitCount() != 8)))
        std::abort();
    if (taken) {
        int bits = 0;
        if (HBITMAP hbm = picture.CreateBitmap(&bits))
            DeleteObject(hbm);
    }
}

void takeAnimation(const CPackedBuffer& pb)
{
    CAnim anim;
    if (anim.SetData(pb.GetData(), int(pb.GetPackedSize()), TRUE, pb.GetUnpackedSize())) {
        for (int i = 0; i < anim.GetFrameCount(); ++i)
            if (!anim.GetFrame(i))
                std::abort();
    } else if (anim.GetFrameCount() != 0 || anim.HasData()) {
        std::abort();
    }
}

void takeSound(const CPackedBuffer& pb)
{
    CSound sound;
    if (!sound.SetData(pb.GetData(), int(pb.GetPackedSize()), TRUE, pb.GetUnpackedSize())) {
        if (sound.HasData())
            std::abort();
        return;
    }
    if (sound.GetByteCount() != pb.GetUnpackedSize())
        std::abort();
    audio::PcmSound decoded;
    audio::DecodeWave(riff::Bytes(sound.GetData(), sound.GetByteCount()), decoded);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The boxes a damaged file opens go to a recorder, emptied for each input.
    static const auto boxes = [] {
        auto recorder = std::make_shared<win::RecordingMessageBox>();
        win::SetMessageBoxPort(recorder);
        return recorder;
    }();
    boxes->shown.clear();
    if (size > INT_MAX)
        return 0;
    CPackedBuffer pb;
    std::vector<BYTE> out;
    {
        const tv::fuzzing::AllocationCap cap(kCapBytes);
        if (!pb.Attach(data, int(size)))
            return 0;
        switch (pb.GetFormatCode()) {
        case CPackedBuffer::kFormatBmp:
        case CPackedBuffer::kFormatImage:
        case CPackedBuffer::kFormatJpg: takePicture(pb, pb.GetFormatCode()); break;
        case CPackedBuffer::kFormatAvi:
        case CPackedBuffer::kFormatGif: takeAnimation(pb); break;
        case CPackedBuffer::kFormatWav: takeSound(pb); break;
        case CPackedBuffer::kFormatPacked: return 0;
        default: break;
        }
        if (!media::UncompressExact(pb.GetData(), pb.GetPackedSize(), pb.GetUnpackedSize(), out))
            return 0;
    }

    const short code = pb.GetFormatCode();
    CPackedBuffer again;
    if (!again.Pack(out.data(), int(out.size()), code))
        std::abort();
    CMemFile file;
    again.Write(file);
    std::vector<BYTE> written = file.Detach();
    CPackedBuffer read;
    std::vector<BYTE> back;
    if (!read.Attach(written.data(), int(written.size())) || read.GetFormatCode() != code ||
        !media::UncompressExact(read.GetData(), read.GetPackedSize(), read.GetUnpackedSize(), back) || back != out)
        std::abort();
    return 0;
}
