#pragma once
// JPEG through libjpeg (version-62 API): greyscale to 8 bits with the grey
// ramp (or 32), colour always to 32 bits in blue, green, red, alpha order.
// The decompression object is made once and reused; a library error aborts
// it (it stays usable) and raises code 6 with the library's message. Data
// that ends early decodes to the end after the library's warning.

#include "buttonlib/media/CImageDecoder.h"

#include <memory>

class CJpegDecoder : public CImageDecoder {
public:
    CJpegDecoder();
    ~CJpegDecoder() override;

    struct State;

protected:
    void DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source) override;

private:
    std::unique_ptr<State> m_state;
    // Fancy upsampling off; never changed.
    bool m_bFast = true;
};
