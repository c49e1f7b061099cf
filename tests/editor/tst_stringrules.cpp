#include "Colors.h"
#include "PartNumberRules.h"
#include "RecordingPause.h"
#include "SerialNumberRules.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace zelmar;
using zelmar::test::PaintCounter;
using zelmar::test::RecordingPause;
using zelmar::test::Seen;

namespace {

const QString previousStatus = u"Waiting for User Input"_s;

// The controls the string rules act on.
struct Form
{
    Form()
    {
        auto* layout = new QVBoxLayout(&window);
        txtStatus = new QLineEdit(previousStatus, &window);
        lsttestPN = new QComboBox(&window);
        lsttestPN->setEditable(true);
        txtsnFORMAT = new QLineEdit(&window);
        lblsnLEN = new QLabel(&window);
        txtPort = new QLineEdit(&window);
        for (QWidget* w :
             std::initializer_list<QWidget*>{txtStatus, lsttestPN, txtsnFORMAT, lblsnLEN, txtPort})
            layout->addWidget(w);
    }
    bool showAndActivate()
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        QCoreApplication::processEvents();
        return true;
    }

    QWidget window;
    QLineEdit* txtStatus = nullptr;
    QComboBox* lsttestPN = nullptr;
    QLineEdit* txtsnFORMAT = nullptr;
    QLabel* lblsnLEN = nullptr;
    QLineEdit* txtPort = nullptr;
};

QString patternOf(const QString& format)
{
    QString pattern;
    qint16 length = 0;
    ConvertSerialNumber(format, pattern, length);
    return pattern;
}

} // namespace

class TestStringRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatCheck_data();
    void formatCheck();
    void formatCheckedOnLeaving();
    void convertSerialNumber_data();
    void convertSerialNumber();
    void serialMatch_data();
    void serialMatch();
    void manyStarsStayFast_data();
    void manyStarsStayFast();
    void characterTests_data();
    void characterTests();
    void checkPN_data();
    void checkPN();
};

void TestStringRules::formatCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cleaned");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("message"); // empty: no flash
    QTest::addColumn<quint32>("colour");
    // clang-format off
    QTest::newRow("lower case removed, yellow")      << u"ab#"_s << u"#"_s << u"1"_s << u"ERROR: Unapproved chars removed from SN Format"_s << colors::yellow;
    QTest::newRow("empty format, red")               << QString() << QString() << u"0"_s << u"ERROR: SN Format is not defined"_s << colors::red;
    QTest::newRow("only removed characters, red")    << u"ab?_"_s << QString() << u"0"_s << u"ERROR: SN Format is not defined"_s << colors::red;
    QTest::newRow("non-ASCII letter removed")        << u"\u00C91"_s << u"1"_s << u"1"_s << u"ERROR: Unapproved chars removed from SN Format"_s << colors::yellow;
    QTest::newRow("every allowed character kept")    << u"AZ09#*-$ "_s << u"AZ09#*-$ "_s << u"9"_s << QString() << colors::white;
    QTest::newRow("clean format left alone")         << u"AB-###$"_s << u"AB-###$"_s << u"7"_s << QString() << colors::white;
    // clang-format on
}

void TestStringRules::formatCheck()
{
    QFETCH(QString, text);
    QFETCH(QString, cleaned);
    QFETCH(QString, length);
    QFETCH(QString, message);
    QFETCH(quint32, colour);

    RecordingPause pause;
    Form form;
    SerialFormatRule rule(form.txtsnFORMAT, form.lblsnLEN, form.txtStatus, &pause, RuleWiring::Manual);
    form.txtsnFORMAT->setText(text);
    QList<Seen> seen;
    pause.during = [&](double) {
        seen.append({form.txtStatus->text(), backColor(form.txtsnFORMAT), 0});
    };

    bool cancel = false;
    rule.Validate(cancel);

    QVERIFY(!cancel);
    QCOMPARE(form.txtsnFORMAT->text(), cleaned);
    QCOMPARE(form.lblsnLEN->text(), length);
    if (message.isEmpty()) {
        QVERIFY(pause.waits.isEmpty());
    } else {
        QCOMPARE(pause.waits, QList<double>{2.5});
        QCOMPARE(seen.first().status, message);
        QCOMPARE(seen.first().colour, colour);
    }
    QCOMPARE(backColor(form.txtsnFORMAT), colors::white);
    QCOMPARE(form.txtStatus->text(), previousStatus);
}

