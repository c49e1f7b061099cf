#include "Logo.h"

#include <QColor>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace zelmar {

QPixmap makerLogo(int side, QFont font, qreal ratio)
{
    QPixmap pixmap(int(side * ratio), int(side * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1F, 0x4E, 0x79));
    painter.drawRoundedRect(QRectF(2, 2, side - 4, side - 4), side / 8.0, side / 8.0);
    font.setPixelSize(side / 2);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, side, side), Qt::AlignCenter, u"Q"_s);
    return pixmap;
}

} // namespace zelmar
