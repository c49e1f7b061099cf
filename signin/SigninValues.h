#pragma once

#include "AccountValues.h"

#include <QString>
#include <QtGlobal>

namespace zelmar::signin {

// Program-wide values set by the sign-in window. (The driver
// clause odbcDRIVER lives with the data layer: db::Database::odbcDRIVER.)
struct ProgramValues
{
    QString UserCode;     // as typed, no trimming
    QString osNAME;       // the running system's name (GetWindows)
    qint16 osSUPPORT = 0; // 1 Windows XP, 2 Windows 7/8 (and systems named by themselves), 0 other
};

// The operator's account row lives with the data layer, where the editor holds it too.
using db::AccountValues;

} // namespace zelmar::signin
