#pragma once
// The stores subsystem's own pictures, drawn at run time.

#include <QPixmap>

namespace StorePictures {

// The no-icon picture (the program's icon 101): 16 x 16, a store front
// crossed out, shown for a store without an icon.
QPixmap NoIconPicture();

} // namespace StorePictures
