// The editor's rules without the window: reading and printing numbers, the numeric field
// checks, the serial-number format and match, the part-number check, the parameter set.
#include "Colors.h"
#include "CurrentParams.h"
#include "EditorFakes.h"
#include "Numbers.h"
#include "NumericEntry.h"
#include "PartNumberRules.h"
#include "SerialNumberRules.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

using namespace Qt::StringLiterals;
using namespace zelmar;
using zelmar::test::RecordingPause;
using zelmar::test::Seen;
using F = zelmar::NumericField;

Q_DECLARE_METATYPE(zelmar::NumericField)

namespace {

const QString idle = u"Waiting for User Input"_s;
const QList<double> none;

QString latin1(const char* text)
{
    return QString::fromLatin1(text);
}

} // namespace

class TestFieldRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void numberText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whileTyping"); // ValidateNumeric
        QTest::addColumn<double>("value");     // readNumber; NaN: no number
        QTest::addColumn<int>("decimals");     // decimalsTyped
        const double no = std::numeric_limits<double>::quiet_NaN();
        // clang-format off
        QTest::newRow("empty: typing, no number")        << QString() << true << no << 1;
        QTest::newRow("minus point")                     << u"-."_s << true << no << 1;
        QTest::newRow("grouping after deleting a digit") << u"1,00.0"_s << true << 100.0 << 1;
        QTest::newRow("comma while typing 1,500")        << u"1,"_s << true << 1.0 << 1;
        QTest::newRow("separator after the point")       << u"1.5,0"_s << false << no << 3;
        QTest::newRow("surrounding blanks read")         << u" 2.500 "_s << true << 2.5 << 3;
        QTest::newRow("a blank is not empty")            << u" "_s << false << no << 1;
        QTest::newRow("inf is no number")                << u"inf"_s << false << no << 1;
        // clang-format on
    }

    void numberText()
    {
        QFETCH(QString, text);
        QFETCH(bool, whileTyping);
        QFETCH(double, value);
        QFETCH(int, decimals);
        QCOMPARE(ValidateNumeric(text), whileTyping);
        double read = -99;
        QCOMPARE(readNumber(text, &read), !std::isnan(value));
        QCOMPARE(read, std::isnan(value) ? -99 : value);
        QCOMPARE(decimalsTyped(text), decimals);
    }

    void numberPrinting_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("decimals"); // formatNumber's; -1: formatSpec, -2: shortestSingle
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("min/max below 10: 4 places")            << u"en_US"_s << -1 << 9.99994 << u"9.9999"_s;
        QTest::newRow("min/max below 10000: 1 place, grouped") << u"en_US"_s << -1 << 1500.0 << u"1,500.0"_s;
        QTest::newRow("min/max 10000: no places")              << u"en_US"_s << -1 << 10000.0 << u"10,000"_s;
        QTest::newRow("min/max negative: 4 places")            << u"en_US"_s << -1 << -250.0 << u"-250.0000"_s;
        QTest::newRow("single 0.1, not 0.100000001")           << u"en_US"_s << -2 << 0.1 << u"0.1"_s;
        QTest::newRow("single German decimal comma")           << u"de_DE"_s << -2 << 2.5 << u"2,5"_s;
        QTest::newRow("entry: carry into the grouped whole")   << u"en_US"_s << 1 << 999.96 << u"1,000.0"_s;
        QTest::newRow("entry: half up on the typed digits")    << u"en_US"_s << 2 << 2.345 << u"2.35"_s;
        QTest::newRow("entry: no minus on a zero")             << u"en_US"_s << 2 << -0.004 << u"0.00"_s;
        QTest::newRow("entry: German separators")              << u"de_DE"_s << 2 << 1500.25 << u"1.500,25"_s;
        // clang-format on
    }

    void numberPrinting()
    {
        QFETCH(QString, locale);
        QFETCH(int, decimals);
        QFETCH(double, value);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        const QString shown = decimals == -1   ? formatSpec(value)
                              : decimals == -2 ? shortestSingle(float(value))
                                               : formatNumber(value, decimals);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(shown, text);
    }

    void numericField_data()
    {
        QTest::addColumn<F>("field");
        for (const NumericFieldSpec& s : numericFieldSpecs())
            QTest::newRow(s.name) << s.field;
    }

    void numericField()
    {
        // Each field by its own entry of the rule table: the rules, not the table's values.
        QFETCH(F, field);
        const NumericFieldSpec& s = numericFieldSpec(field);
        RecordingPause pause;
        QLineEdit status(idle), edit;
        NumericFieldRule rule(s, &edit, &status, &pause);
        QList<Seen> seen;
        pause.during = [&](double) {
            seen.append({status.text(), backColor(&edit)});
        };
        const auto number = [](double v) {
            return QLocale::c().toString(v, 'f', QLocale::FloatingPointShortest);
        };
        const auto check = [&](const QString& text) {
            edit.setText(text);
            pause.waits.clear();
            seen.clear();
            rule.Validate();
        };
        // Both bounds pass without a flash.
        for (double v : {s.low, s.high}) {
            check(number(v));
            QCOMPARE(edit.text(), s.passDecimals < 0 ? number(v) : formatNumber(v, s.passDecimals));
            QCOMPARE(pause.waits, none);
        }
        // Out of bounds or unreadable: corrected, flashed red with the message, then white again.
        using Wrong = std::tuple<QString, const char*, bool, const char*>; // text, corrected, flash, message
        for (const auto& [text, corrected, flashes, message] :
             {Wrong{number(s.low - 0.5), s.lowText, true, s.lowMessage},
              Wrong{number(s.high + 0.5), s.highText, true, s.highMessage},
              Wrong{u"-"_s, s.unreadableText, s.unreadableFlash, s.unreadableMessage}}) {
            check(text);
            QCOMPARE(edit.text(), latin1(corrected));
            QCOMPARE(pause.waits, flashes ? QList<double>{s.pauseSeconds} : none);
            if (flashes)
                QVERIFY(seen.first().colour == colors::red &&
                        seen.first().status == (message ? latin1(message) : idle));
            QVERIFY(backColor(&edit) == colors::white && status.text() == idle);
        }
        // While typing, a number on its way stays; anything else gives the replacement at once.
        for (const auto& [typed, kept] :
             {std::pair{u"-."_s, u"-."_s}, std::pair{u"1x"_s, latin1(s.replacement)}}) {
            edit.setText(typed);
            rule.Change();
            QCOMPARE(edit.text(), kept);
        }
        // Leaving checks, then re-prints in the field's format.
        const double mid = std::floor((s.low + s.high) / 2) + 0.125;
        edit.setText(number(mid));
        rule.LostFocus();
        QCOMPARE(edit.text(), formatNumber(mid, s.leaveDecimals < 0 ? 3 : s.leaveDecimals));
    }

    void serialMatch_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<bool>("matches");
        // clang-format off
        QTest::newRow("AB-###$ against AB-123X")       << u"AB-###$"_s << u"AB-123X"_s << true;
        QTest::newRow("dash as an empty run")          << u"AB-###$"_s << u"AB123X"_s << true;
        QTest::newRow("case-sensitive")                << u"AB-###$"_s << u"ab-123X"_s << false;
        QTest::newRow("dash as a longer run")          << u"A-#"_s << u"AXYZ7"_s << true;
        QTest::newRow("the whole serial must match")   << u"A-#"_s << u"A7X"_s << false;
        QTest::newRow("star is one capital")           << u"12 *$"_s << u"12 QZ"_s << true;
        QTest::newRow("dollar takes a digit")          << u"12 *$"_s << u"12 Q9"_s << true;
        QTest::newRow("star refuses lower case")       << u"12 *$"_s << u"12 q9"_s << false;
        QTest::newRow("no extra character at the end") << u"12 *$"_s << u"12 QZZ"_s << false;
        QTest::newRow("hash refuses other digits")     << u"#"_s << u"\u0663"_s << false;
        QTest::newRow("last match after false starts") << u"-AB"_s << u"AAAB"_s << true;
        // Backtracking would take on the order of C(35,17) steps here.
        QTest::newRow("17 dashes between letters")     << u"-A"_s.repeated(17) + u"B"_s << QString(35, u'A') << false;
        // clang-format on
    }

    void serialMatch()
    {
        QFETCH(QString, format);
        QFETCH(QString, serial);
        QFETCH(bool, matches);
        QString pattern;
        qint16 length = 0;
        ConvertSerialNumber(format, pattern, length);
        QCOMPARE(serialNumberMatches(serial, pattern), matches);
        QCOMPARE(length, qint16(format.size()));
    }

    void checkPN_data()
    {
        QTest::addColumn<QString>("strPN");
        QTest::addColumn<int>("iSKIP");
        QTest::addColumn<QString>("curPN");   // the loaded part number
        QTest::addColumn<QString>("refusal"); // part of the message; empty: accepted
        QTest::addColumn<bool>("asks");       // whether the table was asked
        const QString ab = u"AB-100"_s, chars = u"Allowed PN chars"_s, exists = u"already exists"_s;
        // The table holds AB-100 once and CD-200 twice.
        // clang-format off
        QTest::newRow("26 characters: length first") << u"abcdefghijklmnopqrstuvwx_z"_s << 1 << ab << u"25 characters"_s << false;
        QTest::newRow("25 characters accepted")      << u"ABCDEFGHIJKLMNOPQRSTUVWXY"_s << 1 << ab << QString() << true;
        QTest::newRow("underscore")                  << u"AB_1"_s << 1 << ab << chars << false;
        QTest::newRow("lower case")                  << u"cd-200"_s << 1 << ab << chars << false;
        QTest::newRow("A-B C passes alphanumeric")   << u"A-B C"_s << 0 << ab << QString() << false;
        QTest::newRow("A--B fails alphanumeric")     << u"A--B"_s << 1 << ab << u"alphanumeric"_s << false;
        QTest::newRow("stored once")                 << ab << 1 << u"XY-1"_s << exists << true;
        QTest::newRow("stored twice")                << u"CD-200"_s << 1 << ab << exists << true;
        QTest::newRow("loaded PN not looked up")     << ab << 1 << ab << QString() << false;
        QTest::newRow("loaded PN in other case")     << ab << 1 << u"Ab-100"_s << exists << true;
        QTest::newRow("no lookup with iSKIP 2")      << u"CD-200"_s << 2 << ab << QString() << false;
        // clang-format on
    }

    void checkPN()
    {
        QFETCH(QString, strPN);
        QFETCH(int, iSKIP);
        QFETCH(QString, curPN);
        QFETCH(QString, refusal);
        QFETCH(bool, asks);
        RecordingPause pause;
        QLineEdit status(u"before"_s);
        QComboBox list;
        QStringList asked;
        const PartNumberRule rule(&status, &list, &pause,
                                  [&](const QString& pn, qint16& count, const QString&) {
                                      asked << pn;
                                      count = qint16(pn == u"AB-100"_s ? 1 : pn == u"CD-200"_s ? 2 : 0);
                                  });
        QList<Seen> seen;
        pause.during = [&](double) {
            seen.append({status.text(), backColor(&list)});
        };
        qint16 check = -1;
        rule.checkPN(strPN, check, qint16(iSKIP), u"lsttestPN"_s, curPN);
        QCOMPARE(check, qint16(refusal.isEmpty() ? 1 : 0));
        QCOMPARE(asked, asks ? QStringList{strPN} : QStringList());
        QCOMPARE(pause.waits, refusal.isEmpty() ? none : QList<double>{3});
        if (!refusal.isEmpty()) {
            QVERIFY2(seen.first().status.contains(refusal), qPrintable(seen.first().status));
            QCOMPARE(seen.first().colour, colors::red);
            // A name found in the table leaves the status idle; other refusals stay on show.
            QCOMPARE(status.text(), asks ? idle : seen.first().status);
        }
        QCOMPARE(backColor(&list), colors::white);
    }

    void bSORT_data()
    {
        QTest::addColumn<QStringList>("before"); // from slot 0
        QTest::addColumn<int>("numPN");
        QTest::addColumn<QStringList>("sorted");
        const auto split = [](const QString& s) {
            return s.split(u',');
        };
        // clang-format off
        QTest::newRow("by code: b, B, a10, a2")         << split(u",b,B,a10,a2"_s) << 4 << split(u",B,a10,a2,b"_s);
        QTest::newRow("digits before letters")          << split(u",Z,9,A-1,0"_s) << 4 << split(u",0,9,A-1,Z"_s);
        QTest::newRow("blank, dash, digit, underscore") << split(u",AB_1,AB-1,AB 1,AB1"_s) << 4 << split(u",AB 1,AB-1,AB1,AB_1"_s);
        QTest::newRow("prefix first")                   << split(u",ABC,AB"_s) << 2 << split(u",AB,ABC"_s);
        QTest::newRow("reverse, every pass needed")     << split(u",e,d,c,b,a"_s) << 5 << split(u",a,b,c,d,e"_s);
        QTest::newRow("slot 0 and slots beyond numPN stay") << split(u"zzz,c,b,a"_s) << 2 << split(u"zzz,b,c,a"_s);
        // clang-format on
        QStringList reversed{QString()}, ordered{QString()};
        for (int i = 1; i <= 100; ++i) {
            reversed << u"PN%1"_s.arg(200 - i);
            ordered.insert(1, reversed.last());
        }
        QTest::newRow("a count above the list sorts its 100 slots") << reversed << 250 << ordered;
    }

    void bSORT()
    {
        QFETCH(QStringList, before);
        QFETCH(int, numPN);
        QFETCH(QStringList, sorted);
        db::PnList list{};
        std::copy(before.begin(), before.end(), list.begin());
        zelmar::bSORT(list, numPN);
        QCOMPARE(QStringList(list.begin(), list.begin() + before.size()), sorted);
    }

    void defPN()
    {
        // The serial-number length comes from the loaded name; the name and the pattern stay.
        CurrentParams p;
        p.curPN = u"AB-100"_s;
        p.snPATTERN = u"AB*"_s;
        p.defPN();
        QCOMPARE(p.snLENGTH, qint16(16)); // "AB-100 " is 7, plus 9
        QVERIFY(p.curPN == u"AB-100"_s && p.snPATTERN == u"AB*"_s);
    }
};

QTEST_MAIN(TestFieldRules)
#include "tst_fieldrules.moc"
