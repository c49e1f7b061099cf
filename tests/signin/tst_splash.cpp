#include "Captions.h"
#include "ComeForward.h"
#include "SigninFixtures.h"
#include "frmSplash.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;
using signin::frmSplash;

class TestSplash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void loadNamesTheSystem_data();
    void loadNamesTheSystem();
    void everyControlHasAUniqueAccessibleName();
    void userCodeTakesAtMost16Characters();
    void cursorIsInUserCodeOnShow();
    void enterTakesTheCodeAsTyped_data();
    void enterTakesTheCodeAsTyped();
    void otherKeysNeitherTakeNorClose();
    void runningCopyEndsSilently_data();
    void runningCopyEndsSilently();
    void copyAtItsSignInWindowIsNotFound();
    void minimisedFirstCopyIsRestoredAndActivated();

private:
    QString m_scope;
    signin::ProgramValues m_values;
    test::FakeHost m_host;
    std::unique_ptr<RunningCopies> m_copies;
    test::RecordingProgramEnd m_end;
    std::unique_ptr<frmSplash> m_splash;

    void loadAndShow()
    {
        m_splash->Form_Load();
        m_splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_splash.get()));
    }
};

void TestSplash::init()
{
    m_splash.reset();
    m_scope = test::privateScope();
    m_values = {};
    m_host.value = test::windowsFacts(2, 5, 1);
    m_copies = std::make_unique<RunningCopies>(m_scope);
    m_end = {};
    m_splash = std::make_unique<frmSplash>(m_values, m_host, *m_copies, m_end);
}

void TestSplash::loadNamesTheSystem_data()
{
    QTest::addColumn<SystemFacts>("facts");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("support");
    QTest::newRow("windows xp") << test::windowsFacts(2, 5, 1) << u"Windows XP"_s << 1;
    QTest::newRow("class 0 still shows: the start decides")
        << test::windowsFacts(2, 5, 0) << u"Windows 2000"_s << 0;
    QTest::newRow("named system") << test::namedSystem(u"Debian GNU/Linux 12 (bookworm)"_s)
                                  << u"Debian GNU/Linux 12 (bookworm)"_s << 2;
}

void TestSplash::loadNamesTheSystem()
{
    QFETCH(SystemFacts, facts);
    QFETCH(QString, name);
    QFETCH(int, support);
    m_host.value = facts;
    loadAndShow();
    QCOMPARE(m_values.osNAME, name);
    QCOMPARE(int(m_values.osSUPPORT), support);
    QCOMPARE(m_splash->lblVersion->text(), u"Version 1.2.0\nSystem running on "_s + name);
    QCOMPARE(m_end.ends, 0);
    QVERIFY(m_splash->isVisible());
    QVERIFY(m_splash->txtUserCode->isEnabled());
}

void TestSplash::everyControlHasAUniqueAccessibleName()
{
    m_splash->Form_Load();
    const QList<QWidget*> controls{m_splash->Frame1,         m_splash->imgLogo,    m_splash->lblProductName,
                                   m_splash->lblDescription, m_splash->lblVersion, m_splash->lblWarning,
                                   m_splash->txtUserCode,    m_splash->Label1};
    // Unique by role and name: a field carries the text of its label (its buddy).
    QSet<QPair<int, QString>> names;
    for (QWidget* w : controls) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY(iface);
        const QString name = iface->text(QAccessible::Name);
        QVERIFY2(!name.trimmed().isEmpty(), qPrintable(w->objectName()));
        names.insert({int(iface->role()), name});
    }
    QCOMPARE(names.size(), controls.size());
    // The field is named for itself, not by the prompt above it, which changes while signing in.
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(m_splash->txtUserCode);
    const QString fieldName = field->text(QAccessible::Name);
    QVERIFY(fieldName != m_splash->lblWarning->text());
    m_splash->setSigningIn(true);
    QCOMPARE(field->text(QAccessible::Name), fieldName);
}

void TestSplash::userCodeTakesAtMost16Characters()
{
    loadAndShow();
    QTest::keyClicks(m_splash->txtUserCode, u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s);
    QCOMPARE(m_splash->txtUserCode->text(), u"ABCDEFGHIJKLMNOP"_s);
    m_splash->txtUserCode->clear();
    m_splash->txtUserCode->insert(u"0123456789abcdefXYZ"_s); // as a paste
    QCOMPARE(m_splash->txtUserCode->text(), u"0123456789abcdef"_s);
}

void TestSplash::cursorIsInUserCodeOnShow()
{
    loadAndShow();
    QVERIFY(QTest::qWaitForWindowActive(m_splash.get()));
    QTRY_VERIFY(m_splash->txtUserCode->hasFocus());
    // Typing without clicking goes into the field.
    QTest::keyClicks(QApplication::focusWidget(), u"X1"_s);
    QCOMPARE(m_splash->txtUserCode->text(), u"X1"_s);
}

