#include "PartNumberRules.h"

#include "Colors.h"
#include "Flash.h"
#include "NumericEntry.h"

#include <QComboBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {

bool firstIn(const QString& s, char16_t from, char16_t to)
{
    return !s.isEmpty() && s.at(0).unicode() >= from && s.at(0).unicode() <= to;
}

} // namespace

void chkALPHA(const QString& sCHK, qint16& iRETURN)
{
    if (firstIn(sCHK, 65, 90))
        iRETURN = 1;
}

void chkNUM(const QString& sCHK, qint16& iRETURN)
{
    if (firstIn(sCHK, 48, 57))
        iRETURN = 1;
}

void chkDASH(const QString& sCHK, qint16& iRETURN)
{
    if (sCHK == u"-"_s)
        iRETURN = 1;
}

void chkSPACE(const QString& sCHK, qint16& iRETURN)
{
    if (sCHK == u" "_s)
        iRETURN = 1;
}

PartNumberRule::PartNumberRule(QLineEdit* txtStatus, QComboBox* lsttestPN, Pause* pause,
                               CheckPnQuery SQL_checkPN)
    : m_status(txtStatus)
    , m_list(lsttestPN)
    , m_pause(pause)
    , m_query(std::move(SQL_checkPN))
{}

void PartNumberRule::checkPN(const QString& strPN, qint16& pnCHECK, qint16 iSKIP, const QString& wFROM,
                             const QString& curPN) const
{
    showStatus(u"Reviewing Part Number string for validity"_s);
    pnCHECK = 0;

    const qsizetype length = strPN.size();
    if (length > 25) {
        refuse(u"ERROR: PN is limited to 25 characters"_s);
        return;
    }
    if (length == 0) {
        refuse(u"ERROR: Part Number field is blank"_s);
        return;
    }
    if (length < 3) {
        refuse(u"ERROR: Part Number must be at least 3 characters"_s);
        return;
    }

    int alphanumeric = 0;
    for (QChar c : strPN) {
        const QString one(c);
        qint16 flag = 0;
        chkALPHA(one, flag);
        chkNUM(one, flag);
        if (flag == 1)
            ++alphanumeric;
        chkDASH(one, flag);
        chkSPACE(one, flag);
        if (flag == 0) {
            refuse(u"ERROR: Allowed PN chars = A-Z/0-9/dash/space"_s);
            return;
        }
    }
    if (alphanumeric < 3) {
        refuse(u"ERROR: PN must contain at least 3 alphanumeric chars"_s);
        return;
    }

    if (iSKIP == 1 && strPN != curPN && m_query) {
        // A failed query leaves the count at 0: the name is then taken as new.
        qint16 count = 0;
        m_query(strPN, count, wFROM);
        // Part numbers are not unique in the table, and the server's collation may match
        // names that differ in case: any record of that name means it exists.
        if (count >= 1) {
            refuse(u"ERROR: Updated PN string already exists"_s);
            showStatus(u"Waiting for User Input"_s);
            return;
        }
    }
    pnCHECK = 1;
}

void PartNumberRule::showStatus(const QString& text) const
{
    if (!m_status)
        return;
    m_status->setText(text);
    m_status->repaint();
}

void PartNumberRule::refuse(const QString& message) const
{
    flash(m_pause, {m_list}, {{colors::red, 3.0}}, colors::white,
          {.box = m_status, .text = message, .repaint = true});
}

} // namespace zelmar
