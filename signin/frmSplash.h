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
// in UserCode, closes the window (accept) and then calls the hook set with
// setShowMainWindow.
class frmSplash : public QDialog
{
    Q_OBJECT

public:
    frmSplash(ProgramValues& values, const HostSystem& host, const RunningCopies& runningCopies,
              ProgramEnd& programEnd, QWidget* parent = nullptr);

    void Form_Load();
    void txtUserCode_KeyPress(qint16& KeyAscii);

    // What Enter does after the window has closed: the start sequence shows
    // the main window modally here.
    void setShowMainWindow(std::function<void()> hook) { m_showMainWindow = std::move(hook); }

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
};

} // namespace zelmar::signin
