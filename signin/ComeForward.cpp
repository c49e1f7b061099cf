#include "ComeForward.h"

#include <QPointer>
#include <QWidget>

namespace zelmar::signin {

void comeForward(QWidget* window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->raise();
    window->activateWindow();
}

std::function<void()> comeForwardCallback(QWidget* window)
{
    QPointer<QWidget> guard(window);
    return [guard] {
        comeForward(guard.data());
    };
}

} // namespace zelmar::signin
