#pragma once

#include "Colors.h"
#include "FormMainTestMenu.h"
#include "Interaction.h"
#include "TestServer.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QList>
#include <QSignalBlocker>
#include <QString>
#include <QTest>
#include <QWidget>

#include <functional>

namespace zelmar::test {

// Keeps the length of every wait and can look at the window while the wait is on; waits no time.
class RecordingPause : public Pause
{
public:
    void wait(double seconds) override
    {
        waits.append(seconds);
        if (during)
            during(seconds);
    }
    QList<double> waits;
    std::function<void(double)> during; // runs at the start of every wait
};

// Sets a field's text as the program does, without the field's entry rules.
inline void putText(QLineEdit* field, const QString& text)
{
    const QSignalBlocker blocker(field);
    field->setText(text);
}

inline bool showAndActivate(QWidget* window)
{
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    QCoreApplication::processEvents();
    return true;
}

} // namespace zelmar::test
