#pragma once

// The operator's actions that the round-trip goals name, as the editor runs them on part number
// PN-1 (49 ports, map 1) beside PN-2 (map 2), the customer's server reached through a proxy; each
// checks what it stored. Shared by tst_slowlink and bench_editor.

#include "Account.h"
#include "EditorOnDb.h"
#include "FaultProxy.h"
#include "HostSystem.h"
#include "InternetProbe.h"
#include "RunningCopy.h"
#include "StartSequence.h"
#include "frmSplash.h"

namespace zelmar::test {

enum class Action
{
    SignIn,
    Load,
    UpdateOnePort,
    UpdateEveryPort,
    Create,
    Delete,
};

inline const char* actionName(Action action)
{
    static const char* const names[] = {"sign-in to editor ready",    "load",
                                        "UPDATE, one port changed",   "UPDATE, every port changed",
                                        "CREATE from the PN on show", "DELETE"};
    return names[int(action)];
}

struct ActionBench
{
    EditorOnDb e{db::portSlots};
    TestDatabase central{{u"central.sql"_s}};
    FaultProxy proxy{e.tdb.server()};

    // Seeds both part numbers and the operator's account, and shows PN-1 when the action needs it.
    bool ready(Action action)
    {
        const db::Profile customer = e.tdb.profile();
        if (!e.ok() || !central.ok() || !proxy.ok() || !e.addPN(u"PN-1"_s, 1, u"snVALID = 1"_s) ||
            !e.addPorts(1, db::portSlots) || !e.addPN(u"PN-2"_s, 2) || !e.addPorts(2, db::portSlots) ||
            !central.exec(
                u"INSERT INTO Customers (Operator_Code, Operator_Initials, Company, tARV, numPORTS, "
                u"ipPORT, custDB, custUSER, custUSER_PW) VALUES ('OP1', 'OP', 'Co', 1, 49, ?, ?, ?, ?)"_s,
                {proxy.serverValue(), customer.database, customer.user, customer.password}))
            return false;
        e.w->account.ipPORT = proxy.serverValue();
        e.list();
        return action == Action::SignIn || action == Action::Load || e.load(u"PN-1"_s);
    }

    // The action as the operator starts it; true when it stored what it should.
    bool perform(Action action)
    {
        FormMainTestMenu* w = e.w.get();
        switch (action) {
        case Action::SignIn:
            return signIn();
        case Action::Load:
            return e.load(u"PN-1"_s);
        case Action::UpdateOnePort:
        case Action::UpdateEveryPort: {
            const int ports = action == Action::UpdateOnePort ? 1 : db::portSlots;
            for (int k = ports; k >= 1; --k) {
                w->lstPORT->setCurrentIndex(k - 1);
                putText(w->txtPort, u"X-%1"_s.arg(k));
            }
            w->btnUPDATE_Click();
            return e.tdb.scalar(
                            u"SELECT COUNT(*) FROM portCONFIG WHERE mapPORT = 1 AND portNAME LIKE 'X-%'"_s)
                           .toInt() == ports &&
                   e.tdb.scalar(u"SELECT snVALID FROM snPN WHERE partNUM = 'PN-1'"_s).toInt() == 1;
        }
        case Action::Create:
            e.dialogs.inputAnswers = {u"PN-3"_s};
            e.dialogs.yesNoAnswers = {true};
            w->btnADD_Click();
            return w->cur.curPN == u"PN-3"_s &&
                   e.tdb.scalar(u"SELECT COUNT(*) FROM portCONFIG p JOIN snPN s USING (mapPORT) "
                                u"WHERE s.partNUM = 'PN-3' AND s.snVALID = 1"_s)
                           .toInt() == db::portSlots;
        case Action::Delete:
            e.dialogs.yesNoAnswers = {true};
            w->btnDELETE_Click();
            return e.tdb.count(u"portCONFIG"_s) == db::portSlots && e.tdb.count(u"snPN"_s) == 1;
        }
        return false;
    }

private:
    struct Reachable : InternetProbe
    {
        void checkINTERNET(qint16& connected) override { connected = 1; }
    };

    // Sign-in as the editor's load runs it, the central server reached directly.
    bool signIn()
    {
        const db::Profile c = central.profile();
        Reachable internet;
        QtHostSystem host;
        RunningCopies copies(u"actions-%1"_s.arg(QCoreApplication::applicationPid()));
        signin::ProgramValues values{u"OP1"_s, u"Windows 7"_s, 2};
        signin::CentralAccounts accounts(e.database, e.dialogs, e.end, internet);
        signin::frmSplash splash(values, host, copies, e.end);
        signin::StartSequence sequence(
            *e.w, splash, values, e.database, accounts, e.dialogs, e.end,
            {c.server, c.database, u"Customers"_s, u"CustLogin"_s, c.user, c.password});
        sequence.Form_Load();
        return !e.end.hasEnded() && e.w->lsttestPN->count() == 2;
    }
};

} // namespace zelmar::test
