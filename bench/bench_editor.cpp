// Wall time of what the operator waits for, on a 49-port part number as the window runs it
// (pauses at zero length): sign-in to the editor ready, a load, an UPDATE, a CREATE from
// the window's values, a DELETE and an export; and the process's peak memory. Then the
// actions of the round-trip goals over a link to the customer's server that holds every
// packet, their round trips and times. Not a test: scripts/bench runs it against its own
// server (ZELMAR_TEST_PORT and the account in the environment, as for the tests).
#include "EditorActions.h"
#include "WorkbookSession.h"
#if __has_include("ThreadWaiter.h")
#include "ThreadWaiter.h"
#endif

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace zelmar;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

struct Reachable : InternetProbe
{
    void checkINTERNET(qint16& connected) override { connected = 1; }
};

struct NoViewer : SpreadsheetViewer
{
    bool hasApplication() override { return true; }
    bool open(const QString&) override { return true; }
};

struct OverLink
{
    int exchanges = 0;
    double ms = 0;
    bool stored = true;
};

// One action through a proxy that holds every packet `delayMs` each way, as the program runs it:
// the round trips of the last run and the median time of `runs`, each on a database of its own.
OverLink overLink(test::Action action, int delayMs, int runs)
{
    OverLink out;
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        test::ActionBench b;
        if (!b.ready(action)) {
            std::fprintf(stderr, "no test server: %s\n", qPrintable(b.e.tdb.error()));
            std::exit(1);
        }
#if __has_include("ThreadWaiter.h")
        ThreadWaiter waiter(db::clientThreadStarted, db::clientThreadEnding);
        b.e.database.setWaiter(&waiter);
#endif
        b.proxy.setPlan({.delayMs = delayMs});
        QElapsedTimer t;
        t.start();
        out.stored = b.perform(action) && out.stored;
        times.push_back(double(t.nsecsElapsed()) / 1e6);
        out.exchanges = b.proxy.exchanges();
    }
    out.ms = median(times);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    test::EditorOnDb e(49);
    test::TestDatabase central({u"central.sql"_s});
    if (!e.ok() || !central.ok() || !e.addPN(u"BENCH-1"_s, 1) || !e.addPorts(1, 49)) {
        std::fprintf(stderr, "no test server: %s\n", qPrintable(e.tdb.error()));
        return 1;
    }
    for (int i = 0; i < 98; ++i)
        e.addPN(u"FILL-%1"_s.arg(i, 3, 10, QChar(u'0')), 100 + i);
    const db::Profile customer = e.tdb.profile();
    central.exec(u"INSERT INTO Customers (Operator_Code, Operator_Initials, Company, tARV, numPORTS, ipPORT, "
                 u"custDB, custUSER, custUSER_PW) VALUES ('BENCH', 'BE', 'Bench', 1, 49, ?, ?, ?, ?)"_s,
                 {customer.server, customer.database, customer.user, customer.password});

    // Sign-in to the editor ready: the editor's load with the account lookup, the
    // sign-in record and the part-number list.
    std::vector<double> signin;
    {
        Reachable internet;
        QtHostSystem host;
        RunningCopies copies(u"bench-%1"_s.arg(QCoreApplication::applicationPid()));
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
            signin.push_back(double(t.nsecsElapsed()) / 1e6);
            if (e.end.hasEnded() || window.lsttestPN->count() != 99) {
                std::fprintf(stderr, "the sign-in did not come through\n");
                return 1;
            }
        }
    }

    QTemporaryDir folder;
    NoViewer viewer;
    WorkbookSession workbook(&viewer, folder.path());
    e.list();
    FormMainTestMenu* w = e.w.get();
    w->setExporter(&workbook);
    std::vector<double> load, update, create, remove, exported;
    QElapsedTimer t;
    for (int r = 0; r < runs; ++r) {
        w->showNoPN();
        t.start();
        e.load(u"BENCH-1"_s);
        load.push_back(double(t.nsecsElapsed()) / 1e6);

        t.start();
        w->btnUPDATE_Click();
        update.push_back(double(t.nsecsElapsed()) / 1e6);

        w->cur.xlOPEN = 0; // one sheet in a new workbook each time
        t.start();
        w->btnEXPORT_Click();
        exported.push_back(double(t.nsecsElapsed()) / 1e6);

        e.dialogs.inputAnswers = {u"COPY-1"_s};
        e.dialogs.yesNoAnswers = {true};
        t.start();
        w->btnADD_Click();
        create.push_back(double(t.nsecsElapsed()) / 1e6);

        e.dialogs.yesNoAnswers = {true};
        t.start();
        w->btnDELETE_Click();
        remove.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    if (w->cur.xlSTATUS != 1 || e.rows(u"snPN"_s).size() != 99) {
        std::fprintf(stderr, "an action did not come through\n");
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\nThe editor's actions on a 49-port PN among 99, median of %d runs (ms)\n", runs);
    std::printf("| action | ms |\n|---|---|\n");
    std::printf("| sign-in to editor ready | %.2f |\n| PN load | %.2f |\n| UPDATE | %.2f |\n", median(signin),
                median(load), median(update));
    std::printf("| CREATE (new PN loaded) | %.2f |\n| DELETE | %.2f |\n| export | %.2f |\n", median(create),
                median(remove), median(exported));
    std::printf("| peak memory of the whole run | %.1f MB |\n", double(usage.ru_maxrss) / 1024.0);

    // Over a slow link: the customer's server behind a proxy, the central server direct.
    const int linkRuns = std::max(1, std::min(runs, 3));
    std::printf(
        "\nOver a link to the customer's server (a proxy holding each packet the given time each way), "
        "median of %d runs (ms)\n",
        linkRuns);
    std::printf("| action | round trips | at 0 ms | at 200 ms round trip |\n|---|---|---|---|\n");
    for (const test::Action action :
         {test::Action::SignIn, test::Action::Load, test::Action::UpdateOnePort,
          test::Action::UpdateEveryPort, test::Action::Create, test::Action::Delete}) {
        const OverLink lan = overLink(action, 0, linkRuns), slow = overLink(action, 100, linkRuns);
        std::printf("| %s | %d | %.1f%s | %.0f%s |\n", test::actionName(action), lan.exchanges, lan.ms,
                    lan.stored ? "" : " (failed)", slow.ms, slow.stored ? "" : " (failed)");
    }
    return 0;
}
