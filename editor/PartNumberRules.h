#pragma once

#include "Interaction.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QString>

#include <functional>

namespace zelmar {

// Character tests of a part number: each sets iRETURN to 1 when its test holds and
// leaves it as it was otherwise. sCHK is one character (its first is tested).
void chkALPHA(const QString& sCHK, qint16& iRETURN); // A-Z
void chkNUM(const QString& sCHK, qint16& iRETURN);   // 0-9
void chkDASH(const QString& sCHK, qint16& iRETURN);  // "-"
void chkSPACE(const QString& sCHK, qint16& iRETURN); // " "

// The database test for an existing part number: sets count to the number of
// part-number records named pn. A failed query leaves count as it was.
// In the window: db::Database::SQL_checkPN with the account's connection profile
// and part-number table bound in.
using CheckPnQuery = std::function<void(const QString& pn, qint16& count, const QString& wFROM)>;

// The part-number string rules, reporting on the status box and flashing the
// part-number list.
class PartNumberRule
{
public:
    PartNumberRule(QLineEdit* txtStatus, QComboBox* lsttestPN, Pause* pause, CheckPnQuery SQL_checkPN = {});

    // pnCHECK = 1 when strPN is acceptable; 0 when refused, and the operator has been told
    // why on the status box while lsttestPN flashed red for 3 s. With iSKIP = 1 a name
    // other than the loaded part number curPN (exact comparison) is also looked up in
    // the database; the loaded one itself is never looked up.
    void checkPN(const QString& strPN, qint16& pnCHECK, qint16 iSKIP, const QString& wFROM,
                 const QString& curPN) const;

private:
    void refuse(const QString& message) const;
    void showStatus(const QString& text) const;

    QPointer<QLineEdit> m_status;
    QPointer<QComboBox> m_list;
    Pause* m_pause;
    CheckPnQuery m_query;
};

} // namespace zelmar
