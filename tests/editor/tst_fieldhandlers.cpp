// The entry rules as the editor window runs them: its named handlers, how typing,
// Enter and leaving a field reach them, the serial-number format, the part-number
// check against a real database, and the typed-length limits of its text fields.
#include "../db/OpsSupport.h"
#include "Colors.h"
#include "Database.h"
#include "EditorFakes.h"
#include "FormMainTestMenu.h"
#include "RecordingPause.h"
#include "TestServer.h"
#include "TypedLength.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace zelmar;
using zelmar::test::FakeDialogs;
using zelmar::test::FakeProgramEnd;
using zelmar::test::RecordingPause;

namespace {

const QString idle = u"Waiting for User Input"_s;

// The window with the runs of its field handlers written down, in order.
class WatchedWindow : public FormMainTestMenu
{
public:
    WatchedWindow(Dialogs* d, Pause* p, ProgramEnd* e, db::Database* database)
        : FormMainTestMenu(d, p, e, database)
    {}

    QStringList runs;
    // The runs of one field's handlers other than _Change and _KeyPress.
    QStringList checks(const QString& field) const
    {
        QStringList out;
        for (const QString& r : runs) {
            if (r.startsWith(field + u'_') && !r.endsWith(u"_Change"_s) && !r.endsWith(u"_KeyPress"_s))
                out << r;
        }
        return out;
    }
    int count(const QString& run) const { return int(runs.count(run)); }

#define WATCH_NUMERIC(F)                                                                                     \
    void F##_Change() override                                                                               \
    {                                                                                                        \
        runs << QStringLiteral(#F "_Change");                                                                \
        FormMainTestMenu::F##_Change();                                                                      \
    }                                                                                                        \
    void F##_KeyPress(qint16& KeyAscii) override                                                             \
    {                                                                                                        \
        runs << QStringLiteral(#F "_KeyPress");                                                              \
        FormMainTestMenu::F##_KeyPress(KeyAscii);                                                            \
    }                                                                                                        \
    void F##_Validate(bool& Cancel) override                                                                 \
    {                                                                                                        \
        runs << QStringLiteral(#F "_Validate");                                                              \
        FormMainTestMenu::F##_Validate(Cancel);                                                              \
    }                                                                                                        \
    void F##_LostFocus() override                                                                            \
    {                                                                                                        \
        runs << QStringLiteral(#F "_LostFocus");                                                             \
        FormMainTestMenu::F##_LostFocus();                                                                   \
    }
    WATCH_NUMERIC(txtMinSpec)
    WATCH_NUMERIC(txtMaxSpec)
    WATCH_NUMERIC(txtAVG)
    WATCH_NUMERIC(txtTDLY)
    WATCH_NUMERIC(txtssTOL)
    WATCH_NUMERIC(txtssMAXT)
    WATCH_NUMERIC(txtautoTIME)
#undef WATCH_NUMERIC

    void txtsnFORMAT_Validate(bool& Cancel) override
    {
        runs << u"txtsnFORMAT_Validate"_s;
        FormMainTestMenu::txtsnFORMAT_Validate(Cancel);
    }
    void txtsnFORMAT_lostfocus() override
    {
        runs << u"txtsnFORMAT_lostfocus"_s;
        FormMainTestMenu::txtsnFORMAT_lostfocus();
    }
};

// What the window showed at the start of one wait.
struct Seen
{
    QString status;
    quint32 colour = 0;
};

// Calls one of the named handlers of a field by the field's name.
void callValidate(FormMainTestMenu* w, const QString& field, bool& Cancel)
{
    if (field == u"txtMinSpec")
        w->txtMinSpec_Validate(Cancel);
    else if (field == u"txtMaxSpec")
        w->txtMaxSpec_Validate(Cancel);
    else if (field == u"txtAVG")
        w->txtAVG_Validate(Cancel);
    else if (field == u"txtTDLY")
        w->txtTDLY_Validate(Cancel);
    else if (field == u"txtssTOL")
        w->txtssTOL_Validate(Cancel);
    else if (field == u"txtssMAXT")
        w->txtssMAXT_Validate(Cancel);
    else if (field == u"txtautoTIME")
        w->txtautoTIME_Validate(Cancel);
    else
        QFAIL("no such field");
}

void callLostFocus(FormMainTestMenu* w, const QString& field)
{
    if (field == u"txtMinSpec")
        w->txtMinSpec_LostFocus();
    else if (field == u"txtMaxSpec")
        w->txtMaxSpec_LostFocus();
    else if (field == u"txtAVG")
        w->txtAVG_LostFocus();
    else if (field == u"txtTDLY")
        w->txtTDLY_LostFocus();
    else if (field == u"txtssTOL")
        w->txtssTOL_LostFocus();
    else if (field == u"txtssMAXT")
        w->txtssMAXT_LostFocus();
    else if (field == u"txtautoTIME")
        w->txtautoTIME_LostFocus();
    else
        QFAIL("no such field");
}

void callKeyPress(FormMainTestMenu* w, const QString& field, qint16& KeyAscii)
{
    if (field == u"txtMinSpec")
        w->txtMinSpec_KeyPress(KeyAscii);
    else if (field == u"txtMaxSpec")
        w->txtMaxSpec_KeyPress(KeyAscii);
    else if (field == u"txtAVG")
        w->txtAVG_KeyPress(KeyAscii);
    else if (field == u"txtTDLY")
        w->txtTDLY_KeyPress(KeyAscii);
    else if (field == u"txtssTOL")
        w->txtssTOL_KeyPress(KeyAscii);
    else if (field == u"txtssMAXT")
        w->txtssMAXT_KeyPress(KeyAscii);
    else if (field == u"txtautoTIME")
        w->txtautoTIME_KeyPress(KeyAscii);
    else
        QFAIL("no such field");
}

void callChange(FormMainTestMenu* w, const QString& field)
{
    if (field == u"txtMinSpec")
        w->txtMinSpec_Change();
    else if (field == u"txtMaxSpec")
        w->txtMaxSpec_Change();
    else if (field == u"txtAVG")
        w->txtAVG_Change();
    else if (field == u"txtTDLY")
        w->txtTDLY_Change();
    else if (field == u"txtssTOL")
        w->txtssTOL_Change();
    else if (field == u"txtssMAXT")
        w->txtssMAXT_Change();
    else if (field == u"txtautoTIME")
        w->txtautoTIME_Change();
    else
        QFAIL("no such field");
}

} // namespace

class TestFieldHandlers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    // Numeric fields, driven as the operator drives them
    void typing_data();
    void typing();
    void enterChecksAndTheFocusStays_data();
    void enterChecksAndTheFocusStays();
    void leavingChecksThenFormats_data();
    void leavingChecksThenFormats();
    void leavingDuringAFlashChecksOnce();
    void anotherWindowIsNoLeave();
    void destroyingTheWindowChecksNothing();
    void windowGoneDuringAFlash();

    // Numeric fields, called by other code
    void validateCalledDirectly_data();
    void validateCalledDirectly();
    void lostFocusCalledDirectly_data();
    void lostFocusCalledDirectly();
    void keyPressAndChangeCalledDirectly();
    void fieldNumberReadsTheRegionalFormat();
    void timeDELAYThroughThePause();

    // Serial-number format
    void snFormatCheck_data();
    void snFormatCheck();
    void leavingTheFormatChecksOnce();
    void convertSerialNumberSetsPatternAndLength_data();
    void convertSerialNumberSetsPatternAndLength();

    // Part-number check against the database
    void checkPN_data();
    void checkPN();
    void checkPNLoadedPNAsksNothing();
    void checkPNUnreachableServer();

    // Typed-length limits
    void programTextsStayWhole_data();
    void programTextsStayWhole();
    void typingStopsAtTheLimit_data();
    void typingStopsAtTheLimit();
    void longProgramTextShrinksButDoesNotGrow();
    void pasteIsCutToTheLimit();
    void enterWorksOnALongProgramText();
    void portDescriptionFromTheDatabaseShownWhole();

private:
    FakeDialogs m_dialogs;
    RecordingPause m_pause;
    FakeProgramEnd m_end;
    std::unique_ptr<WatchedWindow> w;
    QList<Seen> m_seen;

    QLineEdit* field(const QString& name) const { return w->findChild<QLineEdit*>(name); }
    bool showAndActivate();
    // Writes down the status text and `watched`'s colour at the start of every wait.
    void watch(QWidget* watched);
    // Puts the focus in `edit` by a click and types `text` into it.
    void typeInto(QLineEdit* edit, const QString& text);
};

void TestFieldHandlers::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestFieldHandlers::init()
{
    m_dialogs = FakeDialogs();
    m_pause.waits.clear();
    m_pause.during = nullptr;
    m_seen.clear();
    w = std::make_unique<WatchedWindow>(&m_dialogs, &m_pause, &m_end, nullptr);
    w->txtStatus->setText(idle);
}

void TestFieldHandlers::cleanup()
{
    m_pause.during = nullptr;
    w.reset();
}

bool TestFieldHandlers::showAndActivate()
{
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        return false;
    QCoreApplication::processEvents();
    return true;
}

void TestFieldHandlers::watch(QWidget* watched)
{
    m_pause.during = [this, watched](double) {
        m_seen.append({w->txtStatus->text(), backColor(watched)});
    };
}

void TestFieldHandlers::typeInto(QLineEdit* edit, const QString& text)
{
    edit->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    w->runs.clear();
    QTest::keyClicks(edit, text);
}

// ---------------------------------------------------------------------------
// Numeric fields, driven as the operator drives them

void TestFieldHandlers::typing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    // clang-format off
    QTest::newRow("tolerance: a letter gives 5.0 at once") << u"txtssTOL"_s << u"a"_s << u"5.0"_s;
    QTest::newRow("tolerance: letter after digits")        << u"txtssTOL"_s << u"12x"_s << u"5.0"_s;
    QTest::newRow("min: letter gives 0.0")                 << u"txtMinSpec"_s << u"q"_s << u"0.0"_s;
    QTest::newRow("max: letter gives 100.0")               << u"txtMaxSpec"_s << u"q"_s << u"100.0"_s;
    QTest::newRow("averages: letter gives 2")              << u"txtAVG"_s << u"q"_s << u"2"_s;
    QTest::newRow("delay: letter gives 0.25")              << u"txtTDLY"_s << u"q"_s << u"0.25"_s;
    QTest::newRow("wait: letter gives 2.0")                << u"txtssMAXT"_s << u"q"_s << u"2.0"_s;
    QTest::newRow("auto time: letter gives 60.0")          << u"txtautoTIME"_s << u"q"_s << u"60.0"_s;
    QTest::newRow("lone minus survives typing")            << u"txtAVG"_s << u"-"_s << u"-"_s;
    QTest::newRow("lone point survives typing")            << u"txtMaxSpec"_s << u"."_s << u"."_s;
    QTest::newRow("grouped number survives typing")        << u"txtMinSpec"_s << u"1,500.0"_s << u"1,500.0"_s;
    QTest::newRow("out of bounds is no typing matter")     << u"txtTDLY"_s << u"45"_s << u"45"_s;
    // clang-format on
}

void TestFieldHandlers::typing()
{
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QVERIFY(showAndActivate());
    QLineEdit* edit = field(name);
    QVERIFY(edit);
    typeInto(edit, typed);

    QCOMPARE(edit->text(), shown);
    QCOMPARE(QApplication::focusWidget(), edit);
    QVERIFY(m_pause.waits.isEmpty()); // typing never flashes
    // Every key reaches _KeyPress once; the check does not run while typing.
    QCOMPARE(w->count(name + u"_KeyPress"_s), int(typed.size()));
    QVERIFY(w->checks(name).isEmpty());
    // Each change of the text runs _Change once: one per key, one more for a replacement.
    const int replacements = shown == typed ? 0 : 1;
    QCOMPARE(w->count(name + u"_Change"_s), int(typed.size()) + replacements);
}

void TestFieldHandlers::enterChecksAndTheFocusStays_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("corrected");
    QTest::addColumn<double>("pause");
    QTest::addColumn<QString>("message"); // empty: the status text stays as it was
    // clang-format off
    QTest::newRow("min -5")          << u"txtMinSpec"_s << u"-5"_s << int(Qt::Key_Return) << u"0.0"_s << 4.0 << QString();
    QTest::newRow("max 200000000")   << u"txtMaxSpec"_s << u"200000000"_s << int(Qt::Key_Return) << u"100.0"_s << 2.0 << QString();
    QTest::newRow("averages 26")     << u"txtAVG"_s << u"26"_s << int(Qt::Key_Return) << u"25"_s << 4.0 << QString();
    QTest::newRow("delay 45")        << u"txtTDLY"_s << u"45"_s << int(Qt::Key_Return) << u"30"_s << 3.0 << u"ERROR: Time Delay value was out of bounds"_s;
    QTest::newRow("delay 45, keypad Enter") << u"txtTDLY"_s << u"45"_s << int(Qt::Key_Enter) << u"30"_s << 3.0 << u"ERROR: Time Delay value was out of bounds"_s;
    QTest::newRow("tolerance 25")    << u"txtssTOL"_s << u"25"_s << int(Qt::Key_Return) << u"20.0"_s << 3.0 << u"ERROR: Stability Tol must be <= 20%"_s;
    QTest::newRow("wait 11")         << u"txtssMAXT"_s << u"11"_s << int(Qt::Key_Return) << u"10.0"_s << 4.0 << u"ERROR: Max Wait Time must be <= 10 secs"_s;
    QTest::newRow("auto time 200")   << u"txtautoTIME"_s << u"200"_s << int(Qt::Key_Return) << u"120.0"_s << 4.0 << QString();
    QTest::newRow("averages lone minus") << u"txtAVG"_s << u"-"_s << int(Qt::Key_Return) << u"2"_s << 4.0 << u"ERROR: Text average was out of bounds"_s;
    // clang-format on
}

void TestFieldHandlers::enterChecksAndTheFocusStays()
{
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, corrected);
    QFETCH(double, pause);
    QFETCH(QString, message);
    QVERIFY(showAndActivate());
    QLineEdit* edit = field(name);
    typeInto(edit, typed);
    w->runs.clear();
    watch(edit);
    QSignalSpy reached(edit, &QLineEdit::returnPressed);

