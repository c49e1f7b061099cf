#pragma once

#include "Colors.h"
#include "FormMainTestMenu.h"
#include "Interaction.h"
#include "TestServer.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QList>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <functional>

namespace zelmar::test {

// Records the text of every message box; Yes and empty input as answers (the export's tests).
class FakeDialogs : public Dialogs
{
public:
    QStringList messages;
    void message(const QString& text, const QString&) override { messages << text; }
    bool askYesNo(const QString&, const QString&) override { return true; }
    QString input(const QString&, const QString&, const QString&) override { return QString(); }
};

// Keeps the length of every wait and can look at the window while the wait is on; waits no time.
class RecordingPause : public Pause
{
public:
    void wait(double seconds) override
    {
        waits.append(seconds);
        if (during)
            during(seconds);
    }
    QList<double> waits;
    std::function<void(double)> during; // runs at the start of every wait
};

// Sets a field's text as the program does, without the field's entry rules.
inline void putText(QLineEdit* field, const QString& text)
{
    const QSignalBlocker blocker(field);
    field->setText(text);
}

inline bool showAndActivate(QWidget* window)
{
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    QCoreApplication::processEvents();
    return true;
}

// The editor window with every run of a watched handler listed in `order` (the base
// bodies still run): the handlers that later work fills, and those of the field rules.
class ProbeWindow : public FormMainTestMenu
{
public:
    QStringList order;

    ProbeWindow(Dialogs* d, Pause* p, ProgramEnd* e, db::Database* database = nullptr)
        : FormMainTestMenu(d, p, e, database)
    {}
    int ran(const QString& handler) const { return int(order.count(handler)); }
    void reset() { order.clear(); }
    // The runs of the handlers other than those of the text fields.
    QStringList clicks() const { return order.filter(QRegularExpression(QStringLiteral("^(?!txt)"))); }
    // The runs of one field's check and leave handlers.
    QStringList checks(const QString& field) const
    {
        return order.filter(
            QRegularExpression(QStringLiteral("^%1_(Validate|LostFocus|lostfocus)$").arg(field)));
    }

#define ZELMAR_ARG(...) __VA_OPT__(arg)
#define ZELMAR_PROBE(h, ...)                                                                                 \
    void h(__VA_ARGS__) override                                                                             \
    {                                                                                                        \
        order << QStringLiteral(#h);                                                                         \
        FormMainTestMenu::h(ZELMAR_ARG(__VA_ARGS__));                                                        \
    }
#define ZELMAR_NUMERIC_PROBES(f)                                                                             \
    ZELMAR_PROBE(f##_Change)                                                                                 \
    ZELMAR_PROBE(f##_KeyPress, qint16& arg) ZELMAR_PROBE(f##_Validate, bool& arg) ZELMAR_PROBE(f##_LostFocus)
    ZELMAR_PROBE(lsttestPN_Click)
    ZELMAR_PROBE(lsttestPN_LostFocus)
    ZELMAR_PROBE(lstPORT_Click)
    ZELMAR_PROBE(lstsCALE_Click)
    ZELMAR_PROBE(chkautoMEASURE_Click)
    ZELMAR_PROBE(chkRANDR_Click)
    ZELMAR_PROBE(chksnBARCODE_Click)
    ZELMAR_PROBE(chkssON_Click)
    ZELMAR_PROBE(btnREVIEW_Click)
    ZELMAR_PROBE(Timer1_Timer)
    ZELMAR_PROBE(Timer6_Timer)
    ZELMAR_NUMERIC_PROBES(txtMinSpec)
    ZELMAR_NUMERIC_PROBES(txtMaxSpec)
    ZELMAR_NUMERIC_PROBES(txtAVG)
    ZELMAR_NUMERIC_PROBES(txtTDLY)
    ZELMAR_NUMERIC_PROBES(txtssTOL)
    ZELMAR_NUMERIC_PROBES(txtssMAXT)
    ZELMAR_NUMERIC_PROBES(txtautoTIME)
    ZELMAR_PROBE(txtsnFORMAT_Validate, bool& arg)
    ZELMAR_PROBE(txtsnFORMAT_lostfocus)
#undef ZELMAR_NUMERIC_PROBES
#undef ZELMAR_PROBE
#undef ZELMAR_ARG
};

} // namespace zelmar::test
