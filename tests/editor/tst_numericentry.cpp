#include "Colors.h"
#include "EventLoopPause.h"
#include "NumericEntry.h"
#include "RecordingPause.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <map>
#include <memory>

using namespace Qt::StringLiterals;
using namespace zelmar;
using zelmar::test::PaintCounter;
using zelmar::test::RecordingPause;
using zelmar::test::Seen;

Q_DECLARE_METATYPE(zelmar::NumericField)

namespace {

const QString previousStatus = u"Waiting for User Input"_s;

// The status box, the seven numeric fields and one more field to move the focus to,
// each field guarded by its rule as the editor window guards it.
struct Form
{
    explicit Form(Pause* pause, RuleWiring wiring = RuleWiring::Automatic)
    {
        auto* layout = new QVBoxLayout(&window);
        txtStatus = new QLineEdit(previousStatus, &window);
        txtStatus->setObjectName(u"txtStatus"_s);
        layout->addWidget(txtStatus);
        for (const NumericFieldSpec& spec : numericFieldSpecs()) {
            auto* field = new QLineEdit(&window);
            field->setObjectName(QString::fromLatin1(spec.name));
            layout->addWidget(field);
            fields[spec.field] = field;
            rules[spec.field] = new NumericFieldRule(spec, field, txtStatus, pause, wiring, &window);
        }
        txtPort = new QLineEdit(&window);
        txtPort->setObjectName(u"txtPort"_s);
        layout->addWidget(txtPort);
    }

    // Sets a field's text without its rule seeing the change.
    void putText(NumericField f, const QString& text)
    {
        const QSignalBlocker block(fields[f]);
        fields[f]->setText(text);
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
    QLineEdit* txtPort = nullptr;
    std::map<NumericField, QLineEdit*> fields;
    std::map<NumericField, NumericFieldRule*> rules;
};

// Records, at the start of each wait, the status text, the field's colour and the
// number of times the status box was painted since the count was reset.
void watch(RecordingPause& pause, QList<Seen>& seen, QLineEdit* field, QLineEdit* status,
           PaintCounter* counter)
{
    pause.during = [&seen, field, status, counter](double) {
        seen.append({status->text(), backColor(field), counter ? counter->paints : 0});
    };
}

} // namespace

class TestNumericEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void validateNumeric_data();
    void validateNumeric();
    void readNumber_data();
    void readNumber();
    void formatNumber_data();
    void formatNumber();
    void fieldCheck_data();
    void fieldCheck();
    void typing_data();
    void typing();
    void leaveFormat_data();
    void leaveFormat();
    void enterChecksWithoutMovingTheFocus_data();
    void enterChecksWithoutMovingTheFocus();
    void leavingChecksThenReprints();
    void nestedFlashesRestoreTheStatusInOrder();
    void windowGoneDuringAFlash();
    void closingWithTheFocusInAWrongField();
    void timeDelayPassesTheLengthOn();
};

void TestNumericEntry::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestNumericEntry::validateNumeric_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty while typing") << QString() << true;
    QTest::newRow("lone minus") << u"-"_s << true;
    QTest::newRow("lone plus") << u"+"_s << true;
    QTest::newRow("plus point") << u"+."_s << true;
    QTest::newRow("minus point") << u"-."_s << true;
    QTest::newRow("lone point") << u"."_s << true;
    QTest::newRow("integer") << u"12"_s << true;
    QTest::newRow("negative fraction") << u"-0.5"_s << true;
    QTest::newRow("leading point") << u".5"_s << true;
    QTest::newRow("trailing point") << u"3."_s << true;
    QTest::newRow("grouped as re-printed") << u"1,500.0"_s << true;
    QTest::newRow("comma while typing 1,500") << u"1,"_s << true;
    QTest::newRow("letter") << u"12a"_s << false;
    QTest::newRow("two points") << u"1.2.3"_s << false;
    QTest::newRow("two signs") << u"--"_s << false;
    QTest::newRow("blank is not empty") << u" "_s << false;
    QTest::newRow("nan is no number") << u"nan"_s << false;
    QTest::newRow("inf is no number") << u"inf"_s << false;
}

void TestNumericEntry::validateNumeric()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(ValidateNumeric(text), valid);
}

