#include "Captions.h"
#include "ComeForward.h"
#include "TestServer.h"
#include "frmSplash.h"

#include <QAccessible>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;
using signin::frmSplash;
using signin::twips;

namespace {

class FakeHost : public HostSystem
{
public:
    SystemFacts facts() const override { return value; }
    SystemFacts value;
};

SystemFacts windowsXp()
{
    SystemFacts f;
    f.kind = SystemFacts::Kind::Windows;
    f.windows = {2, 5, 1};
    return f;
}

SystemFacts debian()
{
    SystemFacts f;
    f.kind = SystemFacts::Kind::OtherSystem;
    f.prettyName = u"Debian GNU/Linux 12 (bookworm)"_s;
    return f;
}

QString accessibleName(QWidget* w)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QRect twipRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

} // namespace

class TestSplash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void controlsTextsAndArrangement();
    void loadNamesTheSystem_data();
    void loadNamesTheSystem();
    void everyControlHasAUniqueAccessibleName();
    void userCodeTakesAtMost16Characters();
    void cursorIsInUserCodeOnShow();
    void enterTakesTheCodeAsTyped_data();
    void enterTakesTheCodeAsTyped();
    void keypadEnterAlsoTakesTheCode();
    void otherKeysOnlyEdit();
    void escapeDoesNotClose();
    void runningCopyEndsWithoutAMessage_data();
    void runningCopyEndsWithoutAMessage();
    void copyAtItsSignInWindowIsNotFound();
    void showingRunsTheLoad();
    void minimisedFirstCopyIsRestoredAndActivated();
    void screenshot();

private:
    QString m_scope;
    signin::ProgramValues m_values;
    FakeHost m_host;
    std::unique_ptr<RunningCopies> m_copies;
    test::RecordingProgramEnd m_end;
    std::unique_ptr<frmSplash> m_splash;

    frmSplash& splash() { return *m_splash; }
    void showAndWait()
    {
        m_splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_splash.get()));
    }
};

void TestSplash::init()
{
    // A scope of its own, so that a real copy or a parallel test is never found.
    m_scope = u"splash-test-"_s + QString::number(QCoreApplication::applicationPid()) + u'-' +
              QString::number(QRandomGenerator::global()->generate());
    m_values = {};
    m_host.value = windowsXp();
    m_copies = std::make_unique<RunningCopies>(m_scope);
    m_end.ends = 0;
    m_splash = std::make_unique<frmSplash>(m_values, m_host, *m_copies, m_end);
}

void TestSplash::cleanup()
{
    m_splash.reset();
    m_copies.reset();
}

