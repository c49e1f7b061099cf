// The editor without a server: the procedures that move the window between its states, its
// fields and option boxes, focus and click safety, quitting; the rules behind the fields.
#include "Colors.h"
#include "CurrentParams.h"
#include "EditorFakes.h"
#include "FormMainTestMenu.h"
#include "PartNumberRules.h"
#include "SerialNumberRules.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace zelmar;

using Act = std::function<void(zelmar::FormMainTestMenu&)>;
Q_DECLARE_METATYPE(Act)

namespace {

const QString idle = u"Waiting for User Input"_s;
const QList<double> none;

// The background as painted: beside the text and a check box's indicator, left of a list's arrow.
QColor painted(QWidget* control)
{
    const QImage image = control->grab().toImage();
    const int x = qobject_cast<QComboBox*>(control) ? image.width() / 2 : image.width() - 4;
    return image.pixelColor(x, image.height() / 2);
}

} // namespace

class TestEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        // System colours unlike each other, so that the menu colour and the button face can be told apart.
        QPalette system = QApplication::palette();
        system.setColor(QPalette::Window, QColor(200, 210, 220));
        system.setColor(QPalette::Button, QColor(180, 170, 160));
        QApplication::setPalette(system);
    }
    void init()
    {
        m_dialogs = {};
        m_end = {};
        m_pause = {};
        w = std::make_unique<FormMainTestMenu>(&m_dialogs, &m_pause, &m_end, nullptr);
        w->txtStatus->setText(idle);
    }
    void cleanup() { w.reset(); }

    void tabFollowsTheReadingOrder()
    {
        // The fields left of the command column (and the rows above it) row by row, a row being
        // controls whose middles lie within half a field's height, left to right; then the column top down.
        const QRect column = w->btnREVIEW->geometry();
        const auto command = [&](QWidget* c) {
            return c->x() >= column.x() && c->y() >= column.y();
        };
        QList<QWidget*> walked;
        QWidget* at = w->lsttestPN;
        do {
            if ((at->focusPolicy() & Qt::TabFocus) && at->parentWidget() == w.get() &&
                at->isVisibleTo(w.get()))
                walked << at;
            at = at->nextInFocusChain();
        } while (at != w->lsttestPN);
        QCOMPARE(walked.size(), 32);
        for (qsizetype i = 1; i < walked.size(); ++i) {
            QWidget *a = walked[i - 1], *b = walked[i];
            const int down = b->geometry().center().y() - a->geometry().center().y();
            const bool next = command(a)
                                  ? command(b) && down > 0
                                  : command(b) || down > 11 || (std::abs(down) <= 11 && b->x() > a->x());
            QVERIFY2(next, qPrintable(a->objectName() + u" then "_s + b->objectName()));
        }
    }

    void setupPORTSCorrectsCodes_data()
    {
        // Port 49's stored unitSCALE, mspeed, Range, numAVG, timeDELAY, min spec in ohms; then the
        // list positions of scale, speed and range; the averages, delay and min spec shown.
        QTest::addColumn<QList<double>>("stored");
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<QStringList>("shown");
        // clang-format off
        QTest::newRow("too high: corrected") << QList<double>{5, 4, 8, 26, 75, -250} << QList<int>{1, 1, 0} << QStringList{u"1"_s, u"0.25"_s, u"-250.0000"_s};
        QTest::newRow("highest kept")        << QList<double>{4, 3, 7, 25, 60, 9999940} << QList<int>{3, 2, 7} << QStringList{u"25"_s, u"60"_s, u"9.9999"_s};
        // clang-format on
    }

    void setupPORTSCorrectsCodes()
    {
        QFETCH(QList<double>, stored);
        QFETCH(QList<int>, positions);
        QFETCH(QStringList, shown);
        CurrentParams& c = w->cur;
        const int k = 48; // port 49: a larger station is cut to the ports the slots hold
        QVERIFY(w->setnumPORTS(49) && !w->setnumPORTS(60));
        c.defPORT();
        c.unitSCALE[k] = qint16(stored[0]);
        c.mspeed[k] = qint16(stored[1]);
        c.Range[k] = qint16(stored[2]);
        c.numAVG[k] = qint16(stored[3]);
        c.timeDELAY[k] = float(stored[4]);
        c.minSPEC[k] = float(stored[5]);
        c.acTIVE[k] = 2;     // anything but 1 is unticked
        c.ssTOL[k] = 0.125f; // shown in percent
        c.ssON[k] = 2;       // any other switch but 0 is ticked
        c.ssREQD[k] = 3;
        w->setupPORTS(k, 0, u"test"_s);
        QVERIFY(w->lstPORT->count() == 49 && w->lstPORT->currentIndex() == k);
        QCOMPARE((QList<int>{w->lstsCALE->currentIndex(), w->lstSPEED->currentIndex(),
                             w->lstRANGE->currentIndex()}),
                 positions);
        QCOMPARE(
            (QStringList{w->txtAVG->text(), w->txtTDLY->text(), w->txtMinSpec->text(), w->txtssTOL->text()}),
            shown + QStringList{u"12.5"_s});
        QVERIFY(!w->chkACTIVE->isChecked() && w->chkssON->isChecked() && w->chkssREQD->isChecked());
        // Left for port 1, what was shown is held: position p stores p + 1 for scale and speed, p for
        // the range; a switch left alone keeps its value, one the operator changed is 0 or 1.
        w->chkssREQD->setChecked(false);
        w->lstPORT->setCurrentIndex(0);
        QCOMPARE((QList<int>{c.ssON[k], c.ssREQD[k]}), (QList<int>{2, 0}));
        QCOMPARE((QList<int>{c.unitSCALE[k], c.mspeed[k], c.Range[k], c.numAVG[k]}),
                 (QList<int>{positions[0] + 1, positions[1] + 1, positions[2], shown[0].toInt()}));
        QCOMPARE(c.timeDELAY[k], shown[1].toFloat());
        QCOMPARE(c.minSPEC[k], float(stored[5])); // the limit shown was left alone
    }

    void unlockFIELDS_data()
    {
        QTest::addColumn<QList<bool>>("on"); // scanning, auto measure, R and R, steady state
        QTest::newRow("scanning and steady state") << QList<bool>{true, false, false, true};
        QTest::newRow("auto measure and R and R") << QList<bool>{false, true, true, false};
    }

    void unlockFIELDS()
    {
        QFETCH(QList<bool>, on);
        loadDefaults(4);
        FormMainTestMenu::refillList(w->lsttestPN, {u"AB-100"_s});
        w->lsttestPN->blockSignals(true); // selected without its load
        w->lsttestPN->setCurrentIndex(0);
        w->lsttestPN->blockSignals(false);
        const QList<QCheckBox*> boxes{w->chksnBARCODE, w->chkautoMEASURE, w->chkRANDR, w->chkssON};
        for (int i = 0; i < 4; ++i) {
            const QSignalBlocker blocker(boxes[i]); // without the handlers' corrections
            boxes[i]->setChecked(on[i]);
        }
        // Locking is no leave of the field with the focus.
        w->cur.pnLOADED = 1;
        QVERIFY(test::showAndActivate(w.get()));
        w->txtTDLY->setEnabled(true);
        w->txtTDLY->setFocus();
        QTRY_VERIFY(w->txtTDLY->hasFocus());
        test::putText(w->txtTDLY, u"45"_s);
        w->lockFIELDS();
        w->unlockFIELDS();
        QCoreApplication::processEvents();
        QVERIFY(w->txtTDLY->text() == u"45"_s && m_pause.waits.isEmpty());
        const QHash<QWidget*, bool> dependent = {
            {w->txtsnFORMAT, on[0]}, {w->txtautoTIME, on[1]}, {w->txtGOODSN, on[2]}, {w->txtBADSN, on[2]},
            {w->txtssTOL, on[3]},    {w->txtssMAXT, on[3]},   {w->chkssREQD, on[3]}};
        for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if ((qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) || qobject_cast<QCheckBox*>(c)) &&
                c != w->txtStatus)
                QVERIFY2(c->isEnabled() == dependent.value(c, true), qPrintable(c->objectName()));
        }
    }

    void blankFIELDS()
    {
        loadDefaults(4);
        for (QCheckBox* c : w->findChildren<QCheckBox*>())
            c->setChecked(true);
        w->txtsnFORMAT->setText(u"AB-###"_s);
        w->lockFIELDS();
        w->blankFIELDS();
        QCOMPARE(w->lblsnLEN->text(), u"0"_s);
        for (QCheckBox* c : w->findChildren<QCheckBox*>())
            QVERIFY2(!c->isChecked(), qPrintable(c->objectName()));
        for (QComboBox* list : {w->lstPORT, w->lstsCALE, w->lstuNITS, w->lstSPEED, w->lstRANGE})
            QVERIFY(list->currentIndex() == -1 && list->count() > 0); // the lists keep their entries
        // Unticking ran each box's handler: the fields that depend on it are greyed.
        const QColor menu = QApplication::palette().color(QPalette::Window);
        for (QWidget* c : QList<QWidget*>{w->txtsnFORMAT, w->txtautoTIME, w->chkRANDR, w->txtssTOL})
            QVERIFY2(painted(c) == menu, qPrintable(c->objectName()));
    }

    void leaveOnlyWhenLeft_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("another field clicked during Enter's flash: one check") << 0;
        QTest::newRow("the window goes during Enter's flash: untouched after") << 3;
        QTest::newRow("the window goes during the leave's flash, called by other code") << 4;
        QTest::newRow("REVIEW released during the leave's flash: the click acts once, after it") << 5;
    }

    void leaveOnlyWhenLeft()
    {
        QFETCH(int, how);
        w->cur.pnLOADED = 1;
        w->displayBTN(0);
        QVERIFY(test::showAndActivate(w.get()));
        QPointer<QLineEdit> field = w->txtTDLY;
        typeInto(field, u"45"_s);
        m_pause.during = [&](double) {
            if (how == 0 && m_pause.waits.size() == 1)
                w->txtAVG->setFocus(Qt::MouseFocusReason);
            if (how == 3 || how == 4)
                w.reset();
            if (how == 5)
                QTest::mouseRelease(w->btnREVIEW, Qt::LeftButton);
        };
        if (how == 0 || how == 3)
            QTest::keyPress(field, Qt::Key_Return);
        else if (how == 4)
            w->txtTDLY_LostFocus();
        else
            QTest::mousePress(w->btnREVIEW, Qt::LeftButton);
        QCoreApplication::processEvents();
        // One check, if any; a click released during it acts after it.
        const QList<double> checks = how == 0 || how >= 3 ? QList<double>{3} : none;
        QCOMPARE(m_pause.waits, how == 5 ? checks + checks : checks);
        if (w)
            QCOMPARE(w->txtTDLY->text(), how == 0 || how == 5 ? u"30.00"_s : u"45"_s);
        if (how == 0)
            QCOMPARE(QApplication::focusWidget(), w->txtAVG);
        if (how == 5)
            QVERIFY(!w->btnREVIEW->isDown());
    }

    void snFormatThroughTheWindow()
    {
        QVERIFY(test::showAndActivate(w.get()));
        QLineEdit* format = w->txtsnFORMAT;
        QList<QColor> colours;
        m_pause.during = [&](double) {
            colours << painted(format);
        };
        format->setEnabled(true);
        typeInto(format, u"ab#"_s);
        QCOMPARE(format->text(), u"ab#"_s); // typing is not checked
        w->btnADD->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QVERIFY(format->text() == u"#"_s && w->lblsnLEN->text() == u"1"_s);
        // Called by other code, the check is the same; with nothing left, the flash is red.
        bool Cancel = false;
        format->setText(u"x?"_s);
        w->txtsnFORMAT_Validate(Cancel);
        QVERIFY(format->text().isEmpty() && w->lblsnLEN->text() == u"0"_s);
        QCOMPARE(colours, (QList<QColor>{QColor(255, 255, 0), QColor(255, 0, 0)}));
        QCOMPARE(m_pause.waits, (QList<double>{2.5, 2.5}));
    }

    void quit()
    {
        QVERIFY(test::showAndActivate(w.get()));
        w->Timer1->start(2500);
        w->cur.xlOPEN = 1; // an open spreadsheet is handed over first, the window still running
        QStringList steps;
        w->spreadsheetHandOver = [&] {
            steps << (w->Timer6->isActive() && w->isVisible() ? u"hand over"_s : u"late"_s);
        };
        // The goodbye box sees the timers stopped and the window gone, the program not ended yet.
        // While it is up, QUIT comes again directly and by the one-hour timer: it ends once.
        m_dialogs.whileShown = [&](const test::ScriptedDialogs::Shown&) {
            if (m_dialogs.shown.size() > 1)
                return;
            const bool ready =
                !w->Timer1->isActive() && !w->Timer6->isActive() && !w->isVisible() && !m_end.ends;
            steps << (ready ? u"goodbye"_s : u"too early"_s);
            w->btnQUIT_Click();
            QTimer::singleShot(0, w.get(), [&] { w->btnQUIT_Click(); });
            QTest::qWait(20);
        };
        w->btnQUIT_Click();
        w->btnQUIT_Click();
        QCOMPARE(steps, (QStringList{u"hand over"_s, u"goodbye"_s}));
        QCOMPARE(m_end.ends, 1);
        // A spreadsheet application the operator had closed: the program still ends.
        init();
        w->cur.xlOPEN = 1;
        w->spreadsheetHandOver = [] {
            throw std::runtime_error("the application is gone");
        };
        w->btnQUIT_Click();
        QVERIFY(m_dialogs.shown.size() == 1 && m_end.ends == 1);
    }

    // The entry rules of the seven numeric fields, written out here, against the fields driven
    // in the window: typing changes, Return or keypad Enter checks and keeps the focus, Tab leaves.
    void numericField_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("replacement");   // for a text that is no number while typing
        QTest::addColumn<QList<double>>("bounds");  // low, high: inclusive
        QTest::addColumn<QString>("unreadable");    // no number when checked
        QTest::addColumn<QStringList>("corrected"); // below, above, unreadable
        QTest::addColumn<QStringList>("messages");  // below, above, unreadable; empty: none
        QTest::addColumn<bool>("unreadableFlash");
        QTest::addColumn<double>("pause");
        QTest::addColumn<QStringList>("leave");  // typed, re-printed on leaving
        QTest::addColumn<bool>("checkReprints"); // a value within bounds re-printed with 1 decimal
        const QString tdly = u"ERROR: Time Delay value was "_s, tol = u"ERROR: Stability Tol "_s,
                      maxt = u"ERROR: Max Wait Time "_s;
        // clang-format off
        QTest::newRow("txtMinSpec") << u"txtMinSpec"_s << u"0.0"_s << QList<double>{0, 1e8} << u"-"_s
            << QStringList{u"0.0"_s, u"0.0"_s, u"0.0"_s} << QStringList{{}, {}, {}} << false << 4.0
            << QStringList{u" 1500.250 "_s, u"1,500.250"_s} << false;
        QTest::newRow("txtMaxSpec, a blank") << u"txtMaxSpec"_s << u"100.0"_s << QList<double>{0, 1e8} << u" "_s
            << QStringList{u"100.0"_s, u"100.0"_s, u"0.0"_s} << QStringList{{}, {}, {}} << true << 2.0
            << QStringList{u"7"_s, u"7.0"_s} << false;
        QTest::newRow("txtAVG, inf") << u"txtAVG"_s << u"2"_s << QList<double>{1, 25} << u"inf"_s
            << QStringList{u"1"_s, u"25"_s, u"2"_s}
            << QStringList{{}, {}, u"ERROR: Text average was out of bounds"_s} << true << 4.0
            << QStringList{u"7"_s, u"7.00"_s} << false;
        QTest::newRow("txtTDLY, separator after the point") << u"txtTDLY"_s << u"0.25"_s << QList<double>{0, 30}
            << u"1.5,0"_s << QStringList{u"0.0"_s, u"30"_s, u"0.25"_s}
            << QStringList{tdly + u"negative"_s, tdly + u"out of bounds"_s, tdly + u"unrecognizable"_s}
            << true << 3.0 << QStringList{u"2.345"_s, u"2.35"_s} << false;
        QTest::newRow("txtssTOL") << u"txtssTOL"_s << u"5.0"_s << QList<double>{0.99, 20.01} << u"-"_s
            << QStringList{u"1.0"_s, u"20.0"_s, u"5.0"_s}
            << QStringList{tol + u"must be >= 1%"_s, tol + u"must be <= 20%"_s, tol + u"entry was unknown"_s}
            << true << 3.0 << QStringList{u"12.25"_s, u"12.3"_s} << false;
        QTest::newRow("txtssMAXT") << u"txtssMAXT"_s << u"2.0"_s << QList<double>{2, 10} << u"-"_s
            << QStringList{u"2.0"_s, u"10.0"_s, u"2.0"_s}
            << QStringList{maxt + u"must be >= 2 secs"_s, maxt + u"must be <= 10 secs"_s, maxt + u"Value was unrecognized"_s}
            << true << 4.0 << QStringList{u"4.75"_s, u"4.8"_s} << false;
        QTest::newRow("txtautoTIME") << u"txtautoTIME"_s << u"60.0"_s << QList<double>{5, 120} << u"-"_s
            << QStringList{u"5.0"_s, u"120.0"_s, u"60.0"_s} << QStringList{{}, {}, {}} << true << 4.0
            << QStringList{u"45"_s, u"45.0"_s} << true;
        // clang-format on
    }

    void numericField()
    {
        QFETCH(QString, name);
        QFETCH(QList<double>, bounds);
        QFETCH(QString, unreadable);
        QFETCH(QStringList, corrected);
        QFETCH(QStringList, messages);
        QFETCH(bool, unreadableFlash);
        QFETCH(double, pause);
        QFETCH(QStringList, leave);
        QFETCH(bool, checkReprints);
        QVERIFY(test::showAndActivate(w.get()));
        auto* edit = w->findChild<QLineEdit*>(name);
        edit->setEnabled(true);
        QList<std::pair<QString, QColor>> seen; // the status and the field's colour during each wait
        m_pause.during = [&](double) {
            seen.append({w->txtStatus->text(), painted(edit)});
        };
        const auto number = [](double v) {
            return QLocale::c().toString(v, 'f', QLocale::FloatingPointShortest);
        };
        const auto check = [&](const QString& text, bool typed, Qt::Key key) {
            if (typed) {
                typeInto(edit, text);
                QCOMPARE(edit->text(), text); // typing is not checked
            } else {
                test::putText(edit, text);
            }
            QCOMPARE(m_pause.waits, none);
            seen.clear();
            QTest::keyClick(edit, key);
            QCOMPARE(QApplication::focusWidget(), edit);
        };
        typeInto(edit, QString());
        for (double v : bounds) {
            check(number(v), false, Qt::Key_Return);
            QCOMPARE(edit->text(), checkReprints ? QLocale().toString(v, 'f', 1) : number(v));
        }
        // Just out of bounds, or unreadable: corrected, flashed red with the message, then white again.
        const QStringList wrong{number(bounds[0] - 0.001), number(bounds[1] + 0.001), unreadable};
        for (int i = 0; i < 3; ++i) {
            check(wrong[i], i < 2, i == 1 ? Qt::Key_Enter : Qt::Key_Return);
            QCOMPARE(edit->text(), corrected[i]);
            const bool flashes = i < 2 || unreadableFlash;
            QCOMPARE(m_pause.waits, flashes ? QList<double>{pause} : none);
            if (flashes)
                QCOMPARE(seen.first(),
                         std::pair(messages[i].isEmpty() ? idle : messages[i], QColor(255, 0, 0)));
            QVERIFY(painted(edit) == QColor(255, 255, 255) && w->txtStatus->text() == idle);
            m_pause.waits.clear();
        }
        // While typing, a number on its way stays; anything else gives the replacement at once.
        for (const QString& onItsWay : {u"-."_s, u"1,"_s}) {
            edit->setText(onItsWay);
            QCOMPARE(edit->text(), onItsWay);
        }
        edit->setText(u"1x"_s);
        QTEST(edit->text(), "replacement");
        // Leaving re-prints in the field's format and never holds the focus.
        test::putText(edit, leave[0]);
        QTest::keyClick(edit, Qt::Key_Tab);
        QCoreApplication::processEvents();
        QVERIFY(QApplication::focusWidget() != edit);
        QCOMPARE(edit->text(), leave[1]);
    }

    void serialMatch_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<bool>("matches");
        // clang-format off
        QTest::newRow("AB-###$ against AB-123X")       << u"AB-###$"_s << u"AB-123X"_s << true;
        QTest::newRow("dollar takes a digit")          << u"12 *$"_s << u"12 Q9"_s << true;
        QTest::newRow("no extra character at the end") << u"12 *$"_s << u"12 QZZ"_s << false;
        QTest::newRow("last match after false starts") << u"-AB"_s << u"AAAB"_s << true;
        // Backtracking would take on the order of C(35,17) steps here.
        QTest::newRow("17 dashes between letters")     << u"-A"_s.repeated(17) + u"B"_s << QString(35, u'A') << false;
        // clang-format on
    }

    void serialMatch()
    {
        QFETCH(QString, format);
        QFETCH(QString, serial);
        QString pattern;
        qint16 length = 0;
        ConvertSerialNumber(format, pattern, length);
        QTEST(serialNumberMatches(serial, pattern), "matches");
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
        // The table holds AB-100.
        // clang-format off
        QTest::newRow("26 characters: length first") << u"abcdefghijklmnopqrstuvwx_z"_s << 1 << ab << u"25 characters"_s << false;
        QTest::newRow("25 characters accepted")      << u"ABCDEFGHIJKLMNOPQRSTUVWXY"_s << 1 << ab << QString() << true;
        QTest::newRow("underscore")                  << u"AB_1"_s << 1 << ab << chars << false;
        QTest::newRow("A-B C passes alphanumeric")   << u"A-B C"_s << 0 << ab << QString() << false;
        QTest::newRow("A--B fails alphanumeric")     << u"A--B"_s << 1 << ab << u"alphanumeric"_s << false;
        QTest::newRow("stored once")                 << ab << 1 << u"XY-1"_s << exists << true;
        QTest::newRow("loaded PN in other case")     << ab << 1 << u"Ab-100"_s << exists << true;
        // clang-format on
    }

    void checkPN()
    {
        QFETCH(QString, strPN);
        QFETCH(int, iSKIP);
        QFETCH(QString, curPN);
        QFETCH(QString, refusal);
        QFETCH(bool, asks);
        test::RecordingPause pause;
        QLineEdit status(u"before"_s);
        QComboBox list;
        QStringList asked;
        const PartNumberRule rule(&status, &list, &pause,
                                  [&](const QString& pn, qint16& count, const QString&) {
                                      asked << pn;
                                      count = qint16(pn == u"AB-100"_s ? 1 : 0);
                                  });
        QList<std::pair<QString, quint32>> seen; // the status and colour at the start of each wait
        pause.during = [&](double) {
            seen.append({status.text(), backColor(&list)});
        };
        qint16 check = -1;
        rule.checkPN(strPN, check, qint16(iSKIP), u"lsttestPN"_s, curPN);
        QCOMPARE(check, qint16(refusal.isEmpty() ? 1 : 0));
        QCOMPARE(asked, asks ? QStringList{strPN} : QStringList());
        QCOMPARE(pause.waits, refusal.isEmpty() ? none : QList<double>{3});
        if (!refusal.isEmpty()) {
            const auto [told, colour] = seen.first();
            QVERIFY2(told.contains(refusal) && colour == colors::red, qPrintable(told));
            // A name found in the table leaves the status idle; other refusals stay on show.
            QCOMPARE(status.text(), asks ? idle : told);
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
        QTest::newRow("blank, dash, digit, underscore") << split(u",AB_1,AB-1,AB 1,AB1"_s) << 4 << split(u",AB 1,AB-1,AB1,AB_1"_s);
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
        db::PnList list{};
        std::copy(before.begin(), before.end(), list.begin());
        zelmar::bSORT(list, numPN);
        QTEST(QStringList(list.begin(), list.begin() + before.size()), "sorted");
    }

    void portFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("from"); // the scale when the text is put in
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("to");        // the scale chosen next; -1: port 2 chosen instead
        QTest::addColumn<QString>("shown"); // the field's text after a scale change
        QTest::addColumn<float>("stored");  // what port 1 holds after it
        const auto row = [](const char* name, const char* field, int from, const QString& text, int to,
                            const QString& shown, float stored) {
            QTest::newRow(name) << QString::fromLatin1(field) << from << text << to << shown << stored;
        };
        // A scale change re-expresses the limit on show and changes nothing in memory.
        row("unity to kilo", "txtMinSpec", 1, u"1500"_s, 2, u"1.5000"_s, 1);
        row("kilo to milli", "txtMinSpec", 2, u"0.25"_s, 0, u"250,000"_s, 1);
        // A port switch stores the fields into the port left; a limit whose shown number was
        // left alone keeps the value held.
        row("tolerance 0.5 % stores 0.01", "txtssTOL", 3, u"0.5"_s, -1, {}, 0.01f);
        row("averages 2.5 store 2 (half to even)", "txtAVG", 3, u"2.5"_s, -1, {}, 2);
        row("averages 3.5 store 4", "txtAVG", 3, u"3.5"_s, -1, {}, 4);
        row("delay 61 stores 0.25", "txtTDLY", 3, u"61"_s, -1, {}, 0.25f);
        row("delay 60 passes", "txtTDLY", 3, u"60"_s, -1, {}, 60);
        row("wait 1 stores 2", "txtssMAXT", 3, u"1"_s, -1, {}, 2);
        row("max 1 in mega stores 1000000", "txtMaxSpec", 3, u"1"_s, -1, {}, 1000000);
        row("min left at the 0.0000 that 1 ohm shows in mega keeps 1", "txtMinSpec", 3, u"0.0000"_s, -1, {},
            1);
        row("min not a number stores the replacement 0", "txtMinSpec", 1, u"--"_s, -1, {}, 0);
        row("huge max keeps the stored value", "txtMaxSpec", 3, u"1e300"_s, -1, {}, 1000);
    }

    void portFields()
    {
        QFETCH(QString, field);
        QFETCH(int, from);
        QFETCH(QString, text);
        QFETCH(int, to);
        loadDefaults(4);
        const CurrentParams& c = w->cur;
        w->lstsCALE->setCurrentIndex(from);
        test::putText(w->findChild<QLineEdit*>(field), text);
        if (to < 0) {
            w->lstPORT->setCurrentIndex(1);
            QVERIFY(c.unitSCALE[0] == from + 1 && w->txtPort->text() == u"PORT 2"_s);
        } else {
            w->lstsCALE->setCurrentIndex(to);
            QTEST(w->txtMinSpec->text(), "shown");
        }
        const QHash<QString, float> port1 = {
            {u"txtssTOL"_s, c.ssTOL[0]},   {u"txtAVG"_s, c.numAVG[0]},      {u"txtTDLY"_s, c.timeDELAY[0]},
            {u"txtssMAXT"_s, c.ssMAXT[0]}, {u"txtMaxSpec"_s, c.maxSPEC[0]}, {u"txtMinSpec"_s, c.minSPEC[0]}};
        QTEST(port1.value(field), "stored");
    }

    // What the operator sees is the look a control was given; the system colours are the palette's.
    void looksArePainted_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Act>("act");
        QTest::addColumn<QList<QColor>>("painted"); // at each pause, then when done
        const QColor white(255, 255, 255), red(255, 0, 0), yellow(255, 255, 0), green(0, 255, 0);
        const QColor menu = QApplication::palette().color(QPalette::Window);
        const QColor face = QApplication::palette().color(QPalette::Button);
        const auto row = [](const char* name, const char* control, const Act& act,
                            const QList<QColor>& colours) {
            QTest::newRow(name) << QString::fromLatin1(control) << act << colours;
        };
        using W = FormMainTestMenu;
        row("R and R refused without scanning: red, then menu colour", "chkRANDR",
            [](W& w) { w.chkRANDR->setChecked(true); }, {red, menu});
        row("scanning on: R and R box white", "chkRANDR", [](W& w) { w.chksnBARCODE->setChecked(true); },
            {white});
        row("PN active without ports: Port Active box ends in button face", "chkACTIVE",
            [](W& w) {
                w.setnumPORTS(0);
                w.chksnACTIVE->setChecked(true);
                w.btnREVIEW_Click();
            },
            {red, yellow, white, face});
        row("no port shown: PN list red, then white", "lsttestPN",
            [](W& w) {
                w.lstPORT->setCurrentIndex(-1);
                w.btnREVIEW_Click();
            },
            {red, white});
        row("review passed: status green, then white", "txtStatus", [](W& w) { w.btnREVIEW_Click(); },
            {green, white});
        row("new PN named as the loaded one: status red, then white", "txtStatus",
            [](W& w) { w.btnADD_Click(); }, {red, white});
    }

    void looksArePainted()
    {
        QFETCH(QString, control);
        QFETCH(Act, act);
        loadDefaults(4);
        w->cur.pnLOADED = 1;
        w->cur.curPN = u"AB-100"_s;
        w->lsttestPN->setEditText(w->cur.curPN);
        m_dialogs.inputAnswers = {w->cur.curPN}; // the name typed for a new PN
        QWidget* shown = w->findChild<QWidget*>(control);
        QList<QColor> seen;
        m_pause.during = [&](double) {
            seen << painted(shown);
        };
        act(*w);
        seen << painted(shown);
        QTEST(seen, "painted");
    }

private:
    test::ScriptedDialogs m_dialogs;
    test::RecordingPause m_pause;
    test::RecordingProgramEnd m_end;
    std::unique_ptr<FormMainTestMenu> w;

    // Blank and locked, default ports, the lists filled and port 1 shown; nothing listed as run yet.
    void loadDefaults(int ports)
    {
        w->setnumPORTS(ports);
        w->blankFIELDS();
        w->lockFIELDS();
        w->cur.defPORT();
        w->setupPORTS(0, 0, u"test"_s);
    }
    // Puts the focus in `edit` by a click and types `text` over what it holds.
    void typeInto(QLineEdit* edit, const QString& text)
    {
        edit->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), edit);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
