#include "frmSplash.h"

#include "Logo.h"

#include "BuildInfo.h"
#include "Captions.h"

#include <QApplication>
#include <QEventLoop>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace zelmar::signin {

namespace {

QFont arial(qreal points, bool bold = false)
{
    QFont font(u"Arial"_s);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QLabel* label(QWidget* parent, const QString& name, const QRect& twipRect, const QFont& font)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setGeometry(twips(twipRect.x()), twips(twipRect.y()), twips(twipRect.width()),
                   twips(twipRect.height()));
    l->setFont(font);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    return l;
}

} // namespace

QString frmSplash::makerNotice()
{
    return u"© Quarrix Technologies, LLC. All rights reserved."_s;
}

QString frmSplash::descriptionText()
{
    return u"Direct Database Access for configuring parameters for the Tarvik® Measurement System"_s + u'\n' +
           makerNotice();
}

QString frmSplash::signingInText()
{
    return u"Signing in, please wait..."_s;
}

QString frmSplash::warningText()
{
    return u"Type your User Code below and press Enter.\nHelp and updates: "_s +
           QString::fromUtf8(build::makerUrl);
}

frmSplash::frmSplash(ProgramValues& values, const HostSystem& host, const RunningCopies& runningCopies,
                     ProgramEnd& programEnd, QWidget* parent)
    : QDialog(parent)
    , m_values(values)
    , m_host(host)
    , m_runningCopies(runningCopies)
    , m_programEnd(programEnd)
{
    setObjectName(u"frmSplash"_s);
    setWindowTitle(u"Zelmar™ Sign-in"_s);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(u"Frame1"_s);
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFrameShadow(QFrame::Sunken);
    Frame1->setGeometry(0, 0, twips(7320), twips(3936));
    Frame1->setAccessibleName(u"Zelmar™ sign-in"_s);
    setFixedSize(Frame1->size());

    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(u"imgLogo"_s);
    imgLogo->setGeometry(twips(360), twips(480), twips(1800), twips(1800));
    imgLogo->setPixmap(makerLogo(twips(1800), arial(12, true), qApp ? qApp->devicePixelRatio() : 1.0));
    imgLogo->setAccessibleName(u"Quarrix Technologies logo"_s);

    lblProductName = label(Frame1, u"lblProductName"_s, QRect(2400, 480, 4800, 480), arial(20, true));
    lblProductName->setText(u"Zelmar™"_s);
    lblProductName->setWordWrap(false);

    lblDescription = label(Frame1, u"lblDescription"_s, QRect(2400, 960, 4800, 900), arial(8));
    lblDescription->setText(descriptionText());

    lblVersion = label(Frame1, u"lblVersion"_s, QRect(2400, 1920, 4800, 540), arial(8, true));

    lblWarning = label(Frame1, u"lblWarning"_s, QRect(2400, 2520, 4800, 900), arial(8));

    txtUserCode = new QLineEdit(Frame1);
    txtUserCode->setObjectName(u"txtUserCode"_s);
    txtUserCode->setGeometry(twips(2400), twips(3480), twips(1800), twips(315));
    txtUserCode->setMaxLength(16);
    txtUserCode->installEventFilter(this);
    // Its own name: the prompt above it is long and changes while signing in.
    txtUserCode->setAccessibleName(u"User Code"_s);
    txtUserCode->setAccessibleDescription(warningText());
    lblWarning->setBuddy(txtUserCode);

    Label1 = label(Frame1, u"Label1"_s, QRect(4320, 3480, 2880, 315), arial(8));
    Label1->setText(u"Build Date: 2012.06.16"_s);
    Label1->setWordWrap(false);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // The cursor goes into the User Code field when the window shows.
    txtUserCode->setFocus(Qt::OtherFocusReason);
    setFocusProxy(txtUserCode);
}

void frmSplash::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;

    // The system's name and support class.
    GetWindows(m_host, m_values.osNAME, m_values.osSUPPORT);

    // A running copy under either title comes forward; this one ends without a message.
    for (const QString& title : {mainWindowCaption(), legacyWindowCaption()}) {
        qint16 found = 0;
        m_runningCopies.check(title, found);
        if (found == 1) {
            close();
            m_programEnd.end();
            return;
        }
    }

    // Version and system.
    lblVersion->setText(u"Version "_s + QString::number(build::versionMajor) + u'.' +
                        QString::number(build::versionMinor) + u'.' +
                        QString::number(build::versionRevision) + QChar(10) + u"System running on "_s +
                        m_values.osNAME);

    // The prompt with the maker's web address.
    lblWarning->setText(warningText());
}

void frmSplash::txtUserCode_KeyPress(qint16& KeyAscii)
{
    // A code is taken once; the sign-in it starts is running.
    if (KeyAscii != 13 || m_signingIn)
        return;
    m_values.UserCode = txtUserCode->text();
    setResult(QDialog::Accepted);
    setSigningIn(true);
    Q_EMIT codeEntered();
    if (m_showMainWindow)
        m_showMainWindow();
}

void frmSplash::setSigningIn(bool on)
{
    m_signingIn = on;
    txtUserCode->setEnabled(!on);
    lblWarning->setText(on ? signingInText() : warningText());
    if (on && isVisible())
        repaint();
    if (!on)
        txtUserCode->setFocus(Qt::OtherFocusReason);
}

bool frmSplash::waitForCode()
{
    if (m_programEnd.hasEnded())
        return false;
    txtUserCode->clear();
    setSigningIn(false);
    bool entered = false;
    QEventLoop loop;
    connect(this, &frmSplash::codeEntered, &loop, [&] {
        entered = true;
        loop.quit();
    });
    // Closed by the operator; the program's end leaves every loop by itself.
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    setResult(0);
    show();
    raise();
    activateWindow();
    txtUserCode->setFocus(Qt::OtherFocusReason);
    Q_EMIT codeRequested();
    if (!entered && isVisible() && !m_programEnd.hasEnded())
        loop.exec();
    return entered && !m_programEnd.hasEnded();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtUserCode && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            qint16 KeyAscii = 13;
            txtUserCode_KeyPress(KeyAscii);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSplash::showEvent(QShowEvent* event)
{
    if (!m_loaded) {
        Form_Load();
        if (m_programEnd.hasEnded()) {
            QTimer::singleShot(0, this, &QWidget::close);
            QDialog::showEvent(event);
            return;
        }
    }
    QDialog::showEvent(event);
    activateWindow();
    txtUserCode->setFocus(Qt::OtherFocusReason);
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    // Escape leaves as an empty code does: the goodbye after the lookup.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        if (!m_signingIn && txtUserCode->isEnabled()) {
            txtUserCode->clear();
            qint16 KeyAscii = 13;
            txtUserCode_KeyPress(KeyAscii);
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zelmar::signin
