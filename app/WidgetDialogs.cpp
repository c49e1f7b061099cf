#include "WidgetDialogs.h"

#include "BusyCursor.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QWidget>

namespace zelmar {

void WidgetDialogs::message(const QString& text, const QString& title)
{
    // A box waits for the operator: no busy cursor over it, even inside a busy step.
    const NormalCursor normal;
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool WidgetDialogs::askYesNo(const QString& text, const QString& title)
{
    const NormalCursor normal;
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    return box.exec() == QMessageBox::Yes;
}

QString WidgetDialogs::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    const NormalCursor normal;
    bool ok = false;
    const QString answer = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                                 QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

void ApplicationEnd::end()
{
    if (m_ended)
        return;
    m_ended = true;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        window->hide();
    // Leaves the main loop and every nested one (modal windows, pauses); the
    // main loop's exec() returns the status.
    QCoreApplication::exit(int(exitStatus()));
}

} // namespace zelmar
