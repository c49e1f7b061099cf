#pragma once

#include <QString>

#include <array>

namespace zelmar::db {

// The part-number list: slots 1..100 hold names, slot 0 is not used.
inline constexpr int pnListSlots = 100;
using PnList = std::array<QString, pnListSlots + 1>;

// One array per port column; port k lives in slot k-1.
inline constexpr int portSlots = 49;
template<typename T>
using PortArray = std::array<T, portSlots>;

} // namespace zelmar::db
