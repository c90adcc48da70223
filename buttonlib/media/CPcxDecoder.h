#pragma once
// PCX files: run-length coded, 1 bit with up to 4 planes, 2, 4 or 8 bits in
// one plane, 8 bits in 3 planes, with the 256-colour trailer. Always 32 bits.

#include "buttonlib/media/CImageDecoder.h"

class CPcxDecoder : public CImageDecoder {
protected:
    void DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source) override;
};
