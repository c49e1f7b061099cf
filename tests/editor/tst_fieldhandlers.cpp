// What the editor window adds to the field rules of tst_fieldrules: each named handler
// reaches its own field's rule; typing, Enter and leaving a field reach the handlers;
// the part-number check against a real database; the typed-length limits.
#include "../db/OpsSupport.h"
#include "Colors.h"
#include "Database.h"
#include "EditorFakes.h"
#include "FormMainTestMenu.h"
#include "TestServer.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
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
using zelmar::test::ProbeWindow;
using zelmar::test::RecordingPause;
using zelmar::test::RecordingProgramEnd;
using zelmar::test::Seen;

namespace {

const QString idle = u"Waiting for User Input"_s;
const QList<double> none;

using Window = FormMainTestMenu;
struct Handlers
{
    NumericField field;
    void (Window::*Change)();
    void (Window::*KeyPress)(qint16&);
    void (Window::*Validate)(bool&);
    void (Window::*LostFocus)();
};
// clang-format off
#define ZELMAR_HANDLERS(f) {NumericField::f, &Window::f##_Change, &Window::f##_KeyPress, &Window::f##_Validate, &Window::f##_LostFocus}
const Handlers handlers[] = {ZELMAR_HANDLERS(txtMinSpec), ZELMAR_HANDLERS(txtMaxSpec), ZELMAR_HANDLERS(txtAVG),
                             ZELMAR_HANDLERS(txtTDLY), ZELMAR_HANDLERS(txtssTOL), ZELMAR_HANDLERS(txtssMAXT),
                             ZELMAR_HANDLERS(txtautoTIME)};
#undef ZELMAR_HANDLERS
// clang-format on

void putText(QLineEdit* edit, const QString& text)
{
    const QSignalBlocker block(edit);
    edit->setText(text);
}

} // namespace

