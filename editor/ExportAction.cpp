// EXPORT TO EXCEL: the summary sheet of the loaded part number in the run's workbook.
#include "FormMainTestMenu.h"

#include "BusyCursor.h"
#include "Colors.h"
#include "Database.h"
#include "Flash.h"
#include "SummaryExporter.h"

#include <QComboBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {

const QString idle = u"Waiting for User Input"_s;

// The PN values as re-read, the ports as the editor holds them.
SummaryInput summaryOf(const CurrentParams& cur)
{
    SummaryInput in;
    static_cast<db::PnValues&>(in) = cur;
    static_cast<db::PortTable&>(in) = cur;
    return in;
}

} // namespace

void FormMainTestMenu::setExporter(SummaryExporter* exporter)
{
    m_exporter = exporter;
    if (exporter)
        spreadsheetHandOver = [exporter] {
            exporter->handOver();
        };
    else
        spreadsheetHandOver = nullptr;
}

void FormMainTestMenu::btnEXPORT_Click()
{
    const auto action = operatorAction();
    lockFIELDS();
    displayBTN(1);
    if (cur.pnLOADED == 0) {
        flash(pause, {txtStatus}, {{colors::yellow, 3}}, colors::white,
              StatusNote{.box = txtStatus,
                         .text = u"No part number loaded - process terminated"_s,
                         .repaint = true});
        if (ended())
            return;
        lsttestPN->setEnabled(true);
        displayBTN(0);
        txtStatus->setText(idle);
        return;
    }
    qint16 status = 0;
    createXCEL(status);
    if (ended())
        return;
    unlockFIELDS();
    displayBTN(0);
    txtStatus->setText(idle);
}

void FormMainTestMenu::createXCEL(qint16& status)
{
    const auto showStatus = [this](const QString& text) {
        txtStatus->setText(text);
        txtStatus->repaint();
    };
    cur.curPN = lsttestPN->currentText();
    cur.curPNidx = qint16(lsttestPN->currentIndex());
    // The PN block shows the stored record; a failed read is tried once more and
    // then not reported: the block shows what the values hold afterwards.
    status = 1;
    const BusyCursor reading;
    for (int attempt = 0; database && attempt < 2 && status == 1; ++attempt) {
        qint16 mapPORT = 0;
        database->SQL_readPNinfo(account.ipPORT, account.custDB, account.custUSER, account.custUSER_PW,
                                 account.snTABLE, cur.curPN, cur.snNAME, cur.pnDEFAULT, mapPORT, cur.snACTIVE,
                                 cur.snBARCODE, cur.snEXTENDER, cur.snFORMAT, cur.snLENGTH, cur.autoMEASURE,
                                 cur.autoTIME, cur.reqRANDR, cur.snGOOD, cur.snBAD, status);
    }
    showStatus(u"Opening MicroSoft Excel"_s);
    timeDELAY(1);
    if (ended())
        return;
    // A new workbook, or one more sheet in the workbook of the run.
    bool done = false;
    if (m_exporter) {
        if (cur.xlOPEN == 0) {
            m_exporter->newWorkbook();
            cur.xlOPEN = 1;
        }
        showStatus(u"Exporting data to MicroSoft Excel"_s);
        const BusyCursor writing;
        done = m_exporter->exportSummary(summaryOf(cur));
    }
    if (done) {
        cur.xlSTATUS = 1;
        return;
    }
    if (cur.xlSTATUS == 1) {
        // The next export starts a new workbook; the files written so far stay as they are.
        cur.xlOPEN = 0;
        cur.xlSTATUS = 0;
        if (dialogs)
            dialogs->message(u"Export Failed: Excel was open but closed by User"_s,
                             u"Please try exporting to Excel again"_s);
    } else {
        cur.xlSTATUS = 2;
        if (dialogs)
            dialogs->message(u"Unable to Open MS Excel - Function Disabled"_s,
                             u"Zelmar\u00AE was unable to open Excel"_s);
    }
}

} // namespace zelmar
