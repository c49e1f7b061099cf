#pragma once

#include "FormMainTestMenu.h"
#include "Interaction.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

namespace zelmar::test {

// Records every box and answers from a queue (Yes by default, empty input).
class FakeDialogs : public Dialogs
{
public:
    QList<QPair<QString, QString>> messages; // text, title
    // Runs inside message(), after the box was recorded: what happens while the box is up.
    std::function<void()> whileMessageShown;

    void message(const QString& text, const QString& title) override
    {
        messages.append({text, title});
        if (whileMessageShown)
            whileMessageShown();
    }
    bool askYesNo(const QString& text, const QString& title) override
    {
        messages.append({text, title});
        return true;
    }
    QString input(const QString& prompt, const QString& title, const QString&) override
    {
        messages.append({prompt, title});
        return QString();
    }
};

class FakePause : public Pause
{
public:
    QList<double> waits;
    void wait(double seconds) override { waits.append(seconds); }
};

class FakeProgramEnd : public ProgramEnd
{
public:
    int ends = 0;
    void end() override { ++ends; }
    bool hasEnded() const override { return ends > 0; }
};

// The editor window with its handlers watched: every run of a handler that a
// later work fills is counted (the base body still runs).
class ProbeWindow : public FormMainTestMenu
{
public:
    QHash<QString, int> runs;
    QStringList order;

    ProbeWindow(Dialogs* d, Pause* p, ProgramEnd* e)
        : FormMainTestMenu(d, p, e, nullptr)
    {}

    int ran(const QString& handler) const { return runs.value(handler); }
    void reset()
    {
        runs.clear();
        order.clear();
    }

    void lsttestPN_Click() override
    {
        note(QStringLiteral("lsttestPN_Click"), [this] { FormMainTestMenu::lsttestPN_Click(); });
    }
    void lsttestPN_LostFocus() override
    {
        note(QStringLiteral("lsttestPN_LostFocus"), [this] { FormMainTestMenu::lsttestPN_LostFocus(); });
    }
    void lstPORT_Click() override
    {
        note(QStringLiteral("lstPORT_Click"), [this] { FormMainTestMenu::lstPORT_Click(); });
    }
    void lstsCALE_Click() override
    {
        note(QStringLiteral("lstsCALE_Click"), [this] { FormMainTestMenu::lstsCALE_Click(); });
    }
    void chkautoMEASURE_Click() override
    {
        note(QStringLiteral("chkautoMEASURE_Click"), [this] { FormMainTestMenu::chkautoMEASURE_Click(); });
    }
    void chkRANDR_Click() override
    {
        note(QStringLiteral("chkRANDR_Click"), [this] { FormMainTestMenu::chkRANDR_Click(); });
    }
    void chksnBARCODE_Click() override
    {
        note(QStringLiteral("chksnBARCODE_Click"), [this] { FormMainTestMenu::chksnBARCODE_Click(); });
    }
    void chkssON_Click() override
    {
        note(QStringLiteral("chkssON_Click"), [this] { FormMainTestMenu::chkssON_Click(); });
    }
    void btnREVIEW_Click() override
    {
        note(QStringLiteral("btnREVIEW_Click"), [this] { FormMainTestMenu::btnREVIEW_Click(); });
    }
    void Timer1_Timer() override
    {
        note(QStringLiteral("Timer1_Timer"), [this] { FormMainTestMenu::Timer1_Timer(); });
    }
    void Timer6_Timer() override
    {
        note(QStringLiteral("Timer6_Timer"), [this] { FormMainTestMenu::Timer6_Timer(); });
    }

private:
    void note(const QString& name, const std::function<void()>& base)
    {
        ++runs[name];
        order.append(name);
        base();
    }
};

} // namespace zelmar::test
