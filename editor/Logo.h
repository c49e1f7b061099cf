#pragma once

#include <QFont>
#include <QPixmap>

namespace zelmar {

// The maker's mark, drawn at run time so that the program ships no picture
// files: a white letter Q on a rounded square, in the given font.
QPixmap makerLogo(int side, QFont font, qreal ratio = 2.0);

} // namespace zelmar