void TestSplash::controlsTextsAndArrangement()
{
    splash().Form_Load();
    QCOMPARE(m_end.ends, 0);

    // Each control is found under its name, of its kind, where the layout puts it.
    auto* frame = splash().findChild<QFrame*>(u"Frame1"_s);
    QVERIFY(frame);
    QCOMPARE(frame->geometry(), twipRect(0, 0, 7320, 3936));
    QCOMPARE(splash().size(), frame->size());

    auto* product = splash().findChild<QLabel*>(u"lblProductName"_s);
    QVERIFY(product);
    QCOMPARE(product->text(), u"Zelmar™"_s);
    QCOMPARE(product->pos(), QPoint(twips(2400), twips(480)));
    QVERIFY(product->font().bold());
    QVERIFY(product->font().pointSizeF() > splash().lblDescription->font().pointSizeF() * 1.5);

    auto* description = splash().findChild<QLabel*>(u"lblDescription"_s);
    QVERIFY(description);
    QCOMPARE(description->pos(), QPoint(twips(2400), twips(960)));
    QVERIFY(description->text().startsWith(
        u"Direct Database Access for configuring parameters for the Tarvik® Measurement System"_s));
    QVERIFY(description->text().endsWith(frmSplash::makerNotice()));

    auto* version = splash().findChild<QLabel*>(u"lblVersion"_s);
    QVERIFY(version);
    QCOMPARE(version->pos(), QPoint(twips(2400), twips(1920)));
    QVERIFY(version->font().bold());
    QCOMPARE(version->text(), u"Version 1.2.0\nSystem running on Windows XP"_s);

    auto* warning = splash().findChild<QLabel*>(u"lblWarning"_s);
    QVERIFY(warning);
    QCOMPARE(warning->pos(), QPoint(twips(2400), twips(2520)));
    QCOMPARE(warning->text(), frmSplash::warningText());
    QVERIFY(warning->text().contains(QString::fromUtf8(build::makerUrl)));

    auto* code = splash().findChild<QLineEdit*>(u"txtUserCode"_s);
    QVERIFY(code);
    QCOMPARE(code->pos(), QPoint(twips(2400), twips(3480)));
    QCOMPARE(code->text(), QString());
    QCOMPARE(warning->buddy(), code);

    auto* build = splash().findChild<QLabel*>(u"Label1"_s);
    QVERIFY(build);
    QCOMPARE(build->text(), u"Build Date: 2012.06.16"_s);
    QCOMPARE(build->pos(), QPoint(twips(4320), twips(3480)));

    auto* logo = splash().findChild<QLabel*>(u"imgLogo"_s);
    QVERIFY(logo);
    QVERIFY(!logo->pixmap().isNull());

    // Labels in Arial; everything inside the frame and on the window.
    for (QLabel* l : {product, description, version, warning, build})
        QCOMPARE(l->font().family(), u"Arial"_s);
    for (QWidget* w :
         {static_cast<QWidget*>(product), static_cast<QWidget*>(description), static_cast<QWidget*>(version),
          static_cast<QWidget*>(warning), static_cast<QWidget*>(code), static_cast<QWidget*>(build),
          static_cast<QWidget*>(logo)}) {
        QCOMPARE(w->parentWidget(), frame);
        QVERIFY2(frame->rect().contains(w->geometry()), qPrintable(w->objectName()));
    }
    // No overlaps between the controls.
    const QList<QWidget*> all{product, description, version, warning, code, build, logo};
    for (int i = 0; i < all.size(); ++i)
        for (int j = i + 1; j < all.size(); ++j)
            QVERIFY2(!all[i]->geometry().intersects(all[j]->geometry()),
                     qPrintable(all[i]->objectName() + u" / "_s + all[j]->objectName()));
}

void TestSplash::loadNamesTheSystem_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("support");
    QTest::newRow("windows xp") << 0 << u"Windows XP"_s << 1;
    QTest::newRow("windows 2000 still shows") << 1 << u"Windows 2000"_s << 0;
    QTest::newRow("debian") << 2 << u"Debian GNU/Linux 12 (bookworm)"_s << 2;
}

void TestSplash::loadNamesTheSystem()
{
    QFETCH(int, which);
    QFETCH(QString, name);
    QFETCH(int, support);
    if (which == 0)
        m_host.value = windowsXp();
    else if (which == 1)
        m_host.value = {SystemFacts::Kind::Windows, {2, 5, 0}, {}};
    else
        m_host.value = debian();
    splash().Form_Load();
    QCOMPARE(m_values.osNAME, name);
    QCOMPARE(int(m_values.osSUPPORT), support);
    QCOMPARE(splash().lblVersion->text(), u"Version 1.2.0"_s + QChar(10) + u"System running on "_s + name);
    QCOMPARE(m_end.ends, 0);
    // The window shows and takes a code whatever the class: the start sequence decides.
    showAndWait();
    QVERIFY(splash().isVisible());
    QVERIFY(splash().txtUserCode->isEnabled());
}

void TestSplash::everyControlHasAUniqueAccessibleName()
{
    splash().Form_Load();
    const QList<QWidget*> controls{splash().Frame1,         splash().imgLogo,    splash().lblProductName,
                                   splash().lblDescription, splash().lblVersion, splash().lblWarning,
                                   splash().txtUserCode,    splash().Label1};
    QSet<QString> names;
    QSet<QPair<int, QString>> byRole;
    for (QWidget* w : controls) {
        const QString name = accessibleName(w);
        QVERIFY2(!name.trimmed().isEmpty(), qPrintable(w->objectName()));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        byRole.insert({int(iface->role()), name});
        if (!qobject_cast<QLabel*>(w) || w == splash().imgLogo)
            names.insert(name);
    }
    // Unique by role and name: a field carries the text of its label (its buddy).
    QCOMPARE(byRole.size(), controls.size());
    QCOMPARE(accessibleName(splash().txtUserCode), splash().lblWarning->text());
    QCOMPARE(accessibleName(splash().lblProductName), u"Zelmar™"_s);
    QCOMPARE(accessibleName(splash().Label1), u"Build Date: 2012.06.16"_s);
    // Among the controls that are not text labels no name repeats.
    QCOMPARE(names.size(), 3);
    // Nor does a label's name repeat among labels.
    QSet<QString> labelNames;
    for (QWidget* w : controls)
        if (qobject_cast<QLabel*>(w))
            labelNames.insert(accessibleName(w));
    QCOMPARE(labelNames.size(), 6);
}

