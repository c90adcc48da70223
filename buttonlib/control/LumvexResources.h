#pragma once
// The library's compiled-in resources: the string table and the bitmaps the
// control and its editor load by id (toolbox picture, the built-in shape
// mask and the download placeholders), and the version the about box shows.

#include "platform/mfc/WinTypes.h"

#include <vector>

namespace LumvexResources {

// Adds them to the module's resources; later calls do nothing.
void Register();

// The product version compiled in from the build, or empty without one.
const char* ProductVersion();

// The bitmaps as packed device-independent bitmaps (header, colour table,
// bottom-up rows), as they are registered.
std::vector<BYTE> ToolboxBitmap();
std::vector<BYTE> CustomShapeMask();
std::vector<BYTE> DownloadPicture();
std::vector<BYTE> DownloadShapeMask();
// One of them as a BMP file image, file header first.
std::vector<BYTE> BmpFile(const std::vector<BYTE>& dib);

} // namespace LumvexResources
