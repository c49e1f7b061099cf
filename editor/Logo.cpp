#include "Logo.h"

#include <QColor>
#include <QPainter>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {

// The mark's shape: a square inset by 2 units with corners of an eighth of the
// side, dark blue, and a white bold letter half the side high in its middle.
const QColor markColor(0x1F, 0x4E, 0x79);
constexpr qreal inset = 2.0;
constexpr qreal cornerShare = 1.0 / 8.0;
constexpr int letterShare = 2; // letter size = side / letterShare
const QString letter = u"Q"_s;

} // namespace

void paintMakerLogo(QPainter& painter, int side, QFont font)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(markColor);
    painter.drawRoundedRect(QRectF(inset, inset, side - 2 * inset, side - 2 * inset), side * cornerShare,
                            side * cornerShare);
    font.setPixelSize(std::max(1, side / letterShare));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, side, side), Qt::AlignCenter, letter);
    painter.restore();
}

QPixmap makerLogo(int side, QFont font, qreal ratio)
{
    QPixmap pixmap(int(side * ratio), int(side * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintMakerLogo(painter, side, font);
    return pixmap;
}

QImage makerLogoImage(int side, const QFont& font)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintMakerLogo(painter, side, font);
    painter.end();
    return image;
}

QString makerLogoSvg(int side, const QString& fontFamily)
{
    const QString n = QString::number(side);
    const QString edge = QString::number(side - 2 * inset);
    const QString corner = QString::number(side * cornerShare);
    const QString size = QString::number(side / letterShare);
    QString family = fontFamily;
    family.replace(u'&', u"&amp;"_s).replace(u'"', u"&quot;"_s).replace(u'<', u"&lt;"_s);
    return u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"_s +
           u"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"_s
               .arg(n) +
           u"  <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" ry=\"%3\" fill=\"%4\"/>\n"_s.arg(
               QString::number(inset), edge, corner, markColor.name()) +
           u"  <text x=\"%1\" y=\"%1\" fill=\"#ffffff\" font-family=\"%2, sans-serif\" font-weight=\"bold\" "
           u"font-size=\"%3\" text-anchor=\"middle\" dominant-baseline=\"central\">%4</text>\n"_s.arg(
               QString::number(side / 2.0), family, size, letter) +
           u"</svg>\n"_s;
}

} // namespace zelmar