    QTest::keyClick(edit, Qt::Key(key));

    QCOMPARE(edit->text(), corrected);
    QCOMPARE(m_pause.waits, QList<double>{pause}); // one check, one flash
    QCOMPARE(m_seen.first().colour, colors::red);
    QCOMPARE(m_seen.first().status, message.isEmpty() ? idle : message);
    QCOMPARE(backColor(edit), colors::white);
    QCOMPARE(w->txtStatus->text(), idle);
    QCOMPARE(w->count(name + u"_KeyPress"_s), 1);
    QCOMPARE(QApplication::focusWidget(), edit); // the focus stays
    QCOMPARE(reached.count(), 1);                // and the key reached the field
}

void TestFieldHandlers::leavingChecksThenFormats_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left"); // the text once the field is left
    QTest::addColumn<QList<double>>("waits");
    const QList<double> none;
    // clang-format off
    QTest::newRow("averages 7 prints 7.00")            << u"txtAVG"_s << u"7"_s << u"7.00"_s << none;
    QTest::newRow("auto time 45 prints 45.0")          << u"txtautoTIME"_s << u"45"_s << u"45.0"_s << none;
    QTest::newRow("min 2.500 keeps 3 decimals")        << u"txtMinSpec"_s << u"2.500"_s << u"2.500"_s << none;
    QTest::newRow("min 1500 prints 1,500.0")           << u"txtMinSpec"_s << u"1500"_s << u"1,500.0"_s << none;
    QTest::newRow("min 1,500.0 reads back")            << u"txtMinSpec"_s << u"1,500.0"_s << u"1,500.0"_s << none;
    QTest::newRow("max 3 and a point prints 3.0")      << u"txtMaxSpec"_s << u"3."_s << u"3.0"_s << none;
    QTest::newRow("delay 0.5 prints 0.50")             << u"txtTDLY"_s << u"0.5"_s << u"0.50"_s << none;
    QTest::newRow("tolerance 0.995 passes as 1.0")     << u"txtssTOL"_s << u"0.995"_s << u"1.0"_s << none;
    QTest::newRow("wait 2.25 prints 2.3")              << u"txtssMAXT"_s << u"2.25"_s << u"2.3"_s << none;
    QTest::newRow("tolerance 25: one flash, 20.0")     << u"txtssTOL"_s << u"25"_s << u"20.0"_s << QList<double>{3};
    QTest::newRow("averages 0: one flash, 1.00")       << u"txtAVG"_s << u"0"_s << u"1.00"_s << QList<double>{4};
    QTest::newRow("max emptied: 2 s flash, 0.0")       << u"txtMaxSpec"_s << QString() << u"0.0"_s << QList<double>{2};
    QTest::newRow("min emptied: no flash, 0.0")        << u"txtMinSpec"_s << QString() << u"0.0"_s << none;
    QTest::newRow("wait lone point: 2.0")              << u"txtssMAXT"_s << u"."_s << u"2.0"_s << QList<double>{4};
    // clang-format on
}

