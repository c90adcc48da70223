#pragma once
// Windows metafiles (plain or with the placeable header) and enhanced
// metafiles, played onto a white bitmap of the picture's own size. A name
// containing ".EMF" makes the data an enhanced metafile; anything else is
// read as a Windows metafile.

#include "buttonlib/media/CImageDecoder.h"

class CMetafileDecoder : public CImageDecoder {
protected:
    void DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source) override;
};
