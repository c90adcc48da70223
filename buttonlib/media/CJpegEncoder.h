#pragma once
// JPEG files through libjpeg (version-62 API) at the library's default
// quality of 75 with the floating-point DCT, written through an 8192-byte
// buffer. Bitmaps of any depth are taken: those not of 32 bits are read
// through a 32-bit copy. Library errors raise code 6.

#include "buttonlib/media/CImageDecoder.h"

#include <memory>

class CJpegEncoder : public CImageEncoder {
public:
    CJpegEncoder();
    ~CJpegEncoder() override;

    struct State;

protected:
    void DoEncode(CImageBitmap* bitmap, CImageSink* sink) override;

private:
    std::unique_ptr<State> m_state;
};