void TestFieldHandlers::leavingChecksThenFormats()
{
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, left);
    QFETCH(QList<double>, waits);
    QVERIFY(showAndActivate());
    QLineEdit* edit = field(name);
    typeInto(edit, typed);
    w->runs.clear();

    QTest::keyClick(edit, Qt::Key_Tab);

    QVERIFY(QApplication::focusWidget() != edit); // the focus is never held
    QCOMPARE(edit->text(), left);
    QCOMPARE(m_pause.waits, waits);
    QCOMPARE(w->checks(name), (QStringList{name + u"_Validate"_s, name + u"_LostFocus"_s}));
    QCOMPARE(w->txtStatus->text(), idle);
}

void TestFieldHandlers::leavingDuringAFlashChecksOnce()
{
    QVERIFY(showAndActivate());
    QLineEdit* delay = field(u"txtTDLY"_s);
    typeInto(delay, u"45"_s);
    w->runs.clear();
    // The operator clicks into another field while the flash of Enter is on show.
    m_pause.during = [this](double) {
        if (m_pause.waits.size() == 1)
            w->txtAVG->setFocus(Qt::MouseFocusReason);
    };

    QTest::keyClick(delay, Qt::Key_Return);

    QCOMPARE(m_pause.waits, QList<double>{3}); // the leave found the text corrected
    QCOMPARE(delay->text(), u"30.00"_s);
    QCOMPARE(w->checks(u"txtTDLY"_s), (QStringList{u"txtTDLY_Validate"_s, u"txtTDLY_LostFocus"_s}));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->txtAVG));
    QCOMPARE(backColor(delay), colors::white);
    QCOMPARE(w->txtStatus->text(), idle);
}

