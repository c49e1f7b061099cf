#pragma once

#include "PartNumberValues.h"

namespace zelmar {

// What one part-number summary shows: the PN values as stored and the port table as
// held by the editor. Port k lives in slot k-1; slots 0..numPORTS-1 are shown.
struct SummaryInput : db::PnValues, db::PortTable
{
};

} // namespace zelmar