void TestStringRules::formatCheckedOnLeaving()
{
    RecordingPause pause;
    Form form;
    SerialFormatRule rule(form.txtsnFORMAT, form.lblsnLEN, form.txtStatus, &pause);
    QVERIFY(form.showAndActivate());
    form.txtsnFORMAT->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), form.txtsnFORMAT);
    QTest::keyClicks(form.txtsnFORMAT, u"AB-x##"_s);
    QVERIFY(pause.waits.isEmpty()); // nothing is checked while typing

    form.txtPort->setFocus(Qt::TabFocusReason);

    QCOMPARE(QApplication::focusWidget(), form.txtPort);
    QCOMPARE(form.txtsnFORMAT->text(), u"AB-##"_s);
    QCOMPARE(form.lblsnLEN->text(), u"5"_s);
    QCOMPARE(pause.waits, QList<double>{2.5});
}

void TestStringRules::convertSerialNumber_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("length");
    QTest::newRow("letters, star and dollar") << u"12 *$"_s << u"12 [A-Z][A-Z0-9]"_s << 5;
    QTest::newRow("dash becomes any run") << u"AB-###$"_s << u"AB*###[A-Z0-9]"_s << 7;
    QTest::newRow("lower case kept as itself") << u"ab1"_s << u"ab1"_s << 3;
    QTest::newRow("other characters become any run") << u"A?_\u00C9"_s << u"A***"_s << 4;
    QTest::newRow("empty format") << QString() << QString() << 0;
}

void TestStringRules::convertSerialNumber()
{
    QFETCH(QString, format);
    QFETCH(QString, pattern);
    QFETCH(int, length);
    QString snPATTERN = u"left over from an earlier part number"_s;
    qint16 snLENGTH = -1;
    ConvertSerialNumber(format, snPATTERN, snLENGTH);
    QCOMPARE(snPATTERN, pattern);
    QCOMPARE(int(snLENGTH), length);
}

void TestStringRules::serialMatch_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<bool>("matches");
    // clang-format off
    QTest::newRow("AB-###$ with dash")              << u"AB-###$"_s << u"AB-123X"_s << true;
    QTest::newRow("AB-###$ dash matches nothing")   << u"AB-###$"_s << u"AB123X"_s << true;
    QTest::newRow("AB-###$ case-sensitive")         << u"AB-###$"_s << u"ab-123X"_s << false;
    QTest::newRow("AB-###$ digit missing")          << u"AB-###$"_s << u"AB-12X"_s << false;
    QTest::newRow("A-# empty run")                  << u"A-#"_s << u"A7"_s << true;
    QTest::newRow("A-# one-character run")          << u"A-#"_s << u"A-7"_s << true;
    QTest::newRow("A-# longer run")                 << u"A-#"_s << u"AXYZ7"_s << true;
    QTest::newRow("A-# whole serial must match")    << u"A-#"_s << u"A7X"_s << false;
    QTest::newRow("A-# too short")                  << u"A-#"_s << u"A"_s << false;
    QTest::newRow("star is one capital")            << u"12 *$"_s << u"12 QZ"_s << true;
    QTest::newRow("dollar takes a digit")           << u"12 *$"_s << u"12 Q9"_s << true;
    QTest::newRow("star refuses lower case")        << u"12 *$"_s << u"12 q9"_s << false;
    QTest::newRow("star refuses a digit")           << u"12 *$"_s << u"12 9Q"_s << false;
    QTest::newRow("no extra character at the end")  << u"12 *$"_s << u"12 QZZ"_s << false;
    QTest::newRow("space must be a space")          << u"12 *$"_s << u"12-QZ"_s << false;
    QTest::newRow("hash refuses other digits")      << u"#"_s << u"\u0663"_s << false;
    QTest::newRow("empty against empty")            << QString() << QString() << true;
    QTest::newRow("empty against a serial")         << QString() << u"A"_s << false;
    QTest::newRow("lone dash matches empty")        << u"-"_s << QString() << true;
    QTest::newRow("dashes around a literal")        << u"-B-"_s << u"AAB"_s << true;
    QTest::newRow("last match after false starts")  << u"-AB"_s << u"AAAB"_s << true;
    // clang-format on
}

void TestStringRules::serialMatch()
{
    QFETCH(QString, format);
    QFETCH(QString, serial);
    QFETCH(bool, matches);
    QCOMPARE(serialNumberMatches(serial, patternOf(format)), matches);
}