void TestFieldHandlers::anotherWindowIsNoLeave()
{
    QVERIFY(showAndActivate());
    QLineEdit* delay = field(u"txtTDLY"_s);
    typeInto(delay, u"45"_s);
    w->runs.clear();
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));

    QVERIFY(m_pause.waits.isEmpty());
    QVERIFY(w->checks(u"txtTDLY"_s).isEmpty());
    QCOMPARE(delay->text(), u"45"_s);
}

void TestFieldHandlers::destroyingTheWindowChecksNothing()
{
    QVERIFY(showAndActivate());
    typeInto(field(u"txtTDLY"_s), u"45"_s);
    w.reset();
    QVERIFY(m_pause.waits.isEmpty());
}

void TestFieldHandlers::windowGoneDuringAFlash()
{
    QVERIFY(showAndActivate());
    QPointer<QLineEdit> tolerance = field(u"txtssTOL"_s);
    typeInto(tolerance, u"25"_s);
    // The window goes while the flash of Enter is on show: the key goes no further.
    m_pause.during = [this](double) {
        w.reset();
    };
    QTest::keyPress(tolerance, Qt::Key_Return);
    QVERIFY(!w);
    QVERIFY(tolerance.isNull());
    QCOMPARE(m_pause.waits, QList<double>{3});
}

// ---------------------------------------------------------------------------
// Numeric fields, called by other code

