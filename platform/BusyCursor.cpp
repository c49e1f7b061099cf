#include "BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace zelmar {

namespace {

// Override cursors exist only in a GUI application.
bool haveWindowSystem()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

BusyCursor::BusyCursor()
{
    if (!haveWindowSystem())
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_set = true;
}

BusyCursor::~BusyCursor()
{
    if (m_set && haveWindowSystem())
        QGuiApplication::restoreOverrideCursor();
}

NormalCursor::NormalCursor()
{
    if (!haveWindowSystem() || !QGuiApplication::overrideCursor())
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    m_set = true;
}

NormalCursor::~NormalCursor()
{
    if (m_set && haveWindowSystem())
        QGuiApplication::restoreOverrideCursor();
}

bool busyCursorShown()
{
    if (!haveWindowSystem())
        return false;
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

} // namespace zelmar
