#pragma once
// Targa files: colour-mapped, true-colour and grey (image types 1, 2, 3),
// plain or run-length coded (9, 10, 11), at 8, 15, 16, 24 and 32 bits.

#include "buttonlib/media/CImageDecoder.h"

class CTgaDecoder : public CImageDecoder {
protected:
    void DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source) override;
};
