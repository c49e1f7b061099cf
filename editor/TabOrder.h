#pragma once

namespace zelmar {

class FormMainTestMenu;

// Tab and Shift+Tab follow the window's reading order: the part-number and
// port fields row by row, left to right, then the command buttons from top
// to bottom. Set once by the window's constructor; independent of the order
// in which the controls are created.
void setReadingTabOrder(FormMainTestMenu& window);

} // namespace zelmar