void TestNumericEntry::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("re-printed grouping reads back") << u"1,500.0"_s << true << 1500.0;
    QTest::newRow("large grouping") << u"12,000,000"_s << true << 12e6;
    QTest::newRow("grouping left after deleting a digit") << u"1,00.0"_s << true << 100.0;
    QTest::newRow("separator after the point refused") << u"1.5,0"_s << false << 0.0;
    QTest::newRow("separator with no digit before refused") << u",5"_s << false << 0.0;
    QTest::newRow("surrounding blanks") << u" 12 "_s << true << 12.0;
    QTest::newRow("exponent") << u"1e3"_s << true << 1000.0;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("lone sign") << u"-"_s << false << 0.0;
    QTest::newRow("lone point") << u"."_s << false << 0.0;
}

void TestNumericEntry::readNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    double read = -99;
    QCOMPARE(zelmar::readNumber(text, &read), ok);
    if (ok)
        QCOMPARE(read, value);
}

void TestNumericEntry::formatNumber_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("grouped 1 place") << u"en_US"_s << 1500.0 << 1 << u"1,500.0"_s;
    QTest::newRow("2.345 rounds up as typed") << u"en_US"_s << 2.345 << 2 << u"2.35"_s;
    QTest::newRow("1.005 rounds up as typed") << u"en_US"_s << 1.005 << 2 << u"1.01"_s;
    QTest::newRow("carry into the whole part") << u"en_US"_s << 999.96 << 1 << u"1,000.0"_s;
    QTest::newRow("tolerance 0.995 shows 1.0") << u"en_US"_s << 0.995 << 1 << u"1.0"_s;
    QTest::newRow("no minus on a rounded zero") << u"en_US"_s << -0.04 << 1 << u"0.0"_s;
    QTest::newRow("negative half away from zero") << u"en_US"_s << -2.5 << 0 << u"-3"_s;
    QTest::newRow("whole with grouping") << u"en_US"_s << 12e6 << 0 << u"12,000,000"_s;
    QTest::newRow("many places keep typed digits")
        << u"en_US"_s << 0.1 << 22 << u"0.1000000000000000000000"_s;
    QTest::newRow("padding") << u"en_US"_s << 7.0 << 2 << u"7.00"_s;
    QTest::newRow("German decimal comma") << u"de_DE"_s << 1500.25 << 2 << u"1.500,25"_s;
}

void TestNumericEntry::formatNumber()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QLocale::setDefault(QLocale(locale));
    const QString shown = zelmar::formatNumber(value, decimals);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(shown, expected);
}

