#pragma once

#include <QString>

#include <functional>

namespace zelmar {

class FormMainTestMenu;

// Keeps the port fields on show in slot `slot` of the port table, inside the storage bounds.
// A limit whose shown number the operator left alone keeps the value held (storeLimit).
void storePort(FormMainTestMenu& w, int slot);

// The pass over every port that REVIEW, UPDATE MySQL and the gather share. The port on show is
// kept first, before anything shows another one (a station of one port never switches). Then
// each port is shown and, when the PN is active, its fields are checked and it is kept again
// with what the checks corrected. A port whose max is not above its min stops the pass: it
// stays on show and `refuseRange(port number)` tells the operator. Otherwise the port that was
// on show comes back. True when every port passed; false when one was refused or the program
// ended during a check.
bool checkEveryPort(FormMainTestMenu& w, const QString& wFROM, const std::function<void(int)>& refuseRange);

} // namespace zelmar
