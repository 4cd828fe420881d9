#pragma once
// The suite's icons, drawn in code so that no image files need installing.

#include <QPixmap>
#include <string>

namespace forms::qt {

// A picture named "icon:<name>" at size by size pixels; a null pixmap for an
// unknown name.
QPixmap IconPixmap(const std::string& picture, int size);

}  // namespace forms::qt