void TestNumericEntry::fieldCheck_data()
{
    QTest::addColumn<NumericField>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QList<double>>("waits");
    QTest::addColumn<QString>("message"); // shown during the flash; empty: the status is left alone
    QTest::addColumn<bool>("repaint");    // status box repainted before the pause

    using F = NumericField;
    const QList<double> none;
    const QString quiet;
    // clang-format off
    QTest::newRow("min below 0")            << F::txtMinSpec << u"-0.5"_s << u"0.0"_s << QList<double>{4} << quiet << false;
    QTest::newRow("min above 100000000")    << F::txtMinSpec << u"100000000.5"_s << u"0.0"_s << QList<double>{4} << quiet << false;
    QTest::newRow("min 100000000 passes")   << F::txtMinSpec << u"100000000"_s << u"100000000"_s << none << quiet << false;
    QTest::newRow("min 0 passes")           << F::txtMinSpec << u"0"_s << u"0"_s << none << quiet << false;
    QTest::newRow("min empty, no flash")    << F::txtMinSpec << QString() << u"0.0"_s << none << quiet << false;
    QTest::newRow("min lone minus")         << F::txtMinSpec << u"-"_s << u"0.0"_s << none << quiet << false;
    QTest::newRow("max below 0")            << F::txtMaxSpec << u"-1"_s << u"100.0"_s << QList<double>{2} << quiet << false;
    QTest::newRow("max above 100000000")    << F::txtMaxSpec << u"100000001"_s << u"100.0"_s << QList<double>{2} << quiet << false;
    QTest::newRow("max grouped passes")     << F::txtMaxSpec << u"1,500.0"_s << u"1,500.0"_s << none << quiet << false;
    QTest::newRow("max empty flashes 2 s")  << F::txtMaxSpec << QString() << u"0.0"_s << QList<double>{2} << quiet << false;
    QTest::newRow("max lone point")         << F::txtMaxSpec << u"."_s << u"0.0"_s << QList<double>{2} << quiet << false;
    QTest::newRow("avg 0")                  << F::txtAVG << u"0"_s << u"1"_s << QList<double>{4} << quiet << false;
    QTest::newRow("avg 26")                 << F::txtAVG << u"26"_s << u"25"_s << QList<double>{4} << quiet << false;
    QTest::newRow("avg 1 passes")           << F::txtAVG << u"1"_s << u"1"_s << none << quiet << false;
    QTest::newRow("avg 25 passes")          << F::txtAVG << u"25"_s << u"25"_s << none << quiet << false;
    QTest::newRow("avg lone plus")          << F::txtAVG << u"+"_s << u"2"_s << QList<double>{4} << u"ERROR: Text average was out of bounds"_s << false;
    QTest::newRow("delay negative")         << F::txtTDLY << u"-1"_s << u"0.0"_s << QList<double>{3} << u"ERROR: Time Delay value was negative"_s << true;
    QTest::newRow("delay 45")               << F::txtTDLY << u"45"_s << u"30"_s << QList<double>{3} << u"ERROR: Time Delay value was out of bounds"_s << true;
    QTest::newRow("delay 0 passes")         << F::txtTDLY << u"0"_s << u"0"_s << none << quiet << false;
    QTest::newRow("delay 30 passes")        << F::txtTDLY << u"30"_s << u"30"_s << none << quiet << false;
    QTest::newRow("delay minus point")      << F::txtTDLY << u"-."_s << u"0.25"_s << QList<double>{3} << u"ERROR: Time Delay value was unrecognizable"_s << false;
    QTest::newRow("tol 0.5")                << F::txtssTOL << u"0.5"_s << u"1.0"_s << QList<double>{3} << u"ERROR: Stability Tol must be >= 1%"_s << true;
    QTest::newRow("tol 0.98 below 0.99")    << F::txtssTOL << u"0.98"_s << u"1.0"_s << QList<double>{3} << u"ERROR: Stability Tol must be >= 1%"_s << true;
    QTest::newRow("tol 0.99 passes")        << F::txtssTOL << u"0.99"_s << u"0.99"_s << none << quiet << false;
    QTest::newRow("tol 0.995 passes")       << F::txtssTOL << u"0.995"_s << u"0.995"_s << none << quiet << false;
    QTest::newRow("tol 20 passes")          << F::txtssTOL << u"20"_s << u"20"_s << none << quiet << false;
    QTest::newRow("tol 20.005 passes")      << F::txtssTOL << u"20.005"_s << u"20.005"_s << none << quiet << false;
    QTest::newRow("tol 20.02 above 20.01")  << F::txtssTOL << u"20.02"_s << u"20.0"_s << QList<double>{3} << u"ERROR: Stability Tol must be <= 20%"_s << true;
    QTest::newRow("tol 25")                 << F::txtssTOL << u"25"_s << u"20.0"_s << QList<double>{3} << u"ERROR: Stability Tol must be <= 20%"_s << true;
    QTest::newRow("tol empty")              << F::txtssTOL << QString() << u"5.0"_s << QList<double>{3} << u"ERROR: Stability Tol entry was unknown"_s << true;
    QTest::newRow("wait 1.5")               << F::txtssMAXT << u"1.5"_s << u"2.0"_s << QList<double>{4} << u"ERROR: Max Wait Time must be >= 2 secs"_s << false;
    QTest::newRow("wait 11")                << F::txtssMAXT << u"11"_s << u"10.0"_s << QList<double>{4} << u"ERROR: Max Wait Time must be <= 10 secs"_s << false;
    QTest::newRow("wait 2 passes")          << F::txtssMAXT << u"2"_s << u"2"_s << none << quiet << false;
    QTest::newRow("wait 10 passes")         << F::txtssMAXT << u"10"_s << u"10"_s << none << quiet << false;
    QTest::newRow("wait lone minus")        << F::txtssMAXT << u"-"_s << u"2.0"_s << QList<double>{4} << u"ERROR: Max Wait Time Value was unrecognized"_s << false;
    QTest::newRow("auto 3")                 << F::txtautoTIME << u"3"_s << u"5.0"_s << QList<double>{4} << quiet << false;
    QTest::newRow("auto 200")               << F::txtautoTIME << u"200"_s << u"120.0"_s << QList<double>{4} << quiet << false;
    QTest::newRow("auto 1,500 grouped")     << F::txtautoTIME << u"1,500"_s << u"120.0"_s << QList<double>{4} << quiet << false;
    QTest::newRow("auto 45 re-printed")     << F::txtautoTIME << u"45"_s << u"45.0"_s << none << quiet << false;
    QTest::newRow("auto 5 passes")          << F::txtautoTIME << u"5"_s << u"5.0"_s << none << quiet << false;
    QTest::newRow("auto 120 passes")        << F::txtautoTIME << u"120"_s << u"120.0"_s << none << quiet << false;
    QTest::newRow("auto empty")             << F::txtautoTIME << QString() << u"60.0"_s << QList<double>{4} << quiet << false;
    // clang-format on
}