void TestSplash::userCodeTakesAtMost16Characters()
{
    splash().Form_Load();
    showAndWait();
    QCOMPARE(splash().txtUserCode->maxLength(), 16);
    QTest::keyClicks(splash().txtUserCode, u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s);
    QCOMPARE(splash().txtUserCode->text(), u"ABCDEFGHIJKLMNOP"_s);
    splash().txtUserCode->clear();
    splash().txtUserCode->insert(u"0123456789abcdefXYZ"_s); // as a paste
    QCOMPARE(splash().txtUserCode->text(), u"0123456789abcdef"_s);
}

void TestSplash::cursorIsInUserCodeOnShow()
{
    splash().Form_Load();
    showAndWait();
    QVERIFY(QTest::qWaitForWindowActive(m_splash.get()));
    QCOMPARE(splash().focusWidget(), splash().txtUserCode);
    QTRY_VERIFY(splash().txtUserCode->hasFocus());
    // Typing without clicking goes into the field.
    QTest::keyClicks(QApplication::focusWidget(), u"X1"_s);
    QCOMPARE(splash().txtUserCode->text(), u"X1"_s);
}

void TestSplash::enterTakesTheCodeAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("plain") << u"X1"_s;
    QTest::newRow("blanks kept") << u"  ab 12  "_s;
    QTest::newRow("quote") << u"' OR '1'='1"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("sixteen") << u"ABCDEFGHIJKLMNOP"_s;
}

void TestSplash::enterTakesTheCodeAsTyped()
{
    QFETCH(QString, typed);
    splash().Form_Load();
    showAndWait();
    int hookCalls = 0;
    bool visibleAtHook = true;
    splash().setShowMainWindow([&] {
        ++hookCalls;
        visibleAtHook = splash().isVisible();
    });
    m_values.UserCode = u"previous"_s;
    QTest::keyClicks(splash().txtUserCode, typed);
    QCOMPARE(hookCalls, 0);
    QTest::keyClick(splash().txtUserCode, Qt::Key_Return);
    QCOMPARE(m_values.UserCode, typed);
    QCOMPARE(hookCalls, 1);
    QVERIFY2(!visibleAtHook, "the sign-in window closes before the main window is shown");
    QVERIFY(!splash().isVisible());
    QCOMPARE(splash().result(), int(QDialog::Accepted));
    QCOMPARE(m_end.ends, 0);
}

void TestSplash::keypadEnterAlsoTakesTheCode()
{
    splash().Form_Load();
    showAndWait();
    int hookCalls = 0;
    splash().setShowMainWindow([&] { ++hookCalls; });
    QTest::keyClicks(splash().txtUserCode, u"K9"_s);
    QTest::keyClick(splash().txtUserCode, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(m_values.UserCode, u"K9"_s);
    QCOMPARE(hookCalls, 1);

    // Called directly, with the Enter code and with another one.
    qint16 other = 65;
    splash().txtUserCode_KeyPress(other);
    QCOMPARE(hookCalls, 1);
    qint16 enter = 13;
    splash().txtUserCode->setText(u"Z"_s);
    splash().txtUserCode_KeyPress(enter);
    QCOMPARE(m_values.UserCode, u"Z"_s);
    QCOMPARE(hookCalls, 2);
}

void TestSplash::otherKeysOnlyEdit()
{
    splash().Form_Load();
    showAndWait();
    int hookCalls = 0;
    splash().setShowMainWindow([&] { ++hookCalls; });
    QTest::keyClicks(splash().txtUserCode, u"AB"_s);
    QTest::keyClick(splash().txtUserCode, Qt::Key_Backspace);
    QTest::keyClick(splash().txtUserCode, Qt::Key_Tab);
    QCOMPARE(splash().txtUserCode->text(), u"A"_s);
    QCOMPARE(hookCalls, 0);
    QVERIFY(m_values.UserCode.isEmpty());
    QVERIFY(splash().isVisible());
}

void TestSplash::escapeDoesNotClose()
{
    splash().Form_Load();
    showAndWait();
    QTest::keyClick(splash().txtUserCode, Qt::Key_Escape);
    QVERIFY(splash().isVisible());
}

void TestSplash::runningCopyEndsWithoutAMessage_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("main window caption") << u"Zelmar™: V1.2.0"_s;
    QTest::newRow("older caption") << u"Zelmar™: Direct Database Access Program for Tarvik© Test Program"_s;
}

