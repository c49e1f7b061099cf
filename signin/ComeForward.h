#pragma once

#include <functional>

class QWidget;

namespace zelmar::signin {

// What a running copy does when a second start finds it: restore the window
// if it is minimised, bring it to the front and give it the focus.
void comeForward(QWidget* window);

// The same as a callback for RunningCopyListener::listen; does nothing once
// the window is gone.
std::function<void()> comeForwardCallback(QWidget* window);

} // namespace zelmar::signin