void TestStringRules::manyStarsStayFast_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<bool>("matches");
    const QString dashes35 = QString(35, u'-');
    QTest::newRow("35 dashes against 35 characters") << dashes35 << QString(35, u'A') << true;
    QString alternating;
    for (int i = 0; i < 17; ++i)
        alternating += u"-A"_s;
    QTest::newRow("17 dashes between letters, last letter missing")
        << (alternating + u"B"_s) << QString(35, u'A') << false;
    QTest::newRow("dashes and digits, long serial, no match")
        << QString(34, u'-') + u"#"_s << QString(5000, u'A') << false;
}

void TestStringRules::manyStarsStayFast()
{
    QFETCH(QString, format);
    QFETCH(QString, serial);
    QFETCH(bool, matches);
    const QString pattern = patternOf(format);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 100; ++i)
        QCOMPARE(serialNumberMatches(serial, pattern), matches);
    // A backtracking match needs on the order of C(35,17) steps here.
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
}

void TestStringRules::characterTests_data()
{
    QTest::addColumn<QString>("test");
    QTest::addColumn<QString>("character");
    QTest::addColumn<bool>("holds");
    // clang-format off
    QTest::newRow("chkNUM digit 7")       << u"NUM"_s << u"7"_s << true;
    QTest::newRow("chkNUM letter x")      << u"NUM"_s << u"x"_s << false;
    QTest::newRow("chkNUM Arabic digit")  << u"NUM"_s << u"\u0663"_s << false;
    QTest::newRow("chkALPHA A")           << u"ALPHA"_s << u"A"_s << true;
    QTest::newRow("chkALPHA Z")           << u"ALPHA"_s << u"Z"_s << true;
    QTest::newRow("chkALPHA a")           << u"ALPHA"_s << u"a"_s << false;
    QTest::newRow("chkALPHA @ below A")   << u"ALPHA"_s << u"@"_s << false;
    QTest::newRow("chkALPHA [ above Z")   << u"ALPHA"_s << u"["_s << false;
    QTest::newRow("chkALPHA empty")       << u"ALPHA"_s << QString() << false;
    QTest::newRow("chkDASH dash")         << u"DASH"_s << u"-"_s << true;
    QTest::newRow("chkDASH underscore")   << u"DASH"_s << u"_"_s << false;
    QTest::newRow("chkSPACE space")       << u"SPACE"_s << u" "_s << true;
    QTest::newRow("chkSPACE tab")         << u"SPACE"_s << u"\t"_s << false;
    // clang-format on
}

void TestStringRules::characterTests()
{
    QFETCH(QString, test);
    QFETCH(QString, character);
    QFETCH(bool, holds);
    const auto run = [&](qint16& flag) {
        if (test == u"NUM"_s)
            chkNUM(character, flag);
        else if (test == u"ALPHA"_s)
            chkALPHA(character, flag);
        else if (test == u"DASH"_s)
            chkDASH(character, flag);
        else
            chkSPACE(character, flag);
    };
    qint16 cleared = 0;
    run(cleared);
    QCOMPARE(cleared, qint16(holds ? 1 : 0));
    qint16 other = 5; // a flag that the test does not hold for is left as it was
    run(other);
    QCOMPARE(other, qint16(holds ? 1 : 5));
}

