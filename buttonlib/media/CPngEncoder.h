#pragma once
// PNG files through libpng from codec bitmaps of 1 bit (grey), 8 bits (with
// a 256-entry palette), 24 bits (RGB) and 32 bits (RGB with alpha; opaque
// when the bitmap has no alpha). Other depths and library errors raise code 6.

#include "buttonlib/media/CImageDecoder.h"

class CPngEncoder : public CImageEncoder {
public:
    struct Context;

protected:
    void DoEncode(CImageBitmap* bitmap, CImageSink* sink) override;
};
