#pragma once

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

// The operator's account row, as held by the main window.
struct AccountValues
{
    QString Operator_Initials;
    QString Company;
    qint16 tARV = 0;
    qint16 numPORTS = 0;
    QString ipPORT;
    qint16 runMODE = 0;
    QString custDB;
    QString custUSER;
    QString custUSER_PW;
    QString configTABLE;
    QString snTABLE;
    QString outputTABLE;
    QString overallTABLE;
    QString imageTABLE;
    float ver_min2 = 0.0f;

    bool operator==(const AccountValues&) const = default;
};

} // namespace zelmar::signin
