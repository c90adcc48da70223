#pragma once
// The animation object's own GIF87a/GIF89a decoder. Every image is drawn on
// one canvas the size of the first image, at the image's own position, with
// no transparency and no disposal; the canvas after each image is one frame.
// Images whose data cannot be decoded end the animation; the frames before
// them stay.

#include "buttonlib/media/CDIB.h"

#include <cstddef>

namespace media {

class GifDecoder {
public:
    // The delay the button plays every GIF at, in milliseconds.
    static constexpr int kFrameDelay = 66;

    // Decodes up to maxFrames 24-bit frames into frames[0..]. False (and
    // *count 0) when the bytes are not a GIF: a wrong signature, a short
    // screen descriptor or global colour table. *count gives the frames
    // decoded otherwise.
    static bool Decode(const BYTE* data, std::size_t size, CDIB* frames, int maxFrames, int* count);
};

} // namespace media