void TestStringRules::checkPN_data()
{
    QTest::addColumn<QString>("strPN");
    QTest::addColumn<int>("iSKIP");
    QTest::addColumn<QString>("curPN");
    QTest::addColumn<int>("records"); // what the database test answers; -1: it fails
    QTest::addColumn<int>("pnCHECK");
    QTest::addColumn<QString>("message"); // shown while lsttestPN is red; empty: accepted
    QTest::addColumn<QString>("after");   // the status when checkPN returns
    QTest::addColumn<int>("queries");

    const QString reviewing = u"Reviewing Part Number string for validity"_s;
    const QString tooLong = u"ERROR: PN is limited to 25 characters"_s;
    const QString blank = u"ERROR: Part Number field is blank"_s;
    const QString tooShort = u"ERROR: Part Number must be at least 3 characters"_s;
    const QString chars = u"ERROR: Allowed PN chars = A-Z/0-9/dash/space"_s;
    const QString alnum = u"ERROR: PN must contain at least 3 alphanumeric chars"_s;
    const QString exists = u"ERROR: Updated PN string already exists"_s;
    const QString loaded = u"AB-100"_s;
    // clang-format off
    QTest::newRow("26 characters: length before anything") << u"abcdefghijklmnopqrstuvwx_z"_s << 1 << loaded << 1 << 0 << tooLong << tooLong << 0;
    QTest::newRow("25 characters accepted")     << u"ABCDEFGHIJKLMNOPQRSTUVWXY"_s << 0 << loaded << 0 << 1 << QString() << reviewing << 0;
    QTest::newRow("blank")                      << QString() << 1 << loaded << 0 << 0 << blank << blank << 0;
    QTest::newRow("AB too short")               << u"AB"_s << 0 << loaded << 0 << 0 << tooShort << tooShort << 0;
    QTest::newRow("AB_1 underscore")            << u"AB_1"_s << 0 << loaded << 0 << 0 << chars << chars << 0;
    QTest::newRow("lower case not allowed")     << u"ab-100"_s << 1 << loaded << 0 << 0 << chars << chars << 0;
    QTest::newRow("A-B C passes alphanumeric")  << u"A-B C"_s << 0 << loaded << 0 << 1 << QString() << reviewing << 0;
    QTest::newRow("A--B fails alphanumeric")    << u"A--B"_s << 0 << loaded << 0 << 0 << alnum << alnum << 0;
    QTest::newRow("existing PN refused")        << u"AB-200"_s << 1 << loaded << 1 << 0 << exists << previousStatus << 1;
    QTest::newRow("PN stored twice refused")    << u"AB-200"_s << 1 << loaded << 2 << 0 << exists << previousStatus << 1;
    QTest::newRow("new PN accepted")            << u"AB-200"_s << 1 << loaded << 0 << 1 << QString() << reviewing << 1;
    QTest::newRow("failed lookup counts none")  << u"AB-200"_s << 1 << loaded << -1 << 1 << QString() << reviewing << 1;
    QTest::newRow("loaded PN not looked up")    << u"AB-100"_s << 1 << loaded << 1 << 1 << QString() << reviewing << 0;
    QTest::newRow("no lookup without iSKIP 1")  << u"AB-200"_s << 0 << loaded << 1 << 1 << QString() << reviewing << 0;
    QTest::newRow("iSKIP 2 is no lookup")       << u"AB-200"_s << 2 << loaded << 1 << 1 << QString() << reviewing << 0;
    QTest::newRow("case differs from loaded")   << u"AB-100A"_s << 1 << u"AB-100a"_s << 1 << 0 << exists << previousStatus << 1;
    // clang-format on
}

void TestStringRules::checkPN()
{
    QFETCH(QString, strPN);
    QFETCH(int, iSKIP);
    QFETCH(QString, curPN);
    QFETCH(int, records);
    QFETCH(int, pnCHECK);
    QFETCH(QString, message);
    QFETCH(QString, after);
    QFETCH(int, queries);

    RecordingPause pause;
    Form form;
    QVERIFY(form.showAndActivate());
    QStringList asked;
    PartNumberRule rule(form.txtStatus, form.lsttestPN, &pause,
                        [&](const QString& pn, qint16& count, const QString& wFROM) {
                            asked << pn + u'|' + wFROM;
                            if (records >= 0)
                                count = qint16(records);
                        });
    PaintCounter counter(form.txtStatus);
    QCoreApplication::processEvents();
    counter.paints = 0;
    QList<Seen> seen;
    pause.during = [&](double) {
        seen.append({form.txtStatus->text(), backColor(form.lsttestPN), counter.paints});
    };

    qint16 result = -1;
    rule.checkPN(strPN, result, qint16(iSKIP), u"lsttestPN"_s, curPN);

    QCOMPARE(int(result), pnCHECK);
    QCOMPARE(asked.size(), queries);
    if (queries > 0)
        QCOMPARE(asked.first(), strPN + u"|lsttestPN"_s);
    if (message.isEmpty()) {
        QVERIFY(pause.waits.isEmpty());
        QVERIFY(counter.paints >= 1); // "Reviewing ..." was shown at once
    } else {
        QCOMPARE(pause.waits, QList<double>{3});
        QCOMPARE(seen.first().status, message);
        QCOMPARE(seen.first().colour, colors::red);
        QVERIFY(seen.first().statusPaints >= 2); // the opening text and the message, each at once
    }
    QCOMPARE(backColor(form.lsttestPN), colors::white);
    QCOMPARE(form.txtStatus->text(), after);
}

QTEST_MAIN(TestStringRules)
#include "tst_stringrules.moc"
