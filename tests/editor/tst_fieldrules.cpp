// The entry rules of the editor's fields on bare line edits: the numeric field table
// (bounds, replacements, messages, pauses, leave formats), the number texts they read
// and print, the serial-number format check, its pattern and the serial-number match,
// and the part-number character tests.
#include "Colors.h"
#include "EditorFakes.h"
#include "EventLoopPause.h"
#include "NumericEntry.h"
#include "PartNumberRules.h"
#include "SerialNumberRules.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <memory>

using namespace Qt::StringLiterals;
using namespace zelmar;
using zelmar::test::PaintCounter;
using zelmar::test::RecordingPause;
using zelmar::test::Seen;
using F = zelmar::NumericField;

Q_DECLARE_METATYPE(zelmar::NumericField)

namespace {

const QString previousStatus = u"Waiting for User Input"_s;
const QList<double> none;
const double noNumber = std::numeric_limits<double>::quiet_NaN();

// The status box, the seven numeric fields and the serial-number format, each guarded
// by its rule, and one more field to move the focus to.
struct Form
{
    explicit Form(Pause* pause, RuleWiring wiring = RuleWiring::Manual)
    {
        auto* layout = new QVBoxLayout(&window);
        txtStatus = new QLineEdit(previousStatus, &window);
        layout->addWidget(txtStatus);
        for (const NumericFieldSpec& entry : numericFieldSpecs()) {
            auto* field = new QLineEdit(&window);
            layout->addWidget(field);
            fields[entry.field] = field;
            rules[entry.field] = new NumericFieldRule(entry, field, txtStatus, pause, wiring, &window);
        }
        txtsnFORMAT = new QLineEdit(&window);
        lblsnLEN = new QLabel(&window);
        txtPort = new QLineEdit(&window);
        for (QWidget* w : std::initializer_list<QWidget*>{txtsnFORMAT, lblsnLEN, txtPort})
            layout->addWidget(w);
        snFormat = new SerialFormatRule(txtsnFORMAT, lblsnLEN, txtStatus, pause, wiring, &window);
    }
    // Sets a field's text without its rule seeing the change.
    void putText(F f, const QString& text)
    {
        const QSignalBlocker block(fields[f]);
        fields[f]->setText(text);
    }
    // Puts the focus in `edit` by a click and types `keys` at its end.
    static bool typeInto(QLineEdit* edit, const QString& keys)
    {
        edit->setFocus(Qt::MouseFocusReason);
        if (QApplication::focusWidget() != edit)
            return false;
        edit->end(false);
        QTest::keyClicks(edit, keys);
        return true;
    }

    QWidget window;
    QLineEdit* txtStatus = nullptr;
    QLineEdit* txtsnFORMAT = nullptr;
    QLabel* lblsnLEN = nullptr;
    QLineEdit* txtPort = nullptr;
    SerialFormatRule* snFormat = nullptr;
    std::map<F, QLineEdit*> fields;
    std::map<F, NumericFieldRule*> rules;
};

QString patternOf(const QString& format)
{
    QString pattern;
    qint16 length = 0;
    ConvertSerialNumber(format, pattern, length);
    return pattern;
}

} // namespace

class TestFieldRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Numbers
    void numberText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whileTyping"); // ValidateNumeric
        QTest::addColumn<double>("value");     // readNumber; NaN: no number
        // clang-format off
        QTest::newRow("empty: typing, no number")      << QString() << true << noNumber;
        QTest::newRow("lone plus")                     << u"+"_s << true << noNumber;
        QTest::newRow("lone point")                    << u"."_s << true << noNumber;
        QTest::newRow("grouping after deleting a digit") << u"1,00.0"_s << true << 100.0;
        QTest::newRow("comma while typing 1,500")      << u"1,"_s << true << 1.0;
        QTest::newRow("separator after the point")     << u"1.5,0"_s << false << noNumber;
        QTest::newRow("separator with no digit before") << u",5"_s << false << noNumber;
        QTest::newRow("surrounding blanks read")       << u" 12 "_s << true << 12.0;
        QTest::newRow("a blank is not empty")          << u" "_s << false << noNumber;
        QTest::newRow("two signs")                     << u"--"_s << false << noNumber;
        QTest::newRow("nan is no number")              << u"nan"_s << false << noNumber;
        QTest::newRow("inf is no number")              << u"inf"_s << false << noNumber;
        // clang-format on
    }

    void numberText()
    {
        QFETCH(QString, text);
        QFETCH(bool, whileTyping);
        QFETCH(double, value);
        QCOMPARE(ValidateNumeric(text), whileTyping);
        double read = -99;
        QCOMPARE(readNumber(text, &read), !std::isnan(value));
        if (!std::isnan(value))
            QCOMPARE(read, value);
    }

    void formatNumber_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("expected");
        QTest::newRow("carry into the grouped whole") << u"en_US"_s << 999.96 << 1 << u"1,000.0"_s;
        QTest::newRow("German separators") << u"de_DE"_s << 1500.25 << 2 << u"1.500,25"_s;
    }

    void formatNumber()
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

    // The numeric field table
    void fieldCheck_data()
    {
        QTest::addColumn<F>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("checked"); // the text after the check
        QTest::addColumn<QList<double>>("waits");
        QTest::addColumn<QString>("message"); // on show during the flash; empty: the status is left alone
        QTest::addColumn<bool>("repaint");    // the status box repainted before the pause
        QTest::addColumn<QString>("left");    // the text after the leave handler (check, then re-print)

        const QList<double> s2{2}, s3{3}, s4{4};
        const QString quiet;
        const QString tolLow = u"ERROR: Stability Tol must be >= 1%"_s;
        const QString tolHigh = u"ERROR: Stability Tol must be <= 20%"_s;
        // clang-format off
        QTest::newRow("min below 0: 0.0, 4 s")        << F::txtMinSpec << u"-0.5"_s << u"0.0"_s << s4 << quiet << false << u"0.0"_s;
        QTest::newRow("min above 100000000: 0.0")     << F::txtMinSpec << u"100000000.5"_s << u"0.0"_s << s4 << quiet << false << u"0.0"_s;
        QTest::newRow("min 0 passes")                 << F::txtMinSpec << u"0"_s << u"0"_s << none << quiet << false << u"0.0"_s;
        QTest::newRow("min 100000000 passes, grouped") << F::txtMinSpec << u"100000000"_s << u"100000000"_s << none << quiet << false << u"100,000,000.0"_s;
        QTest::newRow("min empty: 0.0, no flash")     << F::txtMinSpec << QString() << u"0.0"_s << none << quiet << false << u"0.0"_s;
        QTest::newRow("min keeps 3 typed decimals")   << F::txtMinSpec << u"2.500"_s << u"2.500"_s << none << quiet << false << u"2.500"_s;
        QTest::newRow("min trailing point gives 1")   << F::txtMinSpec << u"3."_s << u"3."_s << none << quiet << false << u"3.0"_s;
        QTest::newRow("min re-printed text stays")    << F::txtMinSpec << u"1,500.0"_s << u"1,500.0"_s << none << quiet << false << u"1,500.0"_s;
        QTest::newRow("max below 0: 100.0, 2 s")      << F::txtMaxSpec << u"-1"_s << u"100.0"_s << s2 << quiet << false << u"100.0"_s;
        QTest::newRow("max above 100000000: 100.0")   << F::txtMaxSpec << u"100000001"_s << u"100.0"_s << s2 << quiet << false << u"100.0"_s;
        QTest::newRow("max keeps 4 typed decimals")   << F::txtMaxSpec << u"12.3456"_s << u"12.3456"_s << none << quiet << false << u"12.3456"_s;
        QTest::newRow("max lone point: 0.0, 2 s")     << F::txtMaxSpec << u"."_s << u"0.0"_s << s2 << quiet << false << u"0.0"_s;
        QTest::newRow("avg 0: 1, 4 s")                << F::txtAVG << u"0"_s << u"1"_s << s4 << quiet << false << u"1.00"_s;
        QTest::newRow("avg 26: 25, 4 s")              << F::txtAVG << u"26"_s << u"25"_s << s4 << quiet << false << u"25.00"_s;
        QTest::newRow("avg 1 passes")                 << F::txtAVG << u"1"_s << u"1"_s << none << quiet << false << u"1.00"_s;
        QTest::newRow("avg 25 passes")                << F::txtAVG << u"25"_s << u"25"_s << none << quiet << false << u"25.00"_s;
        QTest::newRow("avg lone plus: 2, message")    << F::txtAVG << u"+"_s << u"2"_s << s4 << u"ERROR: Text average was out of bounds"_s << false << u"2.00"_s;
        QTest::newRow("delay -1: 0.0, message")       << F::txtTDLY << u"-1"_s << u"0.0"_s << s3 << u"ERROR: Time Delay value was negative"_s << true << u"0.00"_s;
        QTest::newRow("delay 45: 30, message")        << F::txtTDLY << u"45"_s << u"30"_s << s3 << u"ERROR: Time Delay value was out of bounds"_s << true << u"30.00"_s;
        QTest::newRow("delay 0 passes")               << F::txtTDLY << u"0"_s << u"0"_s << none << quiet << false << u"0.00"_s;
        QTest::newRow("delay 30 passes")              << F::txtTDLY << u"30"_s << u"30"_s << none << quiet << false << u"30.00"_s;
        QTest::newRow("delay 2.345 rounds to 2.35")   << F::txtTDLY << u"2.345"_s << u"2.345"_s << none << quiet << false << u"2.35"_s;
        QTest::newRow("delay minus point: 0.25")      << F::txtTDLY << u"-."_s << u"0.25"_s << s3 << u"ERROR: Time Delay value was unrecognizable"_s << false << u"0.25"_s;
        QTest::newRow("tol 0.98: 1.0, message")       << F::txtssTOL << u"0.98"_s << u"1.0"_s << s3 << tolLow << true << u"1.0"_s;
        QTest::newRow("tol 0.99 passes")              << F::txtssTOL << u"0.99"_s << u"0.99"_s << none << quiet << false << u"1.0"_s;
        QTest::newRow("tol 0.995 passes")             << F::txtssTOL << u"0.995"_s << u"0.995"_s << none << quiet << false << u"1.0"_s;
        QTest::newRow("tol 12.25 rounds to 12.3")     << F::txtssTOL << u"12.25"_s << u"12.25"_s << none << quiet << false << u"12.3"_s;
        QTest::newRow("tol 20.005 passes")            << F::txtssTOL << u"20.005"_s << u"20.005"_s << none << quiet << false << u"20.0"_s;
        QTest::newRow("tol 20.02: 20.0, message")     << F::txtssTOL << u"20.02"_s << u"20.0"_s << s3 << tolHigh << true << u"20.0"_s;
        QTest::newRow("tol empty: 5.0, message")      << F::txtssTOL << QString() << u"5.0"_s << s3 << u"ERROR: Stability Tol entry was unknown"_s << true << u"5.0"_s;
        QTest::newRow("wait 1.5: 2.0, message")       << F::txtssMAXT << u"1.5"_s << u"2.0"_s << s4 << u"ERROR: Max Wait Time must be >= 2 secs"_s << false << u"2.0"_s;
        QTest::newRow("wait 11: 10.0, message")       << F::txtssMAXT << u"11"_s << u"10.0"_s << s4 << u"ERROR: Max Wait Time must be <= 10 secs"_s << false << u"10.0"_s;
        QTest::newRow("wait 2 passes")                << F::txtssMAXT << u"2"_s << u"2"_s << none << quiet << false << u"2.0"_s;
        QTest::newRow("wait 10 passes")               << F::txtssMAXT << u"10"_s << u"10"_s << none << quiet << false << u"10.0"_s;
        QTest::newRow("wait lone minus: 2.0")         << F::txtssMAXT << u"-"_s << u"2.0"_s << s4 << u"ERROR: Max Wait Time Value was unrecognized"_s << false << u"2.0"_s;
        QTest::newRow("auto 3: 5.0, 4 s")             << F::txtautoTIME << u"3"_s << u"5.0"_s << s4 << quiet << false << u"5.0"_s;
        QTest::newRow("auto 200: 120.0, 4 s")         << F::txtautoTIME << u"200"_s << u"120.0"_s << s4 << quiet << false << u"120.0"_s;
        QTest::newRow("auto 1,500 grouped: 120.0")    << F::txtautoTIME << u"1,500"_s << u"120.0"_s << s4 << quiet << false << u"120.0"_s;
        QTest::newRow("auto 45 passes as 45.0")       << F::txtautoTIME << u"45"_s << u"45.0"_s << none << quiet << false << u"45.0"_s;
        QTest::newRow("auto 5 passes as 5.0")         << F::txtautoTIME << u"5"_s << u"5.0"_s << none << quiet << false << u"5.0"_s;
        QTest::newRow("auto 120 passes as 120.0")     << F::txtautoTIME << u"120"_s << u"120.0"_s << none << quiet << false << u"120.0"_s;
        QTest::newRow("auto empty: 60.0, 4 s")        << F::txtautoTIME << QString() << u"60.0"_s << s4 << quiet << false << u"60.0"_s;
        // clang-format on
    }

    void fieldCheck()
    {
        QFETCH(F, field);
        QFETCH(QString, text);
        QFETCH(QString, checked);
        QFETCH(QList<double>, waits);
        QFETCH(QString, message);
        QFETCH(bool, repaint);
        QFETCH(QString, left);

        RecordingPause pause;
        Form form(&pause);
        QVERIFY(test::showAndActivate(&form.window));
        QLineEdit* edit = form.fields[field];
        form.putText(field, text);
        PaintCounter counter(form.txtStatus);
        QCoreApplication::processEvents(); // paints that are due anyway
        counter.paints = 0;
        QList<Seen> seen;
        pause.during = [&](double) {
            seen.append({form.txtStatus->text(), backColor(edit), counter.paints});
        };

        bool cancel = false;
        form.rules[field]->Validate(cancel);

        QVERIFY(!cancel);
        QCOMPARE(edit->text(), checked);
        QCOMPARE(pause.waits, waits);
        if (!waits.isEmpty()) {
            QCOMPARE(seen.first().colour, colors::red);
            QCOMPARE(seen.first().status, message.isEmpty() ? previousStatus : message);
            QCOMPARE(seen.first().statusPaints > 0, repaint);
        }
        QCOMPARE(backColor(edit), colors::white);
        QCOMPARE(form.txtStatus->text(), previousStatus);

        // Leaving checks (flashing as above), then re-prints in the field's leave format.
        form.putText(field, text);
        pause.waits.clear();
        form.rules[field]->LostFocus();
        QCOMPARE(edit->text(), left);
        QCOMPARE(pause.waits, waits);
    }

    void typing_data()
    {
        QTest::addColumn<F>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("letter in tolerance gives 5.0 at once") << F::txtssTOL << u"12a"_s << u"5.0"_s;
        QTest::newRow("letter in min gives 0.0")         << F::txtMinSpec << u"x"_s << u"0.0"_s;
        QTest::newRow("letter in max gives 100.0")       << F::txtMaxSpec << u"x"_s << u"100.0"_s;
        QTest::newRow("letter in avg gives 2")           << F::txtAVG << u"x"_s << u"2"_s;
        QTest::newRow("letter in delay gives 0.25")      << F::txtTDLY << u"x"_s << u"0.25"_s;
        QTest::newRow("letter in wait gives 2.0")        << F::txtssMAXT << u"x"_s << u"2.0"_s;
        QTest::newRow("letter in auto gives 60.0")       << F::txtautoTIME << u"x"_s << u"60.0"_s;
        QTest::newRow("second point in delay replaced")  << F::txtTDLY << u"1.2."_s << u"0.25"_s;
        QTest::newRow("lone minus survives typing")      << F::txtMinSpec << u"-"_s << u"-"_s;
        QTest::newRow("minus point survives typing")     << F::txtTDLY << u"-."_s << u"-."_s;
        QTest::newRow("plus point survives typing")      << F::txtAVG << u"+."_s << u"+."_s;
        QTest::newRow("grouped number survives typing")  << F::txtMaxSpec << u"1,500.25"_s << u"1,500.25"_s;
        QTest::newRow("out of bounds is no typing matter") << F::txtssMAXT << u"75"_s << u"75"_s;
        // clang-format on
    }

    void typing()
    {
        QFETCH(F, field);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        RecordingPause pause;
        Form form(&pause, RuleWiring::Automatic);
        QVERIFY(test::showAndActivate(&form.window));
        QVERIFY(Form::typeInto(form.fields[field], keys));
        QCOMPARE(form.fields[field]->text(), expected);
        QVERIFY(pause.waits.isEmpty()); // typing never checks nor flashes
    }

    void nestedFlashesRestoreTheStatusInOrder()
    {
        RecordingPause pause;
        Form form(&pause);
        form.putText(F::txtTDLY, u"45"_s);
        form.putText(F::txtssMAXT, u"11"_s);
        QStringList statusDuring;
        pause.during = [&](double) {
            statusDuring << form.txtStatus->text();
            // The operator leaves another wrong field while the first flash is on.
            if (pause.waits.size() == 1)
                form.rules[F::txtssMAXT]->Validate();
        };

        form.rules[F::txtTDLY]->Validate();

        QCOMPARE(pause.waits, (QList<double>{3, 4}));
        QCOMPARE(statusDuring, (QStringList{u"ERROR: Time Delay value was out of bounds"_s,
                                            u"ERROR: Max Wait Time must be <= 10 secs"_s}));
        QCOMPARE(backColor(form.fields[F::txtTDLY]), colors::white);
        QCOMPARE(backColor(form.fields[F::txtssMAXT]), colors::white);
        QCOMPARE(form.txtStatus->text(), previousStatus);
    }

    void rulesListenToTheirFields()
    {
        EventLoopPause real(0);
        RecordingPause pause(&real);
        auto form = std::make_unique<Form>(&pause, RuleWiring::Automatic);
        QVERIFY(test::showAndActivate(&form->window));
        // Enter checks; the key still reaches the field and the focus stays.
        QLineEdit* delay = form->fields[F::txtTDLY];
        QVERIFY(Form::typeInto(delay, u"45"_s));
        QSignalSpy reached(delay, &QLineEdit::returnPressed);
        QTest::keyClick(delay, Qt::Key_Return);
        QCOMPARE(delay->text(), u"30"_s);
        QCOMPARE(reached.count(), 1);
        QCOMPARE(QApplication::focusWidget(), delay);
        // Leaving checks, then re-prints; the format is checked as it is left, not while typed.
        QVERIFY(Form::typeInto(form->txtsnFORMAT, u"x#"_s));
        QCOMPARE(delay->text(), u"30.00"_s);
        QCOMPARE(pause.waits, QList<double>{3});
        form->txtPort->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), form->txtPort); // the focus is not held
        QCOMPARE(form->txtsnFORMAT->text(), u"#"_s);
        QCOMPARE(pause.waits, (QList<double>{3, 2.5}));
        // Destroying the window takes the focus from a wrong field: that is no leaving.
        QVERIFY(Form::typeInto(form->fields[F::txtAVG], u"0"_s));
        form.reset();
        QCOMPARE(pause.waits, (QList<double>{3, 2.5}));
    }

    // Serial-number format, pattern and match; part-number characters
    void formatCheck_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cleaned");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("message"); // empty: no flash
        QTest::addColumn<quint32>("colour");
        const QString removed = u"ERROR: Unapproved chars removed from SN Format"_s;
        const QString undefined = u"ERROR: SN Format is not defined"_s;
        // clang-format off
        QTest::newRow("ab# cleaned to #, yellow")        << u"ab#"_s << u"#"_s << u"1"_s << removed << colors::yellow;
        QTest::newRow("non-ASCII letter removed")        << u"\u00C91"_s << u"1"_s << u"1"_s << removed << colors::yellow;
        QTest::newRow("empty format, red")               << QString() << QString() << u"0"_s << undefined << colors::red;
        QTest::newRow("only removed characters, red")    << u"ab?_"_s << QString() << u"0"_s << undefined << colors::red;
        QTest::newRow("every allowed character kept")    << u"AZ09#*-$ "_s << u"AZ09#*-$ "_s << u"9"_s << QString() << colors::white;
        // clang-format on
    }

    void formatCheck()
    {
        QFETCH(QString, text);
        QFETCH(QString, cleaned);
        QFETCH(QString, length);
        QFETCH(QString, message);
        QFETCH(quint32, colour);
        RecordingPause pause;
        Form form(&pause);
        form.txtsnFORMAT->setText(text);
        QList<Seen> seen;
        pause.during = [&](double) {
            seen.append({form.txtStatus->text(), backColor(form.txtsnFORMAT), 0});
        };

        bool cancel = false;
        form.snFormat->Validate(cancel);

        QVERIFY(!cancel);
        QCOMPARE(form.txtsnFORMAT->text(), cleaned);
        QCOMPARE(form.lblsnLEN->text(), length);
        QCOMPARE(pause.waits, message.isEmpty() ? none : QList<double>{2.5});
        if (!message.isEmpty()) {
            QCOMPARE(seen.first().status, message);
            QCOMPARE(seen.first().colour, colour);
        }
        QCOMPARE(backColor(form.txtsnFORMAT), colors::white);
        QCOMPARE(form.txtStatus->text(), previousStatus);
    }

    void convertSerialNumber_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("length");
        QTest::newRow("12 *$: star and dollar") << u"12 *$"_s << u"12 [A-Z][A-Z0-9]"_s << 5;
        QTest::newRow("AB-###$: dash becomes any run") << u"AB-###$"_s << u"AB*###[A-Z0-9]"_s << 7;
        QTest::newRow("lower case kept as itself") << u"ab1"_s << u"ab1"_s << 3;
        QTest::newRow("other characters become any run") << u"A?_\u00C9"_s << u"A***"_s << 4;
        QTest::newRow("empty format") << QString() << QString() << 0;
    }

    void convertSerialNumber()
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

    void serialMatch_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<bool>("matches");
        // clang-format off
        QTest::newRow("AB-###$ against AB-123X")        << u"AB-###$"_s << u"AB-123X"_s << true;
        QTest::newRow("AB-###$ against AB123X")         << u"AB-###$"_s << u"AB123X"_s << true;
        QTest::newRow("AB-###$ case-sensitive")         << u"AB-###$"_s << u"ab-123X"_s << false;
        QTest::newRow("AB-###$ digit missing")          << u"AB-###$"_s << u"AB-12X"_s << false;
        QTest::newRow("A-# empty run: A7")              << u"A-#"_s << u"A7"_s << true;
        QTest::newRow("A-# one-character run: A-7")    << u"A-#"_s << u"A-7"_s << true;
        QTest::newRow("A-# longer run: AXYZ7")          << u"A-#"_s << u"AXYZ7"_s << true;
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

    void serialMatch()
    {
        QFETCH(QString, format);
        QFETCH(QString, serial);
        QFETCH(bool, matches);
        QCOMPARE(serialNumberMatches(serial, patternOf(format)), matches);
    }

    void manyStarsStayFast_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<bool>("matches");
        QString alternating;
        for (int i = 0; i < 17; ++i)
            alternating += u"-A"_s;
        QTest::newRow("35 dashes against 35 characters") << QString(35, u'-') << QString(35, u'A') << true;
        QTest::newRow("17 dashes between letters, no match")
            << alternating + u"B"_s << QString(35, u'A') << false;
    }

    void manyStarsStayFast()
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

    void characterTests_data()
    {
        QTest::addColumn<int>("test"); // chkALPHA, chkNUM, chkDASH, chkSPACE
        QTest::addColumn<QString>("holds");
        QTest::addColumn<QString>("fails");
        QTest::newRow("chkALPHA: A-Z") << 0 << u"AZ"_s << u"a@[0- "_s;
        QTest::newRow("chkNUM: 0-9") << 1 << u"079"_s << u"x/:\u0663"_s;
        QTest::newRow("chkDASH") << 2 << u"-"_s << u"_A"_s;
        QTest::newRow("chkSPACE") << 3 << u" "_s << u"\t-"_s;
    }

    void characterTests()
    {
        QFETCH(int, test);
        QFETCH(QString, holds);
        QFETCH(QString, fails);
        void (*const run)(const QString&, qint16&) = std::array{chkALPHA, chkNUM, chkDASH, chkSPACE}[test];
        // Sets the flag to 1 where the test holds; leaves it as it was otherwise.
        for (const QString& characters : {holds, fails}) {
            for (QChar c : characters) {
                qint16 flag = 5;
                run(QString(c), flag);
                QCOMPARE(flag, qint16(characters == holds ? 1 : 5));
            }
        }
    }
};

QTEST_MAIN(TestFieldRules)
#include "tst_fieldrules.moc"
