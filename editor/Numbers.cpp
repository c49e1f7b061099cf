#include "Numbers.h"

#include <QLocale>

#include <charconv>
#include <cmath>

namespace zelmar {

int specDecimals(double v)
{
    if (v < 10.0)
        return 4;
    if (v < 100.0)
        return 3;
    if (v < 1000.0)
        return 2;
    if (v < 10000.0)
        return 1;
    return 0;
}

QString formatSpec(double v)
{
    return QLocale().toString(v, 'f', specDecimals(v));
}

QString shortestSingle(float v)
{
    if (!std::isfinite(v))
        return QLocale().toString(double(v));
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
    if (result.ec != std::errc())
        return QLocale().toString(double(v), 'g', QLocale::FloatingPointShortest);
    const QLocale locale;
    QString text = QString::fromLatin1(buffer, int(result.ptr - buffer));
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    if (text.startsWith(QLatin1Char('-')))
        text.replace(0, 1, locale.negativeSign());
    return text;
}

float toScale(float ohms, int scaleIndex)
{
    switch (scaleIndex) {
    case 0:
        return ohms * 1000.0f;
    case 2:
        return ohms / 1000.0f;
    case 3:
        return ohms / 1000000.0f;
    default:
        return ohms;
    }
}

} // namespace zelmar