class TestFieldHandlers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init()
    {
        m_dialogs = FakeDialogs();
        m_pause.waits.clear();
        m_pause.during = nullptr;
        m_seen.clear();
        w = std::make_unique<ProbeWindow>(&m_dialogs, &m_pause, &m_end);
        w->txtStatus->setText(idle);
    }

    void cleanup() { w.reset(); }

    void namedHandlersReachTheirRules_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 7; ++i)
            QTest::newRow(numericFieldSpec(handlers[i].field).name) << i;
    }

    void namedHandlersReachTheirRules()
    {
        // Each handler acts on its own field by that field's rules (whose values
        // tst_fieldrules checks): a handler bound to another field's rule changes another field.
        QFETCH(int, index);
        const Handlers& h = handlers[index];
        const NumericFieldSpec& rules = numericFieldSpec(h.field);
        auto* edit = w->findChild<QLineEdit*>(QString::fromLatin1(rules.name));
        const QString unreadable = QString::fromLatin1(rules.unreadableText);
        const QList<double> flash = rules.unreadableFlash ? QList<double>{rules.pauseSeconds} : none;

        putText(edit, u"abc"_s);
        (w.get()->*h.Change)();
        QCOMPARE(edit->text(), QString::fromLatin1(rules.replacement));
        // Any key but Enter checks nothing; Enter (13) checks; neither changes the key.
        putText(edit, u"-"_s);
        qint16 KeyAscii = 65;
        (w.get()->*h.KeyPress)(KeyAscii);
        QCOMPARE(edit->text(), u"-"_s);
        KeyAscii = 13;
        (w.get()->*h.KeyPress)(KeyAscii);
        QCOMPARE(KeyAscii, qint16(13));
        QCOMPARE(edit->text(), unreadable);
        QCOMPARE(m_pause.waits, flash);
        putText(edit, u"-"_s);
        bool Cancel = false;
        (w.get()->*h.Validate)(Cancel);
        QVERIFY(!Cancel);
        QCOMPARE(edit->text(), unreadable);
        // The leave handler checks, then re-prints.
        putText(edit, u"-"_s);
        (w.get()->*h.LostFocus)();
        double left = -1, expected = -2;
        QVERIFY(FormMainTestMenu::fieldNumber(edit, left) && readNumber(unreadable, &expected));
        QCOMPARE(left, expected);
        QCOMPARE(m_pause.waits, flash + flash + flash);
    }

    void operatorDrivesAField_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key"); // pressed after typing; 0: none
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<double>>("waits");
        QTest::addColumn<QString>("message"); // during the flash; empty: the status is left alone
        const int Return = Qt::Key_Return, Enter = Qt::Key_Enter, Tab = Qt::Key_Tab;
        const QString tdly = u"ERROR: Time Delay value was out of bounds"_s;
        // clang-format off
        QTest::newRow("typing: a letter replaced at once")  << u"txtssTOL"_s << u"12x"_s << 0 << u"5.0"_s << none << QString();
        QTest::newRow("typing: out of bounds not checked")  << u"txtTDLY"_s << u"45"_s << 0 << u"45"_s << none << QString();
        QTest::newRow("Return checks, the focus stays")     << u"txtTDLY"_s << u"45"_s << Return << u"30"_s << QList<double>{3} << tdly;
        QTest::newRow("keypad Enter checks")                << u"txtTDLY"_s << u"45"_s << Enter << u"30"_s << QList<double>{3} << tdly;
        QTest::newRow("leaving averages 0: check, 1.00")    << u"txtAVG"_s << u"0"_s << Tab << u"1.00"_s << QList<double>{4} << QString();
        QTest::newRow("leaving tolerance 25: check, 20.0")  << u"txtssTOL"_s << u"25"_s << Tab << u"20.0"_s << QList<double>{3} << u"ERROR: Stability Tol must be <= 20%"_s;
        QTest::newRow("leaving max emptied: 2 s, 0.0")      << u"txtMaxSpec"_s << QString() << Tab << u"0.0"_s << QList<double>{2} << QString();
        QTest::newRow("leaving min 1500: 1,500.0")          << u"txtMinSpec"_s << u"1500"_s << Tab << u"1,500.0"_s << none << QString();
        // clang-format on
    }

    void operatorDrivesAField()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(QList<double>, waits);
        QFETCH(QString, message);
        QVERIFY(test::showAndActivate(w.get()));
        auto* edit = w->findChild<QLineEdit*>(name);
        typeInto(edit, typed);
        watch(edit);
        QSignalSpy reached(edit, &QLineEdit::returnPressed);
        if (key)
            QTest::keyClick(edit, Qt::Key(key));
        QCoreApplication::processEvents(); // a leave runs once the focus has moved

        QCOMPARE(edit->text(), text);
        QCOMPARE(m_pause.waits, waits); // one check, one flash at most
        if (!waits.isEmpty()) {
            QCOMPARE(m_seen.first().colour, colors::red);
            QCOMPARE(m_seen.first().status, message.isEmpty() ? idle : message);
        }
        QCOMPARE(backColor(edit), colors::white);
        QCOMPARE(w->txtStatus->text(), idle);
        // Every key reaches _KeyPress once; Enter reaches the field too and keeps the focus;
        // leaving runs _Validate, then _LostFocus, once each, and never holds the focus.
        QCOMPARE(w->ran(name + u"_KeyPress"_s), int(typed.size()) + (key ? 1 : 0));
        QCOMPARE(reached.count(), key == Qt::Key_Return || key == Qt::Key_Enter ? 1 : 0);
        QCOMPARE(QApplication::focusWidget() == edit, key != Qt::Key_Tab);
        const QStringList leave{name + u"_Validate"_s, name + u"_LostFocus"_s};
        QCOMPARE(w->checks(name), key == Qt::Key_Tab ? leave : QStringList());
        // While typing, each change of the text runs _Change once, a replacement once more.
        if (!key)
            QCOMPARE(w->ran(name + u"_Change"_s), int(typed.size()) + (text == typed ? 0 : 1));
    }

    void leavingDuringAFlashChecksOnce()
    {
        QVERIFY(test::showAndActivate(w.get()));
        typeInto(w->txtTDLY, u"45"_s);
        // The operator clicks into another field while the flash of Enter is on show.
        m_pause.during = [this](double) {
            if (m_pause.waits.size() == 1)
                w->txtAVG->setFocus(Qt::MouseFocusReason);
        };
        QTest::keyClick(w->txtTDLY, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(m_pause.waits, QList<double>{3}); // the leave found the text corrected
        QCOMPARE(w->txtTDLY->text(), u"30.00"_s);
        QCOMPARE(w->checks(u"txtTDLY"_s), (QStringList{u"txtTDLY_Validate"_s, u"txtTDLY_LostFocus"_s}));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->txtAVG));
        QCOMPARE(backColor(w->txtTDLY), colors::white);
    }

    void noLeaveWithoutLeaving_data()
    {
        QTest::addColumn<bool>("destroy");
        QTest::newRow("another window comes forward") << false;
        QTest::newRow("the window is destroyed") << true;
    }

    void noLeaveWithoutLeaving()
    {
        QFETCH(bool, destroy);
        QVERIFY(test::showAndActivate(w.get()));
        typeInto(w->txtTDLY, u"45"_s);
        QWidget other;
        if (destroy)
            w.reset();
        else
            QVERIFY(test::showAndActivate(&other));
        QVERIFY(m_pause.waits.isEmpty());
        if (w)
            QVERIFY(w->checks(u"txtTDLY"_s).isEmpty());
    }

    void windowDeletedMidPause_data()
    {
        QTest::addColumn<bool>("byEnter"); // else other code calls the leave handler
        QTest::newRow("Enter in the field") << true;
        QTest::newRow("leave handler called") << false;
    }

    void windowDeletedMidPause()
    {
        QFETCH(bool, byEnter);
        QVERIFY(test::showAndActivate(w.get()));
        QPointer<QLineEdit> tolerance = w->txtssTOL;
        typeInto(tolerance, u"25"_s);
        // The window goes while the flash is on show: nothing of it is touched after the pause.
        m_pause.during = [this](double) {
            w.reset();
        };
        if (byEnter)
            QTest::keyPress(tolerance, Qt::Key_Return);
        else
            w->txtssTOL_LostFocus();
        QVERIFY(!w);
        QVERIFY(tolerance.isNull());
        QCOMPARE(m_pause.waits, QList<double>{3});
    }

    void snFormatThroughTheWindow()
    {
        QVERIFY(test::showAndActivate(w.get()));
        QLineEdit* format = w->txtsnFORMAT;
        format->setEnabled(true);
        typeInto(format, u"ab#"_s);
        QCOMPARE(format->text(), u"ab#"_s); // typing is not checked
        w->btnADD->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(format->text(), u"#"_s);
        QCOMPARE(w->lblsnLEN->text(), u"1"_s);
        QCOMPARE(m_pause.waits, QList<double>{2.5}); // one message, not two
        QCOMPARE(w->checks(u"txtsnFORMAT"_s), QStringList{u"txtsnFORMAT_lostfocus"_s});
        // Called by other code, the check is the same.
        bool Cancel = false;
        format->setText(u"x12"_s);
        w->txtsnFORMAT_Validate(Cancel);
        QVERIFY(!Cancel);
        QCOMPARE(format->text(), u"12"_s);
        w->cur.snFORMAT = u"AB-###$"_s;
        w->ConvertSerialNumber(w->cur.snFORMAT);
        QCOMPARE(w->cur.snPATTERN, u"AB*###[A-Z0-9]"_s);
        QCOMPARE(w->cur.snLENGTH, qint16(7));
        w->timeDELAY(0.25); // the window's pause for other code
        QCOMPARE(m_pause.waits, (QList<double>{2.5, 2.5, 0.25}));
    }

    void checkPN_data()
    {
        QTest::addColumn<QString>("strPN");
        QTest::addColumn<int>("iSKIP");
        QTest::addColumn<QString>("curPN"); // the loaded part number
        QTest::addColumn<int>("pnCHECK");
        QTest::addColumn<QString>("message"); // on show while lsttestPN is red; empty: accepted
        QTest::addColumn<QString>("after");   // the status once checkPN returns
        QTest::addColumn<bool>("asks");       // whether the database was asked
        const QString reviewing = u"Reviewing Part Number string for validity"_s;
        const QString tooLong = u"ERROR: PN is limited to 25 characters"_s;
        const QString blank = u"ERROR: Part Number field is blank"_s;
        const QString tooShort = u"ERROR: Part Number must be at least 3 characters"_s;
        const QString chars = u"ERROR: Allowed PN chars = A-Z/0-9/dash/space"_s;
        const QString alnum = u"ERROR: PN must contain at least 3 alphanumeric chars"_s;
        const QString exists = u"ERROR: Updated PN string already exists"_s;
        const QString ab = u"AB-100"_s;
        // The table holds AB-100 once and CD-200 twice.
        // clang-format off
        QTest::newRow("26 characters: length before anything") << u"abcdefghijklmnopqrstuvwx_z"_s << 1 << ab << 0 << tooLong << tooLong << false;
        QTest::newRow("25 characters accepted")          << u"ABCDEFGHIJKLMNOPQRSTUVWXY"_s << 0 << ab << 1 << QString() << reviewing << false;
        QTest::newRow("blank")                           << QString() << 1 << ab << 0 << blank << blank << false;
        QTest::newRow("AB too short")                    << u"AB"_s << 1 << ab << 0 << tooShort << tooShort << false;
        QTest::newRow("AB_1: underscore not allowed")    << u"AB_1"_s << 1 << ab << 0 << chars << chars << false;
        QTest::newRow("lower case refused before lookup") << u"cd-200"_s << 1 << ab << 0 << chars << chars << false;
        QTest::newRow("A-B C passes alphanumeric")       << u"A-B C"_s << 0 << ab << 1 << QString() << reviewing << false;
        QTest::newRow("A--B fails alphanumeric")         << u"A--B"_s << 1 << ab << 0 << alnum << alnum << false;
        QTest::newRow("existing PN refused")             << u"AB-100"_s << 1 << u"XY-1"_s << 0 << exists << idle << true;
        QTest::newRow("PN stored twice refused")         << u"CD-200"_s << 1 << ab << 0 << exists << idle << true;
        QTest::newRow("new PN accepted")                 << u"EF-300"_s << 1 << ab << 1 << QString() << reviewing << true;
        QTest::newRow("loaded PN not looked up")         << u"AB-100"_s << 1 << ab << 1 << QString() << reviewing << false;
        QTest::newRow("loaded PN in other case looked up") << u"AB-100"_s << 1 << u"Ab-100"_s << 0 << exists << idle << true;
        QTest::newRow("no lookup with iSKIP 0")          << u"CD-200"_s << 0 << ab << 1 << QString() << reviewing << false;
        QTest::newRow("no lookup with iSKIP 2")          << u"CD-200"_s << 2 << ab << 1 << QString() << reviewing << false;
        // clang-format on
    }

    void checkPN()
    {
        QFETCH(QString, strPN);
        QFETCH(int, iSKIP);
        QFETCH(QString, curPN);
        QFETCH(int, pnCHECK);
        QFETCH(QString, message);
        QFETCH(QString, after);
        QFETCH(bool, asks);
        test::TestDatabase tdb;
        QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
        QVERIFY(tdb.exec(
            u"INSERT INTO snPN (partNUM, mapPORT) VALUES ('AB-100', 1), ('CD-200', 2), ('CD-200', 3)"_s));
        test::CountedAccount counted(tdb);
        QVERIFY(counted.ok());
        db::Database database(&m_dialogs);
        w = std::make_unique<ProbeWindow>(&m_dialogs, &m_pause, &m_end, &database);
        const db::Profile t = counted.profile();
        w->account.ipPORT = t.server;
        w->account.custDB = t.database;
        w->account.custUSER = t.user;
        w->account.custUSER_PW = t.password;
        w->account.snTABLE = u"snPN"_s;
        w->cur.curPN = curPN;
        w->txtStatus->setText(u"before the check"_s);
        QVERIFY(test::showAndActivate(w.get()));
        test::PaintCounter counter(w->txtStatus);
        QCoreApplication::processEvents();
        counter.paints = 0;
        m_pause.during = [&](double) {
            m_seen.append({w->txtStatus->text(), backColor(w->lsttestPN), counter.paints});
        };
        QString pn = strPN;
        qint16 check = -1;
        qint16 skip = qint16(iSKIP);
        const auto sent = counted.measure("checkPN", [&] { w->checkPN(pn, check, skip, u"lsttestPN"_s); });

        QCOMPARE(int(check), pnCHECK);
        QCOMPARE(sent.select + sent.update > 0, asks);
        if (message.isEmpty()) {
            QVERIFY(m_pause.waits.isEmpty());
            QVERIFY(counter.paints >= 1); // "Reviewing ..." was shown at once
        } else {
            QCOMPARE(m_pause.waits, QList<double>{3});
            QCOMPARE(m_seen.first().status, message);
            QCOMPARE(m_seen.first().colour, colors::red);
            QVERIFY(m_seen.first().statusPaints >= 2); // the opening text and the message, each at once
        }
        QCOMPARE(backColor(w->lsttestPN), colors::white);
        QCOMPARE(w->txtStatus->text(), after);
        QVERIFY(m_dialogs.messages.isEmpty());
    }

    void checkPNUnreachableServer()
    {
        // No count from the server: the name is taken as new (the write that follows
        // reports the failure), within the bounded wait, without a box.
        db::Database database(&m_dialogs, db::Timeouts{2, 2, 2});
        w = std::make_unique<ProbeWindow>(&m_dialogs, &m_pause, &m_end, &database);
        w->account.ipPORT = u"127.0.0.1:"_s + QString::number(test::deadPort());
        w->account.custDB = u"nowhere"_s;
        w->account.snTABLE = u"snPN"_s;
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

    void lengthLimits_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("limit");
        QTest::newRow("port description 15") << u"txtPort"_s << 15;
        QTest::newRow("PN description 25") << u"txtsnNAME"_s << 25;
        QTest::newRow("SN format 35") << u"txtsnFORMAT"_s << 35;
        QTest::newRow("good R&R SN 35") << u"txtGOODSN"_s << 35;
        QTest::newRow("bad R&R SN 35") << u"txtBADSN"_s << 35;
    }

    void lengthLimits()
    {
        QFETCH(QString, name);
        QFETCH(int, limit);
        auto* edit = w->findChild<QLineEdit*>(name);
        // A text set by the program (a description read from the database) stays whole.
        const QString longText = QString(limit + 5, u'A');
        edit->setText(longText);
        QCOMPARE(edit->text(), longText);
        // Typing stops at the limit; pasting keeps only what fits.
        QVERIFY(test::showAndActivate(w.get()));
        edit->setEnabled(true);
        const QString typed = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789XYZ"_s.left(limit + 3);
        typeInto(edit, typed);
        QCOMPARE(edit->text(), typed.left(limit));
        QVERIFY(edit->isModified());
        QGuiApplication::clipboard()->setText(u"123"_s);
        if (QGuiApplication::clipboard()->text() != u"123"_s)
            QSKIP("This platform has no clipboard");
        edit->setCursorPosition(2);
        QTest::keyClick(edit, Qt::Key_Backspace);
        edit->paste();
        QCOMPARE(edit->text(), typed.left(1) + u"1"_s + typed.mid(2, limit - 2));
    }

    void longProgramTextShrinksButDoesNotGrow()
    {
        QVERIFY(test::showAndActivate(w.get()));
        QLineEdit* port = w->txtPort;
        port->setText(u"Port Description"_s); // 16 characters
        port->setEnabled(true);
        port->setFocus(Qt::MouseFocusReason);
        port->end(false);
        QTest::keyClicks(port, u"X"_s);
        port->setCursorPosition(4);
        QTest::keyClick(port, Qt::Key_Y);
        QCOMPARE(port->text(), u"Port Description"_s);
        QCOMPARE(port->cursorPosition(), 4);
        // A selection replaced by fewer characters shrinks the text: allowed, up to the limit.
        port->setSelection(0, 4);
        QTest::keyClicks(port, u"Port"_s);
        QCOMPARE(port->text(), u"Por Description"_s);
        // Deleting is always allowed; from then on the limit holds.
        port->end(false);
        QTest::keyClick(port, Qt::Key_Backspace);
        QTest::keyClicks(port, u"nX"_s);
        QCOMPARE(port->text(), u"Por Description"_s);
    }

private:
    FakeDialogs m_dialogs;
    RecordingPause m_pause;
    RecordingProgramEnd m_end;
    std::unique_ptr<ProbeWindow> w;
    QList<Seen> m_seen;

    // Writes down the status text and `watched`'s colour at the start of every wait.
    void watch(QWidget* watched)
    {
        m_pause.during = [this, watched](double) {
            m_seen.append({w->txtStatus->text(), backColor(watched), 0});
        };
    }
    // Puts the focus in `edit` by a click and types `text` over what it holds.
    void typeInto(QLineEdit* edit, const QString& text)
    {
        edit->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), edit);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        w->reset();
        QTest::keyClicks(edit, text);
    }
};

QTEST_MAIN(TestFieldHandlers)
#include "tst_fieldhandlers.moc"