void TestFieldHandlers::validateCalledDirectly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("corrected");
    QTest::addColumn<QList<double>>("waits");
    QTest::addColumn<QString>("message");
    const QList<double> none;
    // clang-format off
    QTest::newRow("min unreadable: 0.0 without flash") << u"txtMinSpec"_s << u"-"_s << u"0.0"_s << none << QString();
    QTest::newRow("max unreadable: 0.0, 2 s")          << u"txtMaxSpec"_s << u"-"_s << u"0.0"_s << QList<double>{2} << QString();
    QTest::newRow("averages 0: 1, 4 s")                << u"txtAVG"_s << u"0"_s << u"1"_s << QList<double>{4} << QString();
    QTest::newRow("delay -1: 0.0, 3 s")                << u"txtTDLY"_s << u"-1"_s << u"0.0"_s << QList<double>{3} << u"ERROR: Time Delay value was negative"_s;
    QTest::newRow("delay unreadable: 0.25, 3 s")       << u"txtTDLY"_s << u"+"_s << u"0.25"_s << QList<double>{3} << u"ERROR: Time Delay value was unrecognizable"_s;
    QTest::newRow("tolerance 0.5: 1.0, 3 s")           << u"txtssTOL"_s << u"0.5"_s << u"1.0"_s << QList<double>{3} << u"ERROR: Stability Tol must be >= 1%"_s;
    QTest::newRow("tolerance unreadable: 5.0, 3 s")    << u"txtssTOL"_s << u"."_s << u"5.0"_s << QList<double>{3} << u"ERROR: Stability Tol entry was unknown"_s;
    QTest::newRow("wait 1.5: 2.0, 4 s")                << u"txtssMAXT"_s << u"1.5"_s << u"2.0"_s << QList<double>{4} << u"ERROR: Max Wait Time must be >= 2 secs"_s;
    QTest::newRow("wait unreadable: 2.0, 4 s")         << u"txtssMAXT"_s << u"-."_s << u"2.0"_s << QList<double>{4} << u"ERROR: Max Wait Time Value was unrecognized"_s;
    QTest::newRow("auto time 3: 5.0, 4 s")             << u"txtautoTIME"_s << u"3"_s << u"5.0"_s << QList<double>{4} << QString();
    QTest::newRow("auto time 45 re-printed 45.0")      << u"txtautoTIME"_s << u"45"_s << u"45.0"_s << none << QString();
    QTest::newRow("delay 30 passes")                   << u"txtTDLY"_s << u"30"_s << u"30"_s << none << QString();
    // clang-format on
}

void TestFieldHandlers::validateCalledDirectly()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, corrected);
    QFETCH(QList<double>, waits);
    QFETCH(QString, message);
    QLineEdit* edit = field(name);
    edit->setText(text);
    watch(edit);
    bool Cancel = false;

    callValidate(w.get(), name, Cancel);

    QVERIFY(!Cancel);
    QCOMPARE(edit->text(), corrected);
    QCOMPARE(m_pause.waits, waits);
    if (!waits.isEmpty()) {
        QCOMPARE(m_seen.first().colour, colors::red);
        QCOMPARE(m_seen.first().status, message.isEmpty() ? idle : message);
    }
    QCOMPARE(backColor(edit), colors::white);
    QCOMPARE(w->txtStatus->text(), idle); // the previous status comes back
}

void TestFieldHandlers::lostFocusCalledDirectly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QList<double>>("waits");
    // clang-format off
    QTest::newRow("min 2.500 keeps 3 decimals")   << u"txtMinSpec"_s << u"2.500"_s << u"2.500"_s << QList<double>{};
    QTest::newRow("max 7 prints 7.0")             << u"txtMaxSpec"_s << u"7"_s << u"7.0"_s << QList<double>{};
    QTest::newRow("max 1500.25 grouped")          << u"txtMaxSpec"_s << u"1500.25"_s << u"1,500.25"_s << QList<double>{};
    QTest::newRow("averages 26 checked first")    << u"txtAVG"_s << u"26"_s << u"25.00"_s << QList<double>{4};
    QTest::newRow("delay 0 prints 0.00")          << u"txtTDLY"_s << u"0"_s << u"0.00"_s << QList<double>{};
    QTest::newRow("tolerance 20 prints 20.0")     << u"txtssTOL"_s << u"20"_s << u"20.0"_s << QList<double>{};
    QTest::newRow("wait 10 prints 10.0")          << u"txtssMAXT"_s << u"10"_s << u"10.0"_s << QList<double>{};
    QTest::newRow("auto time 120 prints 120.0")   << u"txtautoTIME"_s << u"120"_s << u"120.0"_s << QList<double>{};
    // clang-format on
}

void TestFieldHandlers::lostFocusCalledDirectly()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, left);
    QFETCH(QList<double>, waits);
    QLineEdit* edit = field(name);
    edit->setText(text);
    callLostFocus(w.get(), name);
    QCOMPARE(edit->text(), left);
    QCOMPARE(m_pause.waits, waits);
}

void TestFieldHandlers::keyPressAndChangeCalledDirectly()
{
    for (const QString& name : {u"txtMinSpec"_s, u"txtMaxSpec"_s, u"txtAVG"_s, u"txtTDLY"_s, u"txtssTOL"_s,
                                u"txtssMAXT"_s, u"txtautoTIME"_s}) {
        QLineEdit* edit = field(name);
        {
            // A text that the change handler has not seen yet.
            const QSignalBlocker block(edit);
            edit->setText(u"abc"_s);
        }
        callChange(w.get(), name);
        const QString replacement = edit->text();
        QVERIFY2(replacement != u"abc"_s, qPrintable(name));

        // Any key but Enter checks nothing; Enter (13) checks; neither changes the key.
        edit->setText(u"-"_s);
        qint16 KeyAscii = 65;
        callKeyPress(w.get(), name, KeyAscii);
        QCOMPARE(KeyAscii, qint16(65));
        QCOMPARE(edit->text(), u"-"_s);
        KeyAscii = 13;
        callKeyPress(w.get(), name, KeyAscii);
        QCOMPARE(KeyAscii, qint16(13));
        QVERIFY2(edit->text() != u"-"_s, qPrintable(name));
    }
}

