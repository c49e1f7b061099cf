#include "PortStorage.h"

#include "Numbers.h"

#include <QLineEdit>

#include <cmath>
#include <limits>

namespace zelmar {

qint16 storedAverages(double shown)
{
    if (!(shown >= 1.0 && shown <= 25.0))
        return 1;
    // Halves go to the even neighbour, as the stored integer always did.
    return qint16(std::nearbyint(shown));
}

float storedDelay(double shown)
{
    return shown >= 0.0 && shown <= 60.0 ? float(shown) : 0.25f;
}

float storedTolerance(double percent)
{
    if (percent >= 1.0 && percent <= 100.0)
        return float(percent / 100.0);
    return percent < 1.0 ? 0.01f : 1.0f;
}

float storedMaxWait(double shown)
{
    if (shown >= 2.0 && shown <= 10.0)
        return float(shown);
    return shown < 2.0 ? 2.0f : 10.0f;
}

bool switchShown(qint16 stored)
{
    return stored != 0;
}

qint16 storedSwitch(bool ticked, qint16 stored)
{
    if (ticked == switchShown(stored))
        return stored;
    return ticked ? 1 : 0;
}

bool toBaseUnits(double shown, int unitSCALE, float& ohms)
{
    double value = shown;
    switch (unitSCALE) {
    case 1:
        value = shown / 1000.0;
        break;
    case 2:
        break;
    case 3:
        value = shown * 1000.0;
        break;
    case 4:
        value = shown * 1000000.0;
        break;
    default:
        return false;
    }
    if (!std::isfinite(value) || std::fabs(value) > double(std::numeric_limits<float>::max()))
        return false;
    ohms = float(value);
    return true;
}

bool stillShows(double shown, const QString& heldShown)
{
    double held = 0.0;
    return readNumber(heldShown, &held) && held == shown;
}

void storeLimit(double shown, int unitSCALE, float& ohms)
{
    if (stillShows(shown, formatSpec(double(toScale(ohms, unitSCALE - 1)))))
        return;
    toBaseUnits(shown, unitSCALE, ohms);
}

float rescale(double shown, int from, int to)
{
    float value = float(shown);
    switch (from) {
    case 0:
        value *= 0.001f;
        break;
    case 2:
        value *= 1000.0f;
        break;
    case 3:
        value *= 1000000.0f;
        break;
    default:
        break;
    }
    switch (to) {
    case 0:
        value *= 1000.0f;
        break;
    case 2:
        value /= 1000.0f;
        break;
    case 3:
        value /= 1000000.0f;
        break;
    default:
        break;
    }
    return value;
}

double shownNumber(const QLineEdit* field, NumericField kind)
{
    double value = 0.0;
    if (field && readNumber(field->text(), &value))
        return value;
    readNumber(QString::fromLatin1(numericFieldSpec(kind).replacement), &value);
    return value;
}

} // namespace zelmar
