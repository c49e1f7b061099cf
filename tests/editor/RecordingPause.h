#pragma once

#include "Colors.h"
#include "Interaction.h"

#include <QEvent>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace zelmar::test {

// A pause that keeps the length of every wait asked for and can look at the window
// while the wait is on. It waits no time unless given a real pause to pass the wait on to.
class RecordingPause : public Pause
{
public:
    explicit RecordingPause(Pause* next = nullptr)
        : m_next(next)
    {}
    void wait(double seconds) override
    {
        waits.append(seconds);
        if (during)
            during(seconds);
        if (m_next)
            m_next->wait(seconds);
    }

    QList<double> waits;
    // Runs at the start of every wait, before any time passes.
    std::function<void(double)> during;

private:
    Pause* m_next;
};

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget)
        : m_widget(widget)
    {
        widget->installEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint)
            ++paints;
        return false;
    }

private:
    QPointer<QWidget> m_widget;
};

// What the window showed at the start of one wait.
struct Seen
{
    QString status;
    quint32 colour = 0;
    int statusPaints = 0;
};

} // namespace zelmar::test
