#pragma once
// Portable grey maps: "P2" (samples as decimal text) and "P5" (one byte per
// sample), scaled from the file's maximum value to 0..255.

#include "buttonlib/media/CImageDecoder.h"

class CPgmDecoder : public CImageDecoder {
protected:
    void DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source) override;
};