void TestFieldHandlers::fieldNumberReadsTheRegionalFormat()
{
    double value = -1;
    w->txtMaxSpec->setText(u"1,500.0"_s);
    QVERIFY(FormMainTestMenu::fieldNumber(w->txtMaxSpec, value));
    QCOMPARE(value, 1500.0);
    // What the leave format prints reads back as the same number.
    w->txtMinSpec->setText(u"12345.5"_s);
    w->txtMinSpec_LostFocus();
    QCOMPARE(w->txtMinSpec->text(), u"12,345.5"_s);
    QVERIFY(FormMainTestMenu::fieldNumber(w->txtMinSpec, value));
    QCOMPARE(value, 12345.5);
    // No number: false, the value untouched.
    w->txtAVG->setText(u"-"_s);
    value = 7;
    QVERIFY(!FormMainTestMenu::fieldNumber(w->txtAVG, value));
    QCOMPARE(value, 7.0);
    QVERIFY(!FormMainTestMenu::fieldNumber(nullptr, value));
}

void TestFieldHandlers::timeDELAYThroughThePause()
{
    w->timeDELAY(2.5);
    w->timeDELAY(0.25);
    QCOMPARE(m_pause.waits, (QList<double>{2.5, 0.25}));
}

// ---------------------------------------------------------------------------
// Serial-number format

void TestFieldHandlers::snFormatCheck_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("cleaned");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QList<double>>("waits");
    QTest::addColumn<quint32>("colour"); // during the flash
    QTest::addColumn<QString>("message");
    // clang-format off
    QTest::newRow("ab# cleaned to #, yellow")      << u"ab#"_s << u"#"_s << u"1"_s << QList<double>{2.5} << colors::yellow << u"ERROR: Unapproved chars removed from SN Format"_s;
    QTest::newRow("empty, red")                    << QString() << QString() << u"0"_s << QList<double>{2.5} << colors::red << u"ERROR: SN Format is not defined"_s;
    QTest::newRow("only removed characters, red")  << u"ab_!"_s << QString() << u"0"_s << QList<double>{2.5} << colors::red << u"ERROR: SN Format is not defined"_s;
    QTest::newRow("clean format, nothing shown")   << u"AB-###$ *"_s << u"AB-###$ *"_s << u"9"_s << QList<double>{} << colors::white << QString();
    // clang-format on
}

void TestFieldHandlers::snFormatCheck()
{
    QFETCH(QString, format);
    QFETCH(QString, cleaned);
    QFETCH(QString, length);
    QFETCH(QList<double>, waits);
    QFETCH(quint32, colour);
    QFETCH(QString, message);
    auto* txtsnFORMAT = field(u"txtsnFORMAT"_s);
    auto* lblsnLEN = w->findChild<QLabel*>(u"lblsnLEN"_s);
    txtsnFORMAT->setText(format);
    watch(txtsnFORMAT);
    bool Cancel = false;

    w->txtsnFORMAT_Validate(Cancel);

    QVERIFY(!Cancel);
    QCOMPARE(txtsnFORMAT->text(), cleaned);
    QCOMPARE(lblsnLEN->text(), length);
    QCOMPARE(m_pause.waits, waits);
    if (!waits.isEmpty()) {
        QCOMPARE(m_seen.first().colour, colour);
        QCOMPARE(m_seen.first().status, message);
    }
    QCOMPARE(backColor(txtsnFORMAT), colors::white);
    QCOMPARE(w->txtStatus->text(), idle);

    // The leave handler is the same check.
    txtsnFORMAT->setText(format);
    m_pause.waits.clear();
    w->txtsnFORMAT_lostfocus();
    QCOMPARE(txtsnFORMAT->text(), cleaned);
    QCOMPARE(m_pause.waits, waits);
}

void TestFieldHandlers::leavingTheFormatChecksOnce()
{
    QVERIFY(showAndActivate());
    auto* txtsnFORMAT = field(u"txtsnFORMAT"_s);
    typeInto(txtsnFORMAT, u"ab#"_s);
    QCOMPARE(txtsnFORMAT->text(), u"ab#"_s); // typing is not checked
    w->runs.clear();

    w->btnADD->setFocus(Qt::MouseFocusReason);

    QCOMPARE(txtsnFORMAT->text(), u"#"_s);
    QCOMPARE(w->lblsnLEN->text(), u"1"_s);
    QCOMPARE(m_pause.waits, QList<double>{2.5}); // one message, not two
    QCOMPARE(w->runs, QStringList{u"txtsnFORMAT_lostfocus"_s});
}

void TestFieldHandlers::convertSerialNumberSetsPatternAndLength_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("length");
    QTest::newRow("AB-###$") << u"AB-###$"_s << u"AB*###[A-Z0-9]"_s << 7;
    QTest::newRow("12 *$ (five characters)") << u"12 *$"_s << u"12 [A-Z][A-Z0-9]"_s << 5;
    QTest::newRow("empty") << QString() << QString() << 0;
}

