// The serial-number matcher and the format-to-pattern conversion.
//
// Properties: a serial made from a format matches that format's pattern; on
// patterns without sets the matcher agrees with a plain dynamic-programming
// match; a pattern with "*" around it matches any text around a match.

#include "FuzzInput.h"
#include "SerialNumberRules.h"

#include <vector>

using namespace zelmar;

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// "*" any run, "?" one character, "#" one digit, anything else itself. No sets.
bool reference(const QString& s, const QString& p)
{
    const qsizetype n = s.size();
    const qsizetype m = p.size();
    // row[j]: the first i characters match the first j elements.
    std::vector<char> row(size_t(m + 1), 0), next(size_t(m + 1), 0);
    row[0] = 1;
    for (qsizetype j = 1; j <= m; ++j)
        row[size_t(j)] = row[size_t(j - 1)] && p.at(j - 1) == u'*';
    for (qsizetype i = 1; i <= n; ++i) {
        const QChar c = s.at(i - 1);
        next[0] = 0;
        for (qsizetype j = 1; j <= m; ++j) {
            const QChar e = p.at(j - 1);
            bool v = false;
            if (e == u'*')
                v = next[size_t(j - 1)] || row[size_t(j)];
            else if (e == u'?')
                v = row[size_t(j - 1)];
            else if (e == u'#')
                v = row[size_t(j - 1)] && isDigit(c);
            else
                v = row[size_t(j - 1)] && c == e;
            next[size_t(j)] = v;
        }
        std::swap(row, next);
    }
    return row[size_t(m)] != 0;
}

// A serial number that the format describes, its free choices taken from the input.
QString serialFor(const QString& format, fuzz::Input& in)
{
    QString serial;
    for (QChar c : format) {
        const uint8_t pick = in.byte();
        if (c == u'#')
            serial += QChar(u'0' + pick % 10);
        else if (c == u'*')
            serial += QChar(u'A' + pick % 26);
        else if (c == u'$')
            serial += pick % 2 ? QChar(u'A' + pick % 26) : QChar(u'0' + pick % 10);
        else if (c == u' ' || isDigit(c) || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            serial += c;
        else
            serial += in.text(3); // any run stands for this character
    }
    return serial;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const int mode = in.byte() % 3;
    if (mode == 0) {
        const QString format = in.text();
        QString pattern;
        qint16 length = -1;
        ConvertSerialNumber(format, pattern, length);
        ZELMAR_FUZZ_CHECK(length == format.size());
        const QString serial = serialFor(format, in);
        ZELMAR_FUZZ_CHECK(serialNumberMatches(serial, pattern));
        // The cleaned format holds only what a format may hold.
        bool dropped = false;
        const QString cleaned = cleanSerialFormat(format, &dropped);
        ZELMAR_FUZZ_CHECK(dropped == (cleaned.size() != format.size()));
        ZELMAR_FUZZ_CHECK(cleanSerialFormat(cleaned) == cleaned);
    } else {
        const QString serial = in.text(128);
        const QString pattern = in.text(64);
        const bool matched = serialNumberMatches(serial, pattern);
        if (!pattern.contains(u'['))
            ZELMAR_FUZZ_CHECK(matched == reference(serial, pattern));
        if (matched) {
            const QString before = in.text(8);
            const QString after = in.text(8);
            ZELMAR_FUZZ_CHECK(serialNumberMatches(before + serial + after, u'*' + pattern + u'*'));
        }
    }
    return 0;
}