void TestNumericEntry::fieldCheck()
{
    QFETCH(NumericField, field);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(QList<double>, waits);
    QFETCH(QString, message);
    QFETCH(bool, repaint);

    RecordingPause pause;
    Form form(&pause);
    QVERIFY(form.showAndActivate());
    QLineEdit* edit = form.fields[field];
    form.putText(field, text);
    PaintCounter counter(form.txtStatus);
    QCoreApplication::processEvents(); // paints that are due anyway
    counter.paints = 0;
    QList<Seen> seen;
    watch(pause, seen, edit, form.txtStatus, &counter);

    bool cancel = false;
    form.rules[field]->Validate(cancel);

    QVERIFY(!cancel);
    QCOMPARE(edit->text(), expected);
    QCOMPARE(pause.waits, waits);
    if (!waits.isEmpty()) {
        QCOMPARE(seen.first().colour, colors::red);
        QCOMPARE(seen.first().status, message.isEmpty() ? previousStatus : message);
        QCOMPARE(seen.first().statusPaints > 0, repaint);
    }
    QCOMPARE(backColor(edit), colors::white);
    QCOMPARE(form.txtStatus->text(), previousStatus);
}

void TestNumericEntry::typing_data()
{
    QTest::addColumn<NumericField>("field");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    using F = NumericField;
    // clang-format off
    QTest::newRow("letter in tolerance gives 5.0 at once") << F::txtssTOL << u"12"_s << u"a"_s << u"5.0"_s;
    QTest::newRow("letter in min gives 0.0")         << F::txtMinSpec << u"1"_s << u"x"_s << u"0.0"_s;
    QTest::newRow("letter in max gives 100.0")       << F::txtMaxSpec << u"1"_s << u"x"_s << u"100.0"_s;
    QTest::newRow("letter in avg gives 2")           << F::txtAVG << u"1"_s << u"x"_s << u"2"_s;
    QTest::newRow("letter in delay gives 0.25")      << F::txtTDLY << u"1"_s << u"x"_s << u"0.25"_s;
    QTest::newRow("letter in wait gives 2.0")        << F::txtssMAXT << u"1"_s << u"x"_s << u"2.0"_s;
    QTest::newRow("letter in auto gives 60.0")       << F::txtautoTIME << u"1"_s << u"x"_s << u"60.0"_s;
    QTest::newRow("second point replaced")           << F::txtTDLY << QString() << u"1.2."_s << u"0.25"_s;
    QTest::newRow("lone minus survives typing")      << F::txtMinSpec << QString() << u"-"_s << u"-"_s;
    QTest::newRow("lone point survives typing")      << F::txtssTOL << QString() << u"."_s << u"."_s;
    QTest::newRow("minus point survives typing")     << F::txtTDLY << QString() << u"-."_s << u"-."_s;
    QTest::newRow("plus point survives typing")      << F::txtAVG << QString() << u"+."_s << u"+."_s;
    QTest::newRow("grouped number survives typing")  << F::txtMaxSpec << QString() << u"1,500.25"_s << u"1,500.25"_s;
    QTest::newRow("typing a number is left alone")   << F::txtssMAXT << QString() << u"7.5"_s << u"7.5"_s;
    // clang-format on
}