void TestSplash::enterTakesTheCodeAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::newRow("plain") << u"X1"_s << int(Qt::Key_Return);
    QTest::newRow("blanks kept") << u"  ab 12  "_s << int(Qt::Key_Return);
    QTest::newRow("quote") << u"' OR '1'='1"_s << int(Qt::Key_Return);
    QTest::newRow("empty") << QString() << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << u"K9"_s << int(Qt::Key_Enter);
    QTest::newRow("Escape is the empty code") << u"K9"_s << int(Qt::Key_Escape);
}

void TestSplash::enterTakesTheCodeAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    loadAndShow();
    int hookCalls = 0;
    bool signingInAtHook = false;
    m_splash->setShowMainWindow([&] {
        ++hookCalls;
        // The window stays on screen while the sign-in runs, the field off.
        signingInAtHook = m_splash->isVisible() && !m_splash->txtUserCode->isEnabled() &&
                          m_splash->lblWarning->text() != frmSplash::warningText();
    });
    m_values.UserCode = u"previous"_s;
    QTest::keyClicks(m_splash->txtUserCode, typed);
    QCOMPARE(hookCalls, 0);
    QTest::keyClick(m_splash->txtUserCode, Qt::Key(key));
    QCOMPARE(m_values.UserCode, key == Qt::Key_Escape ? QString() : typed);
    QCOMPARE(hookCalls, 1);
    QVERIFY(signingInAtHook);
    QCOMPARE(m_splash->result(), int(QDialog::Accepted));
    QCOMPARE(m_end.ends, 0);
    // A second Enter or Escape while the sign-in runs takes nothing.
    QTest::keyClick(m_splash.get(), Qt::Key_Escape);
    qint16 enter = 13;
    m_splash->txtUserCode_KeyPress(enter);
    QCOMPARE(hookCalls, 1);
    QCOMPARE(m_values.UserCode, key == Qt::Key_Escape ? QString() : typed);
}

void TestSplash::otherKeysNeitherTakeNorClose()
{
    loadAndShow();
    int hookCalls = 0;
    m_splash->setShowMainWindow([&] { ++hookCalls; });
    QTest::keyClicks(m_splash->txtUserCode, u"AB"_s);
    QTest::keyClick(m_splash->txtUserCode, Qt::Key_Backspace);
    qint16 other = 65;
    m_splash->txtUserCode_KeyPress(other);
    QCOMPARE(m_splash->txtUserCode->text(), u"A"_s);
    QCOMPARE(hookCalls, 0);
    QVERIFY(m_values.UserCode.isEmpty());
    QVERIFY(m_splash->isVisible());
}

void TestSplash::runningCopyEndsSilently_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("byShowing");
    QTest::newRow("main window caption") << u"Zelmar™: V1.2.0"_s << false;
    QTest::newRow("older caption") << u"Zelmar™: Direct Database Access Program for Tarvik© Test Program"_s
                                   << false;
    QTest::newRow("showing runs the load") << u"Zelmar™: V1.2.0"_s << true;
}

void TestSplash::runningCopyEndsSilently()
{
    QFETCH(QString, title);
    QFETCH(bool, byShowing);
    int broughtForward = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(title, [&] { ++broughtForward; }));

    if (byShowing)
        m_splash->show();
    else
        m_splash->Form_Load();
    QCOMPARE(m_end.ends, 1);
    QTRY_VERIFY(!m_splash->isVisible());
    // The load stopped there, and no other window (no message box) came up.
    QVERIFY(m_splash->lblVersion->text().isEmpty());
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    QTRY_COMPARE_WITH_TIMEOUT(broughtForward, 1, 2000);
}

void TestSplash::copyAtItsSignInWindowIsNotFound()
{
    signin::ProgramValues firstValues;
    frmSplash firstSplash(firstValues, m_host, *m_copies, m_end);
    firstSplash.Form_Load();
    firstSplash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&firstSplash));
    loadAndShow();
    QCOMPARE(m_end.ends, 0);
    QVERIFY(m_splash->isVisible());
}

void TestSplash::minimisedFirstCopyIsRestoredAndActivated()
{
    QWidget mainWindow;
    mainWindow.setWindowTitle(signin::mainWindowCaption());
    mainWindow.resize(300, 200);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(mainWindow.windowTitle(), signin::comeForwardCallback(&mainWindow)));
    mainWindow.showMinimized();
    QTRY_VERIFY(mainWindow.isMinimized());
    // Another window has the focus when the second copy starts.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));

    m_splash->Form_Load();
    QCOMPARE(m_end.ends, 1);
    QTRY_VERIFY(!mainWindow.isMinimized());
    QTRY_VERIFY(mainWindow.isActiveWindow());

    // A window that is gone is left alone.
    auto* gone = new QWidget;
    const std::function<void()> callback = signin::comeForwardCallback(gone);
    delete gone;
    callback();
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
