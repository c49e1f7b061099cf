// What the operator waits for with 100,000 part numbers in the table, as the window runs it
// (pauses at zero length): sign-in to the editor ready (every part number read and sorted,
// the first 100 listed), a key typed into the find dialog (its matches among all the part
// numbers shown), and a pick through the find (the list's window holding it, a 49-port part
// number loaded); and the memory that holds the names against the names alone. Not a test:
// scripts/bench runs it against its own server, as bench_editor.
#include "Account.h"
#include "EditorOnDb.h"
#include "FindPartNumber.h"
#include "HostSystem.h"
#include "InternetProbe.h"
#include "RunningCopy.h"
#include "StartSequence.h"
#include "frmSplash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;
using namespace zelmar;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double msSince(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

struct Reachable : InternetProbe
{
    void checkINTERNET(qint16& connected) override { connected = 1; }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    constexpr int rows = 100000;
    const QString target = u"PN-077777"_s;
    test::EditorOnDb e(49);
    test::TestDatabase central({u"central.sql"_s});
    // Stored in no order, so that the program sorts them; the target has a map of 49 ports.
    if (!e.ok() || !central.ok() ||
        !e.tdb.exec(u"INSERT INTO snPN (partNUM, snNAME, mapPORT) SELECT CONCAT('PN-', LPAD(seq, 6, '0')), "
                    u"'Part', IF(seq = 77777, 1, 2) FROM seq_1_to_%1 ORDER BY RAND(1)"_s.arg(rows)) ||
        !e.addPorts(1, 49)) {
        std::fprintf(stderr, "no test server: %s\n", qPrintable(e.tdb.error()));
        return 1;
    }
    const db::Profile customer = e.tdb.profile();
    central.exec(u"INSERT INTO Customers (Operator_Code, Operator_Initials, Company, tARV, numPORTS, ipPORT, "
                 u"custDB, custUSER, custUSER_PW) VALUES ('BENCH', 'BE', 'Bench', 1, 49, ?, ?, ?, ?)"_s,
                 {customer.server, customer.database, customer.user, customer.password});

    Reachable internet;
    QtHostSystem host;
    RunningCopies copies(u"bench-%1"_s.arg(QCoreApplication::applicationPid()));
    std::vector<double> signin, key, pick;
    double held = 0, alone = 0;
    for (int r = 0; r < runs; ++r) {
        signin::ProgramValues values{u"BENCH"_s, u"Windows 7"_s, 2};
        FormMainTestMenu window(&e.dialogs, &e.pause, &e.end, &e.database);
        signin::CentralAccounts accounts(e.database, e.dialogs, e.end, internet);
        signin::frmSplash splash(values, host, copies, e.end);
        const db::Profile c = central.profile();
        signin::StartSequence sequence(
            window, splash, values, e.database, accounts, e.dialogs, e.end,
            {c.server, c.database, u"Customers"_s, u"CustLogin"_s, c.user, c.password});
        QElapsedTimer t;
        t.start();
        sequence.Form_Load();
        signin.push_back(msSince(t));
        if (e.end.hasEnded() || window.cur.pnNAMES.size() != rows || window.lsttestPN->count() != 100) {
            std::fprintf(stderr, "the sign-in did not come through\n");
            return 1;
        }

        window.findPartNumber();
        auto* find = window.findChild<FindPartNumber*>();
        if (!find)
            return 1;
        // One key typed into an empty field: "7" is in most of the 100,000 part numbers.
        find->txtFIND->clear();
        t.start();
        QTest::keyClick(find->txtFIND, Qt::Key_7);
        key.push_back(msSince(t));
        find->txtFIND->clear();
        QTest::keyClicks(find->txtFIND, target);
        t.start();
        QTest::keyClick(find->txtFIND, Qt::Key_Return);
        while (window.cur.pnLOADED != 1 && t.elapsed() < 10000)
            QCoreApplication::processEvents();
        pick.push_back(msSince(t));
        if (window.cur.curPN != target || window.lstPORT->count() != 49) {
            std::fprintf(stderr, "the pick did not come through\n");
            return 1;
        }
        held = double(window.cur.pnNAMES.bytesHeld());
        alone = 0;
        for (qsizetype i = 0; i < window.cur.pnNAMES.size(); ++i)
            alone += double(window.cur.pnNAMES.at(i).toUtf8().size());
    }
    std::printf("\nWith %d part numbers, median of %d runs (ms)\n", rows, runs);
    std::printf("| action | ms |\n|---|---|\n");
    std::printf("| sign-in to editor ready | %.2f |\n", median(signin));
    std::printf("| find: a key typed, its matches shown | %.2f |\n", median(key));
    std::printf("| pick through the find: its window listed, 49-port PN loaded | %.2f |\n", median(pick));
    std::printf("| memory for the names: %.2f MB, the names alone %.2f MB | %.2fx |\n", held / 1048576.0,
                alone / 1048576.0, held / alone);
    return 0;
}
