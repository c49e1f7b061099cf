#include "Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace zelmar {

void useCalibri()
{
    const QString calibriName = QStringLiteral("Calibri");
    const QString carlito = QStringLiteral("Carlito");
    if (QFontDatabase::hasFamily(calibriName))
        return;
    if (QFont::substitutes(calibriName).contains(carlito))
        return;
    QFont::insertSubstitution(calibriName, carlito);
}

QFont calibri(qreal pointSize)
{
    QFont font(QStringLiteral("Calibri"));
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace zelmar
