#pragma once

#include <QString>
#include <QtGlobal>

namespace zelmar::db {

// The operator's account row, as read at sign-in and held by the main window for the
// whole run: among them the profile of the customer's database and its tables.
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

} // namespace zelmar::db
