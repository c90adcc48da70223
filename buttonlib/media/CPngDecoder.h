#pragma once
// PNG through libpng: grey to 8 bits with a ramp (or 32), palette images to
// 8 bits with their palette (or 32), everything else to 32 bits in blue,
// green, red, alpha order. Library errors raise code 2, data that ends early
// code 11.

#include "buttonlib/media/CImageDecoder.h"

class CPngDecoder : public CImageDecoder {
public:
    // The IHDR bit depth of the last paletted PNG decoded to 8 bits; 0 until then.
    int GetSourceBpp() const { return m_SourceBpp; }

    struct Context;

protected:
    void DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source) override;

private:
    int m_SourceBpp = 0;
};