void TestNumericEntry::typing()
{
    QFETCH(NumericField, field);
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, expected);

    RecordingPause pause;
    Form form(&pause);
    QVERIFY(form.showAndActivate());
    QLineEdit* edit = form.fields[field];
    form.putText(field, start);
    edit->setFocus(Qt::MouseFocusReason);
    edit->end(false);
    QTest::keyClicks(edit, keys);
    QCOMPARE(edit->text(), expected);
    QVERIFY(pause.waits.isEmpty()); // typing never flashes
}

void TestNumericEntry::leaveFormat_data()
{
    QTest::addColumn<NumericField>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QList<double>>("waits");
    using F = NumericField;
    const QList<double> none;
    // clang-format off
    QTest::newRow("min keeps 3 typed decimals")  << F::txtMinSpec << u"2.500"_s << u"2.500"_s << none;
    QTest::newRow("min no point gives 1")        << F::txtMinSpec << u"7"_s << u"7.0"_s << none;
    QTest::newRow("min trailing point gives 1")  << F::txtMinSpec << u"3."_s << u"3.0"_s << none;
    QTest::newRow("min grouped on leaving")      << F::txtMinSpec << u"1500"_s << u"1,500.0"_s << none;
    QTest::newRow("min re-printed text stays")   << F::txtMinSpec << u"1,500.0"_s << u"1,500.0"_s << none;
    QTest::newRow("min emptied, no flash")       << F::txtMinSpec << QString() << u"0.0"_s << none;
    QTest::newRow("min lone minus left")         << F::txtMinSpec << u"-"_s << u"0.0"_s << none;
    QTest::newRow("min negative flashed once")   << F::txtMinSpec << u"-5"_s << u"0.0"_s << QList<double>{4};
    QTest::newRow("max emptied flashes 2 s")     << F::txtMaxSpec << QString() << u"0.0"_s << QList<double>{2};
    QTest::newRow("max keeps 4 typed decimals")  << F::txtMaxSpec << u"12.3456"_s << u"12.3456"_s << none;
    QTest::newRow("avg 7 shows 7.00")            << F::txtAVG << u"7"_s << u"7.00"_s << none;
    QTest::newRow("avg lone point left")         << F::txtAVG << u"."_s << u"2.00"_s << QList<double>{4};
    QTest::newRow("avg 0 corrected then 1.00")   << F::txtAVG << u"0"_s << u"1.00"_s << QList<double>{4};
    QTest::newRow("delay 2.345 rounds to 2.35")  << F::txtTDLY << u"2.345"_s << u"2.35"_s << none;
    QTest::newRow("delay 45 then 30.00")         << F::txtTDLY << u"45"_s << u"30.00"_s << QList<double>{3};
    QTest::newRow("tol 0.995 shows 1.0")         << F::txtssTOL << u"0.995"_s << u"1.0"_s << none;
    QTest::newRow("tol 12.25 shows 12.3")        << F::txtssTOL << u"12.25"_s << u"12.3"_s << none;
    QTest::newRow("tol lone minus left")         << F::txtssTOL << u"-"_s << u"5.0"_s << QList<double>{3};
    QTest::newRow("wait 5 shows 5.0")            << F::txtssMAXT << u"5"_s << u"5.0"_s << none;
    QTest::newRow("auto 45 shows 45.0")          << F::txtautoTIME << u"45"_s << u"45.0"_s << none;
    // clang-format on
}

void TestNumericEntry::leaveFormat()
{
    QFETCH(NumericField, field);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(QList<double>, waits);

    RecordingPause pause;
    Form form(&pause);
    form.putText(field, text);
    form.rules[field]->LostFocus();
    QCOMPARE(form.fields[field]->text(), expected);
    // The check runs again inside the leave handler and finds nothing more to correct.
    QCOMPARE(pause.waits, waits);
    QCOMPARE(backColor(form.fields[field]), colors::white);
}

void TestNumericEntry::enterChecksWithoutMovingTheFocus_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
}

void TestNumericEntry::enterChecksWithoutMovingTheFocus()
{
    QFETCH(int, key);
    EventLoopPause real(0);
    RecordingPause pause(&real);
    Form form(&pause);
    QVERIFY(form.showAndActivate());
    QLineEdit* edit = form.fields[NumericField::txtTDLY];
    edit->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    QTest::keyClicks(edit, u"45"_s);
    QSignalSpy reached(edit, &QLineEdit::returnPressed);

    QTest::keyClick(edit, Qt::Key(key));

    QCOMPARE(edit->text(), u"30"_s);
    QCOMPARE(pause.waits, QList<double>{3});
    QCOMPARE(reached.count(), 1); // the key still reached the field
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(form.txtStatus->text(), previousStatus);
}

