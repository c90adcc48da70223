#pragma once
// Windows BMP files: 1, 4, 8, 24 and 32 bits, run-length coded 4 and 8 bits.

#include "buttonlib/media/CImageDecoder.h"

class CBmpDecoder : public CImageDecoder {
protected:
    void DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source) override;

private:
    void decodeRle(CImageBitmap* bitmap, const std::vector<RGBQUAD>& palette, int bits, CImageSource* source);
};
