#pragma once

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QString>

class QPainter;

namespace zelmar {

// The maker's mark, drawn at run time so that the program ships no picture
// files: a white letter Q on a rounded square, in the given font.
QPixmap makerLogo(int side, QFont font, qreal ratio = 2.0);

// The same mark painted into a square of `side` pixels at the painter's origin.
void paintMakerLogo(QPainter& painter, int side, QFont font);

// The mark as an image of side by side pixels (the installed icons).
QImage makerLogoImage(int side, const QFont& font);

// The mark as an SVG document of the same shape, colours and letter, for the
// scalable icon; the letter is set in `fontFamily` (bold).
QString makerLogoSvg(int side, const QString& fontFamily);

} // namespace zelmar
