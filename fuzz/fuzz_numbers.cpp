// The number reading of the numeric fields, under the locales the program meets.
//
// Properties: a text that reads as a number reads as a finite one and passes the
// typing check; a value printed with the field format reads back within half a
// unit of its last place.

#include "FuzzInput.h"
#include "Numbers.h"
#include "NumericEntry.h"

#include <QLocale>

#include <cmath>

using namespace zelmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QLocale locales[] = {QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::French, QLocale::France)};
    // Not Arabic (Egypt): Qt 6.4 cannot read back its own negative numbers there
    // (QLocale::toDouble(toString(-0.5)) fails), so no property of ours holds.
    fuzz::Input in(data, size);
    QLocale::setDefault(locales[in.byte() % std::size(locales)]);
    const int decimals = in.byte() % 8;
    const QString text = in.rest();

    double value = 0;
    if (readNumber(text, &value)) {
        ZELMAR_FUZZ_CHECK(std::isfinite(value));
        ZELMAR_FUZZ_CHECK(ValidateNumeric(text));
        ZELMAR_FUZZ_CHECK(decimalsTyped(text) >= 1);
        if (std::fabs(value) < 1e15) {
            const QString shown = formatNumber(value, decimals);
            double back = 0;
            ZELMAR_FUZZ_CHECK(readNumber(shown, &back));
            ZELMAR_FUZZ_CHECK(std::fabs(back - value) <=
                              0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(value) * 1e-15);
        }
        const float single = float(value);
        if (std::isfinite(single)) {
            double again = 0;
            ZELMAR_FUZZ_CHECK(readNumber(shortestSingle(single), &again));
            ZELMAR_FUZZ_CHECK(float(again) == single);
            ZELMAR_FUZZ_CHECK(specDecimals(value) >= 0 && specDecimals(value) <= 4);
            formatSpec(value);
        }
    }
    return 0;
}
