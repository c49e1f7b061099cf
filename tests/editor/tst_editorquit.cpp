// QUIT.
#include "EditorFakes.h"
#include "FormMainTestMenu.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace zelmar;
using zelmar::test::FakeDialogs;
using zelmar::test::FakePause;
using zelmar::test::FakeProgramEnd;
using zelmar::test::ProbeWindow;

namespace {
const QString goodbyeText = u"Thank you for using Zelmar\u2122"_s;
const QString goodbyeTitle = u"Quarrix Technologies, LLC"_s;
} // namespace

class TestEditorQuit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void quitWithoutExport();
    void quitHandsOverTheSpreadsheet();
    void handOverNotTouchedWithoutExport();
    void failedHandOverStillSaysGoodbyeAndEnds();
    void endsOnceWhenCalledDuringTheGoodbyeBox();
    void endsOnceOnSecondCall();
    void quitButtonRunsQuit();
    void oneHourTimerDuringGoodbyeBox();
    void noBoxOrEndBeforeQuit();
    void failingBoxStillEnds();

private:
    FakeDialogs m_dialogs;
    FakePause m_pause;
    FakeProgramEnd m_end;
    std::unique_ptr<ProbeWindow> w;
};

void TestEditorQuit::init()
{
    m_dialogs = FakeDialogs();
    m_end.ends = 0;
    w = std::make_unique<ProbeWindow>(&m_dialogs, &m_pause, &m_end);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->Timer1->start(2500);
}

void TestEditorQuit::cleanup()
{
    w.reset();
}

void TestEditorQuit::quitWithoutExport()
{
    // What the goodbye box sees: timers stopped and window gone already.
    bool timersStopped = false, windowGone = false, endedBefore = true;
    m_dialogs.whileMessageShown = [&] {
        timersStopped = !w->Timer1->isActive() && !w->Timer6->isActive();
        windowGone = !w->isVisible();
        endedBefore = m_end.ends > 0;
    };
    w->btnQUIT_Click();
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_dialogs.messages[0].first, goodbyeText);
    QCOMPARE(m_dialogs.messages[0].second, goodbyeTitle);
    QVERIFY(timersStopped);
    QVERIFY(windowGone);
    QVERIFY(!endedBefore);
    QCOMPARE(m_end.ends, 1);
}

void TestEditorQuit::quitHandsOverTheSpreadsheet()
{
    QStringList steps;
    w->cur.xlOPEN = 1;
    w->spreadsheetHandOver = [&] {
        // Before the timers stop and the window closes.
        steps << (w->Timer6->isActive() && w->isVisible() ? u"hand over first"_s : u"hand over late"_s);
    };
    m_dialogs.whileMessageShown = [&] {
        steps << u"goodbye"_s;
    };
    w->btnQUIT_Click();
    QCOMPARE(steps, (QStringList{u"hand over first"_s, u"goodbye"_s}));
    QCOMPARE(m_end.ends, 1);
}

void TestEditorQuit::handOverNotTouchedWithoutExport()
{
    int handOvers = 0;
    w->spreadsheetHandOver = [&] {
        ++handOvers;
    };
    w->cur.xlOPEN = 0;
    w->btnQUIT_Click();
    QCOMPARE(handOvers, 0);
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_end.ends, 1);
}

void TestEditorQuit::failedHandOverStillSaysGoodbyeAndEnds()
{
    // The operator has already closed the spreadsheet application.
    w->cur.xlOPEN = 1;
    w->spreadsheetHandOver = [] {
        throw std::runtime_error("the application is gone");
    };
    w->btnQUIT_Click();
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_dialogs.messages[0].first, goodbyeText);
    QCOMPARE(m_dialogs.messages[0].second, goodbyeTitle);
    QCOMPARE(m_end.ends, 1);
}

void TestEditorQuit::endsOnceWhenCalledDuringTheGoodbyeBox()
{
    m_dialogs.whileMessageShown = [&] {
        w->btnQUIT_Click();
    };
    w->btnQUIT_Click();
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_end.ends, 1);
}

void TestEditorQuit::endsOnceOnSecondCall()
{
    w->btnQUIT_Click();
    w->btnQUIT_Click();
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_end.ends, 1);
}

void TestEditorQuit::quitButtonRunsQuit()
{
    w->displayBTN(0);
    QVERIFY(w->btnQUIT->isEnabled());
    QTest::mouseClick(w->btnQUIT, Qt::LeftButton);
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_end.ends, 1);
    QVERIFY(!w->isVisible());
}

void TestEditorQuit::oneHourTimerDuringGoodbyeBox()
{
    // A timer event that reaches QUIT while the box is up (the box keeps the
    // event loop running) does not end the program a second time.
    m_dialogs.whileMessageShown = [&] {
        QTimer::singleShot(0, w.get(), [&] { w->btnQUIT_Click(); });
        QTest::qWait(20);
    };
    w->btnQUIT_Click();
    QTest::qWait(20);
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_end.ends, 1);
}

void TestEditorQuit::noBoxOrEndBeforeQuit()
{
    QVERIFY(m_dialogs.messages.isEmpty());
    QCOMPARE(m_end.ends, 0);
    w->close(); // closing alone is not QUIT
    QCOMPARE(m_end.ends, 0);
}

namespace {
class ThrowingDialogs : public FakeDialogs
{
public:
    void message(const QString& text, const QString& title) override
    {
        FakeDialogs::message(text, title);
        throw std::runtime_error("no box");
    }
};
} // namespace

void TestEditorQuit::failingBoxStillEnds()
{
    ThrowingDialogs dialogs;
    FakeProgramEnd end;
    ProbeWindow window(&dialogs, &m_pause, &end);
    window.btnQUIT_Click();
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(end.ends, 1);
}

QTEST_MAIN(TestEditorQuit)
#include "tst_editorquit.moc"
