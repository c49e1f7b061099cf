#include "SerialNumberRules.h"

#include "Colors.h"
#include "Flash.h"
#include "NumericEntry.h"

#include <QLabel>
#include <QLineEdit>
#include <QList>

#include <limits>
#include <utility>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {

bool isUpper(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isLower(QChar c)
{
    return c >= u'a' && c <= u'z';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// One element of a match pattern.
struct Element
{
    enum Kind
    {
        AnyRun,  // "*"
        AnyOne,  // "?"
        Digit,   // "#"
        Set,     // "[...]"
        Literal, // the character itself
    };
    Kind kind = Literal;
    QChar literal;
    bool negated = false;
    QList<std::pair<char16_t, char16_t>> ranges;

    bool matches(QChar c) const
    {
        switch (kind) {
        case AnyRun:
            return false;
        case AnyOne:
            return true;
        case Digit:
            return isDigit(c);
        case Set: {
            bool inside = false;
            for (const auto& [from, to] : ranges)
                inside = inside || (c.unicode() >= from && c.unicode() <= to);
            return inside != negated;
        }
        case Literal:
            return c == literal;
        }
        return false;
    }
};

QList<Element> parsePattern(const QString& pattern)
{
    QList<Element> elements;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        Element e;
        if (c == u'*') {
            // A run of stars matches what one star does.
            if (!elements.isEmpty() && elements.last().kind == Element::AnyRun)
                continue;
            e.kind = Element::AnyRun;
        } else if (c == u'?') {
            e.kind = Element::AnyOne;
        } else if (c == u'#') {
            e.kind = Element::Digit;
        } else if (c == u'[' && pattern.indexOf(u']', i + 1) > i) {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            qsizetype j = i + 1;
            e.kind = Element::Set;
            if (j < close && pattern.at(j) == u'!') {
                e.negated = true;
                ++j;
            }
            while (j < close) {
                const char16_t from = pattern.at(j).unicode();
                if (j + 2 < close && pattern.at(j + 1) == u'-') {
                    const char16_t to = pattern.at(j + 2).unicode();
                    e.ranges.append({qMin(from, to), qMax(from, to)});
                    j += 3;
                } else {
                    e.ranges.append({from, from});
                    ++j;
                }
            }
            i = close;
        } else {
            e.literal = c;
        }
        elements.append(e);
    }
    return elements;
}

} // namespace

QString cleanSerialFormat(const QString& format, bool* dropped)
{
    QString cleaned;
    cleaned.reserve(format.size());
    for (QChar c : format) {
        if (isUpper(c) || isDigit(c) || c == u'#' || c == u'*' || c == u'-' || c == u'$' || c == u' ')
            cleaned += c;
    }
    if (dropped)
        *dropped = cleaned.size() != format.size();
    return cleaned;
}

void ConvertSerialNumber(const QString& snINPUT, QString& snPATTERN, qint16& snLENGTH)
{
    snLENGTH = qint16(qMin<qsizetype>(snINPUT.size(), std::numeric_limits<qint16>::max()));
    QString pattern;
    for (QChar c : snINPUT) {
        if (c == u'#')
            pattern += u'#';
        else if (c == u'*')
            pattern += u"[A-Z]"_s;
        else if (c == u' ')
            pattern += u' ';
        else if (c == u'$')
            pattern += u"[A-Z0-9]"_s;
        else if (isDigit(c) || isUpper(c) || isLower(c))
            pattern += c;
        else
            pattern += u'*';
    }
    snPATTERN = pattern;
}

bool serialNumberMatches(const QString& serial, const QString& pattern)
{
    // The usual wildcard walk: every element but "*" takes exactly one character, so on a
    // mismatch only the most recent "*" needs to take one character more. No deep
    // backtracking, whatever the number of stars.
    const QList<Element> elements = parsePattern(pattern);
    const qsizetype n = serial.size();
    const qsizetype m = elements.size();
    qsizetype s = 0;
    qsizetype p = 0;
    qsizetype star = -1;
    qsizetype starFrom = 0;
    while (s < n) {
        if (p < m && elements.at(p).kind == Element::AnyRun) {
            star = p++;
            starFrom = s;
        } else if (p < m && elements.at(p).matches(serial.at(s))) {
            ++p;
            ++s;
        } else if (star >= 0) {
            p = star + 1;
            s = ++starFrom;
        } else {
            return false;
        }
    }
    while (p < m && elements.at(p).kind == Element::AnyRun)
        ++p;
    return p == m;
}

SerialFormatRule::SerialFormatRule(QLineEdit* txtsnFORMAT, QLabel* lblsnLEN, QLineEdit* txtStatus,
                                   Pause* pause, QObject* parent)
    : QObject(parent)
    , m_format(txtsnFORMAT)
    , m_length(lblsnLEN)
    , m_status(txtStatus)
    , m_pause(pause)
{}

void SerialFormatRule::Validate(bool& Cancel)
{
    Q_UNUSED(Cancel)
    Validate();
}

void SerialFormatRule::Validate()
{
    if (!m_format)
        return;
    bool dropped = false;
    const QString cleaned = cleanSerialFormat(m_format->text(), &dropped);
    m_format->setText(cleaned);
    if (m_length)
        m_length->setText(QString::number(cleaned.size()));

    QString message;
    quint32 colour = colors::white;
    if (cleaned.isEmpty()) {
        message = u"ERROR: SN Format is not defined"_s;
        colour = colors::red;
    } else if (dropped) {
        message = u"ERROR: Unapproved chars removed from SN Format"_s;
        colour = colors::yellow;
    } else {
        return;
    }

    flash(m_pause, {m_format}, {{colour, 2.5}}, colors::white,
          {.box = m_status, .text = message, .restore = true});
}

void SerialFormatRule::LostFocus()
{
    Validate();
}

} // namespace zelmar