void TestFieldHandlers::convertSerialNumberSetsPatternAndLength()
{
    QFETCH(QString, format);
    QFETCH(QString, pattern);
    QFETCH(int, length);
    w->cur.snPATTERN = u"old"_s;
    w->cur.snLENGTH = 99;
    w->cur.snFORMAT = format;
    w->ConvertSerialNumber(w->cur.snFORMAT);
    QCOMPARE(w->cur.snPATTERN, pattern);
    QCOMPARE(w->cur.snLENGTH, qint16(length));
    QCOMPARE(w->cur.snFORMAT, format); // the input is not changed
}

// ---------------------------------------------------------------------------
// Part-number check against the database

void TestFieldHandlers::checkPN_data()
{
    QTest::addColumn<QString>("pn");
    QTest::addColumn<int>("iSKIP");
    QTest::addColumn<int>("pnCHECK");
    QTest::addColumn<QString>("message"); // on show during the red flash; empty: no flash
    QTest::addColumn<QString>("after");   // the status once checkPN returns
    const QString reviewing = u"Reviewing Part Number string for validity"_s;
    // clang-format off
    QTest::newRow("another existing PN refused") << u"CD-200"_s << 1 << 0 << u"ERROR: Updated PN string already exists"_s << idle;
    QTest::newRow("a new PN accepted")           << u"EF-300"_s << 1 << 1 << QString() << reviewing;
    QTest::newRow("existing PN, no lookup asked") << u"CD-200"_s << 0 << 1 << QString() << reviewing;
    QTest::newRow("26 characters")               << u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s << 1 << 0 << u"ERROR: PN is limited to 25 characters"_s << u"ERROR: PN is limited to 25 characters"_s;
    QTest::newRow("lower case refused")          << u"cd-200"_s << 1 << 0 << u"ERROR: Allowed PN chars = A-Z/0-9/dash/space"_s << u"ERROR: Allowed PN chars = A-Z/0-9/dash/space"_s;
    QTest::newRow("A--B too few alphanumerics")  << u"A--B"_s << 1 << 0 << u"ERROR: PN must contain at least 3 alphanumeric chars"_s << u"ERROR: PN must contain at least 3 alphanumeric chars"_s;
    // clang-format on
}

void TestFieldHandlers::checkPN()
{
    QFETCH(QString, pn);
    QFETCH(int, iSKIP);
    QFETCH(int, pnCHECK);
    QFETCH(QString, message);
    QFETCH(QString, after);
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES ('AB-100', 1), ('CD-200', 2)"_s));
    db::Database database(&m_dialogs);
    w = std::make_unique<WatchedWindow>(&m_dialogs, &m_pause, &m_end, &database);
    w->account.ipPORT = tdb.server().serverValue();
    w->account.custDB = tdb.name();
    w->account.custUSER = tdb.server().user;
    w->account.custUSER_PW = tdb.server().password;
    w->account.snTABLE = u"snPN"_s;
    w->cur.curPN = u"AB-100"_s;
    w->txtStatus->setText(idle);
    watch(w->lsttestPN);

    QString strPN = pn;
    qint16 check = -1;
    qint16 skip = qint16(iSKIP);
    w->checkPN(strPN, check, skip, u"lsttestPN"_s);

    QCOMPARE(check, qint16(pnCHECK));
    QCOMPARE(strPN, pn);
    if (message.isEmpty()) {
        QVERIFY(m_pause.waits.isEmpty());
    } else {
        QCOMPARE(m_pause.waits, QList<double>{3});
        QCOMPARE(m_seen.first().status, message);
        QCOMPARE(m_seen.first().colour, colors::red); // lsttestPN flashes red
    }
    QCOMPARE(backColor(w->lsttestPN), colors::white);
    QCOMPARE(w->txtStatus->text(), after);
    QVERIFY(m_dialogs.messages.isEmpty());
}

void TestFieldHandlers::checkPNLoadedPNAsksNothing()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES ('AB-100', 1), ('CD-200', 2)"_s));
    test::CountedAccount counted(tdb);
    QVERIFY(counted.ok());
    db::Database database(&m_dialogs);
    w = std::make_unique<WatchedWindow>(&m_dialogs, &m_pause, &m_end, &database);
    const db::Profile p = counted.profile();
    w->account.ipPORT = p.server;
    w->account.custDB = p.database;
    w->account.custUSER = p.user;
    w->account.custUSER_PW = p.password;
    w->account.snTABLE = u"snPN"_s;
    w->cur.curPN = u"AB-100"_s;

    // The loaded PN is in the table: a lookup would refuse it.
    QString strPN = u"AB-100"_s;
    qint16 check = -1;
    qint16 skip = 1;
    const auto own =
        counted.measure("checkPN of the loaded PN", [&] { w->checkPN(strPN, check, skip, u"btnADD"_s); });
    QCOMPARE(check, qint16(1));
    QVERIFY(m_pause.waits.isEmpty());
    QCOMPARE(own.select + own.update, qint64(0));

    // The same account does count a lookup of another name.
    strPN = u"CD-200"_s;
    const auto other =
        counted.measure("checkPN of another PN", [&] { w->checkPN(strPN, check, skip, u"btnADD"_s); });
    QCOMPARE(check, qint16(0));
    QVERIFY(other.select > 0);
}