void TestSplash::runningCopyEndsWithoutAMessage()
{
    QFETCH(QString, title);
    QCOMPARE(signin::mainWindowCaption(), u"Zelmar™: V1.2.0"_s);
    QCOMPARE(signin::legacyWindowCaption(),
             u"Zelmar™: Direct Database Access Program for Tarvik© Test Program"_s);

    // The first copy, its main window shown, listens under its title.
    int broughtForward = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(title, [&] { ++broughtForward; }));

    splash().Form_Load();
    QCOMPARE(m_end.ends, 1);
    QVERIFY(!splash().isVisible());
    // The load stopped there: no version text.
    QVERIFY(splash().lblVersion->text().isEmpty());
    // No message box, nor any other window.
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible() || w == m_splash.get(), qPrintable(w->objectName()));
    QVERIFY(QApplication::topLevelWidgets().size() <= 1 || QApplication::activeModalWidget() == nullptr);
    // The first copy was asked to come forward.
    QTRY_COMPARE_WITH_TIMEOUT(broughtForward, 1, 2000);
}

void TestSplash::copyAtItsSignInWindowIsNotFound()
{
    // A first copy still at its sign-in window does not listen: the second starts normally.
    signin::ProgramValues firstValues;
    frmSplash firstSplash(firstValues, m_host, *m_copies, m_end);
    firstSplash.Form_Load();
    firstSplash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&firstSplash));

    splash().Form_Load();
    QCOMPARE(m_end.ends, 0);
    showAndWait();
    QVERIFY(splash().isVisible());
}

void TestSplash::showingRunsTheLoad()
{
    showAndWait();
    QCOMPARE(m_values.osNAME, u"Windows XP"_s);
    QVERIFY(!splash().lblVersion->text().isEmpty());

    // With a running copy, showing without a load ends the program and the window goes.
    int broughtForward = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(signin::mainWindowCaption(), [&] { ++broughtForward; }));
    signin::ProgramValues values;
    frmSplash second(values, m_host, *m_copies, m_end);
    second.show();
    QCOMPARE(m_end.ends, 1);
    QTRY_VERIFY(!second.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(broughtForward, 1, 2000);
}

void TestSplash::minimisedFirstCopyIsRestoredAndActivated()
{
    // The first copy: its main window shown, then minimised, listening under its caption.
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

    splash().Form_Load();
    QCOMPARE(m_end.ends, 1);
    QTRY_VERIFY(!mainWindow.isMinimized());
    QVERIFY(mainWindow.isVisible());
    QTRY_VERIFY(mainWindow.isActiveWindow());

    // A window that is gone is left alone.
    auto* gone = new QWidget;
    const std::function<void()> callback = signin::comeForwardCallback(gone);
    delete gone;
    callback();
}

void TestSplash::screenshot()
{
    const QString path = qEnvironmentVariable("ZELMAR_SPLASH_SCREENSHOT");
    if (path.isEmpty())
        QSKIP("Set ZELMAR_SPLASH_SCREENSHOT to a PNG path to keep a picture of the window");
    m_host.value = debian();
    splash().Form_Load();
    showAndWait();
    QTest::keyClicks(splash().txtUserCode, u"X1"_s);
    QVERIFY(splash().grab().save(path));
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