void TestNumericEntry::leavingChecksThenReprints()
{
    RecordingPause pause;
    Form form(&pause);
    QVERIFY(form.showAndActivate());
    QLineEdit* avg = form.fields[NumericField::txtAVG];
    avg->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), avg);
    QTest::keyClicks(avg, u"0"_s);
    QList<Seen> seen;
    watch(pause, seen, avg, form.txtStatus, nullptr);

    form.txtPort->setFocus(Qt::TabFocusReason);

    QCOMPARE(QApplication::focusWidget(), form.txtPort); // the focus is not held
    QCOMPARE(avg->text(), u"1.00"_s);
    QCOMPARE(pause.waits, QList<double>{4});
    QCOMPARE(seen.first().colour, colors::red);
    QCOMPARE(backColor(avg), colors::white);

    // A bound correction shown on leaving reads back as a number.
    QLineEdit* max = form.fields[NumericField::txtMaxSpec];
    max->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), max);
    QTest::keyClicks(max, u"1500"_s);
    form.txtPort->setFocus(Qt::TabFocusReason);
    QCOMPARE(max->text(), u"1,500.0"_s);
    max->setFocus(Qt::MouseFocusReason);
    form.txtPort->setFocus(Qt::TabFocusReason);
    QCOMPARE(max->text(), u"1,500.0"_s);
    QCOMPARE(pause.waits, QList<double>{4});
}

void TestNumericEntry::nestedFlashesRestoreTheStatusInOrder()
{
    RecordingPause pause;
    Form form(&pause);
    QLineEdit* delay = form.fields[NumericField::txtTDLY];
    QLineEdit* wait = form.fields[NumericField::txtssMAXT];
    form.putText(NumericField::txtTDLY, u"45"_s);
    form.putText(NumericField::txtssMAXT, u"11"_s);
    QStringList statusDuring;
    pause.during = [&](double) {
        statusDuring << form.txtStatus->text();
        // The operator leaves another wrong field while the first flash is on.
        if (pause.waits.size() == 1)
            form.rules[NumericField::txtssMAXT]->Validate();
    };

    form.rules[NumericField::txtTDLY]->Validate();

    QCOMPARE(pause.waits, (QList<double>{3, 4}));
    QCOMPARE(statusDuring, (QStringList{u"ERROR: Time Delay value was out of bounds"_s,
                                        u"ERROR: Max Wait Time must be <= 10 secs"_s}));
    QCOMPARE(delay->text(), u"30"_s);
    QCOMPARE(wait->text(), u"10.0"_s);
    QCOMPARE(backColor(delay), colors::white);
    QCOMPARE(backColor(wait), colors::white);
    QCOMPARE(form.txtStatus->text(), previousStatus);
}

void TestNumericEntry::windowGoneDuringAFlash()
{
    RecordingPause pause;
    auto form = std::make_unique<Form>(&pause);
    NumericFieldRule* rule = form->rules[NumericField::txtTDLY];
    form->putText(NumericField::txtTDLY, u"45"_s);
    pause.during = [&form](double) {
        form.reset();
    };
    // The leave handler goes on after the check's pause; the rule and its widgets are gone.
    rule->LostFocus();
    QVERIFY(!form);
    QCOMPARE(pause.waits, QList<double>{3});
}

void TestNumericEntry::closingWithTheFocusInAWrongField()
{
    RecordingPause pause;
    auto form = std::make_unique<Form>(&pause);
    QVERIFY(form->showAndActivate());
    QLineEdit* delay = form->fields[NumericField::txtTDLY];
    delay->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), delay);
    QTest::keyClicks(delay, u"45"_s);
    // Destroying the window takes the focus from the field; that is no leaving to check.
    form.reset();
    QVERIFY(pause.waits.isEmpty());
}

void TestNumericEntry::timeDelayPassesTheLengthOn()
{
    RecordingPause pause;
    timeDELAY(&pause, 2.5);
    timeDELAY(nullptr, 2.5);
    QCOMPARE(pause.waits, QList<double>{2.5});
}

QTEST_MAIN(TestNumericEntry)
#include "tst_numericentry.moc"