void TestFieldHandlers::checkPNUnreachableServer()
{
    db::Database database(&m_dialogs, db::Timeouts{2, 2, 2});
    w = std::make_unique<WatchedWindow>(&m_dialogs, &m_pause, &m_end, &database);
    w->account.ipPORT = u"127.0.0.1:"_s + QString::number(test::deadPort());
    w->account.custDB = u"nowhere"_s;
    w->account.snTABLE = u"snPN"_s;
    w->cur.curPN = u"AB-100"_s;
    // A server that cannot be reached answers no count: the name is taken as new (the
    // write that follows reports the failure), within the bounded wait, without a box.
    QString strPN = u"CD-200"_s;
    qint16 check = -1;
    qint16 skip = 1;
    QElapsedTimer clock;
    clock.start();
    w->checkPN(strPN, check, skip, u"lsttestPN"_s);
    QCOMPARE(check, qint16(1));
    QVERIFY(clock.elapsed() < 10000);
    QVERIFY(m_dialogs.messages.isEmpty());
    QVERIFY(m_pause.waits.isEmpty());
}

// ---------------------------------------------------------------------------
// Typed-length limits

void TestFieldHandlers::programTextsStayWhole_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("limit");
    QTest::newRow("port description 15") << u"txtPort"_s << 15;
    QTest::newRow("PN description 25") << u"txtsnNAME"_s << 25;
    QTest::newRow("SN format 35") << u"txtsnFORMAT"_s << 35;
    QTest::newRow("good R&R SN 35") << u"txtGOODSN"_s << 35;
    QTest::newRow("bad R&R SN 35") << u"txtBADSN"_s << 35;
}

void TestFieldHandlers::programTextsStayWhole()
{
    QFETCH(QString, name);
    QFETCH(int, limit);
    QLineEdit* edit = field(name);
    QCOMPARE(typedLengthLimit(edit), limit);
    const QString longText = QString(limit + 5, u'A');
    edit->setText(longText);
    QCOMPARE(edit->text(), longText);
}

void TestFieldHandlers::typingStopsAtTheLimit_data()
{
    programTextsStayWhole_data();
}

void TestFieldHandlers::typingStopsAtTheLimit()
{
    QFETCH(QString, name);
    QFETCH(int, limit);
    QVERIFY(showAndActivate());
    QLineEdit* edit = field(name);
    edit->setEnabled(true);
    const QString typed = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789XYZ"_s.left(limit + 3);
    typeInto(edit, typed);
    QCOMPARE(edit->text(), typed.left(limit));
    QVERIFY(edit->isModified());
}

void TestFieldHandlers::longProgramTextShrinksButDoesNotGrow()
{
    QVERIFY(showAndActivate());
    w->blankFIELDS();
    QLineEdit* port = w->txtPort;
    port->setEnabled(true);
    QCOMPARE(port->text(), u"Port Description"_s); // 16 characters, shown whole
    port->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(port));
    port->end(false);

    QTest::keyClicks(port, u"X"_s);
    QCOMPARE(port->text(), u"Port Description"_s);
    port->setCursorPosition(4);
    QTest::keyClick(port, Qt::Key_Y); // replacing nothing: still growth
    QCOMPARE(port->text(), u"Port Description"_s);
    QCOMPARE(port->cursorPosition(), 4);

    // A selection replaced by one character shrinks the text: allowed.
    port->setSelection(0, 4);
    QTest::keyClicks(port, u"P"_s);
    QCOMPARE(port->text(), u"P Description"_s);
    QTest::keyClicks(port, u"ort"_s); // the "t" would make 16
    QCOMPARE(port->text(), u"Por Description"_s);

    // Deleting is always allowed; from then on the limit holds.
    port->end(false);
    QTest::keyClick(port, Qt::Key_Backspace);
    QCOMPARE(port->text(), u"Por Descriptio"_s);
    QTest::keyClicks(port, u"nX"_s);
    QCOMPARE(port->text(), u"Por Description"_s);
}

void TestFieldHandlers::pasteIsCutToTheLimit()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(u"123456789"_s);
    if (clipboard->text() != u"123456789"_s)
        QSKIP("This platform has no clipboard");
    QLineEdit* port = w->txtPort;
    port->setText(u"Port Desc"_s);
    port->setCursorPosition(4);
    port->paste();
    // Of the pasted text only what fits is kept; the text around it stays.
    QCOMPARE(port->text(), u"Port123456 Desc"_s);
    QCOMPARE(port->cursorPosition(), 10);
}

void TestFieldHandlers::enterWorksOnALongProgramText()
{
    QVERIFY(showAndActivate());
    QLineEdit* format = w->txtsnFORMAT;
    format->setEnabled(true);
    const QString longFormat = QString(40, u'#');
    format->setText(longFormat);
    format->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(format));
    QVERIFY(format->hasAcceptableInput());
    QSignalSpy returned(format, &QLineEdit::returnPressed);
    QSignalSpy finished(format, &QLineEdit::editingFinished);
    QTest::keyClick(format, Qt::Key_Return);
    QCOMPARE(returned.count(), 1);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(format->text(), longFormat);
}

void TestFieldHandlers::portDescriptionFromTheDatabaseShownWhole()
{
    w->setnumPORTS(2);
    w->cur.defPORT();
    w->cur.portNAME[1] = u"Twenty characters ok"_s;
    w->setupPORTS(1, 0, u"test"_s);
    QCOMPARE(w->txtPort->text(), u"Twenty characters ok"_s);
}

QTEST_MAIN(TestFieldHandlers)
#include "tst_fieldhandlers.moc"
