#pragma once

#include "HostSystem.h"
#include "Interaction.h"
#include "RunningCopy.h"
#include "SigninValues.h"

#include <QDialog>

#include <functional>

class QFrame;
class QLabel;
class QLineEdit;

namespace zelmar::signin {

// Twips to device-independent pixels: 15 twips are one pixel at 96 dpi; Qt
// scales the pixels for high-DPI screens.
constexpr int twips(int value)
{
    return (value + 7) / 15;
}

// The sign-in window. Form_Load runs the host checks; the start
// sequence calls it before showing the window (showing the window runs it
// too, when nobody has). When the program has ended there (a running copy was
// found), the window is not to be shown. Enter in txtUserCode stores the code
// in UserCode, sets the result to Accepted and calls the hook set with
// setShowMainWindow; Escape does the same with the empty code. The window
// then stays on screen in its signing-in state (field off, "Signing in..."),
// so that the screen is never blank while the central server answers; the
// start sequence hides it when the editor shows.
class frmSplash : public QDialog
{
    Q_OBJECT

public:
    frmSplash(ProgramValues& values, const HostSystem& host, const RunningCopies& runningCopies,
              ProgramEnd& programEnd, QWidget* parent = nullptr);

    void Form_Load();
    void txtUserCode_KeyPress(qint16& KeyAscii);

    // What Enter does once the code is taken: the start sequence shows the
    // main window here.
    void setShowMainWindow(std::function<void()> hook) { m_showMainWindow = std::move(hook); }

    // The signing-in state: the field is off and the prompt says that the
    // sign-in runs. Repaints at once, as the call that follows blocks.
    void setSigningIn(bool on);

    // The window again, with an empty field, waiting for a new code: true when
    // one is entered (Enter or Escape), false when the window is closed or the
    // program ends first.
    bool waitForCode();

    // The controls (each also carries its name as object name).
    QFrame* Frame1 = nullptr;
    QLabel* imgLogo = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblWarning = nullptr;
    QLineEdit* txtUserCode = nullptr;
    QLabel* Label1 = nullptr;

    // The texts that are ours to choose.
    static QString makerNotice();
    static QString descriptionText();
    static QString warningText();
    static QString signingInText();

Q_SIGNALS:
    // A code was taken (Enter or Escape).
    void codeEntered();
    // The window waits for a new code (waitForCode).
    void codeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    ProgramValues& m_values;
    const HostSystem& m_host;
    const RunningCopies& m_runningCopies;
    ProgramEnd& m_programEnd;
    std::function<void()> m_showMainWindow;
    bool m_loaded = false;
    bool m_signingIn = false;
};

} // namespace zelmar::signin
