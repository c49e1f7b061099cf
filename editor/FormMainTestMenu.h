#pragma once

#include "AccountValues.h"
#include "ActionBudget.h"
#include "CurrentParams.h"
#include "Interaction.h"
#include "NumericEntry.h"
#include "PartNumberRules.h"
#include "SerialNumberRules.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace zelmar {

class PartNumberEdits;
class Review;
class Selection;

namespace db {
class Database;
}

// The main window, the part-number editor. Object names are the
// control names; every control is also a public member of the
// same name, as the editor's handlers use them.
//
// Event semantics (Overview, Conventions): changing a check box's value or a
// list's selection from the program runs the same handler as the operator's
// click, and setting the value it already has runs nothing. QCheckBox::toggled
// and QComboBox::currentIndexChanged are connected to the _Click handlers for
// exactly that. Refilling a list never runs a handler and leaves it with no
// selection (refillList); the caller then selects what it needs.
class FormMainTestMenu : public QDialog
{
    Q_OBJECT

public:
    // The collaborators are not owned and must outlive the window.
    FormMainTestMenu(Dialogs* dialogs, Pause* pause, ProgramEnd* programEnd, db::Database* database,
                     QWidget* parent = nullptr);
    ~FormMainTestMenu() override;

    // ---- The current-parameter set, owned by the window ----
    CurrentParams cur;

    // ---- The operator's account, set at sign-in; the customer database's profile ----
    db::AccountValues account;

    // ---- Collaborators ----
    Dialogs* const dialogs;
    Pause* const pause;
    ProgramEnd* const programEnd;
    db::Database* const database;

    // ---- Controls ----
    // Part-number area
    QLabel* lblpartNAME = nullptr;
    QComboBox* lsttestPN = nullptr; // editable: its text can be typed over
    QLabel* lblsnNAME = nullptr;
    QLineEdit* txtsnNAME = nullptr;
    QCheckBox* chksnACTIVE = nullptr;
    QCheckBox* chkpnDEFAULT = nullptr;
    QLabel* lblSNentryfield = nullptr;
    QCheckBox* chksnBARCODE = nullptr;
    QCheckBox* chkRANDR = nullptr;
    QLineEdit* txtsnFORMAT = nullptr;
    QLabel* lblsnLENGTH = nullptr;
    QLabel* lblsnLEN = nullptr;
    QCheckBox* chkautoMEASURE = nullptr;
    QLineEdit* txtautoTIME = nullptr;
    QLabel* lblSEC = nullptr;
    QLabel* lblGOODSN = nullptr;
    QLineEdit* txtGOODSN = nullptr;
    QLabel* lblBADSN = nullptr;
    QLineEdit* txtBADSN = nullptr;
    // Status bar
    QLabel* lblSUMMARY = nullptr;
    QLineEdit* txtStatus = nullptr;
    // Port area
    QLabel* lblPORTNUM = nullptr;
    QComboBox* lstPORT = nullptr;
    QCheckBox* chkACTIVE = nullptr;
    QLabel* lblTitles = nullptr;
    QLineEdit* txtPort = nullptr;
    QLabel* lbltestPARAMS = nullptr;
    QLineEdit* txtMinSpec = nullptr;
    QLineEdit* txtMaxSpec = nullptr;
    QLabel* lblSCALE = nullptr;
    QComboBox* lstsCALE = nullptr;
    QComboBox* lstuNITS = nullptr;
    QLabel* lblSPEED = nullptr;
    QComboBox* lstSPEED = nullptr;
    QLabel* lblnumAVG = nullptr;
    QLineEdit* txtAVG = nullptr;
    QLabel* lblRANGE = nullptr;
    QComboBox* lstRANGE = nullptr;
    QLabel* lblTIMEDELAY = nullptr;
    QLineEdit* txtTDLY = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblssALG = nullptr;
    QCheckBox* chkssON = nullptr;
    QLabel* lblSSTOL = nullptr;
    QLineEdit* txtssTOL = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* lblMAXTIME = nullptr;
    QLineEdit* txtssMAXT = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* chkssREQD = nullptr;
    // Command buttons
    QPushButton* btnREVIEW = nullptr;
    QPushButton* btnUPDATE = nullptr;
    QPushButton* btnDELETE = nullptr;
    QPushButton* btnEXPORT = nullptr;
    QPushButton* btnADD = nullptr;
    QPushButton* btnQUIT = nullptr;
    // Logo, no behaviour
    QLabel* Image1 = nullptr;
    // Timers: Timer1 1000 ms and off, Timer6 10000 ms and running
    // from the window's creation. Their timeouts call Timer1_Timer and Timer6_Timer.
    QTimer* Timer1 = nullptr;
    QTimer* Timer6 = nullptr;

    // ---- Pick lists, in list order ----
    static QStringList unitsEntries(); // lstuNITS
    static QStringList scaleEntries(); // lstsCALE
    static QStringList speedEntries(); // lstSPEED
    static QStringList rangeEntries(); // lstRANGE

    // ---- Window state procedures ----
    // Shows port iPORT (0-based, -1 none) in the port fields; iLISTS 0 refills
    // the pick lists first. Writes its corrections back into `cur`. wFROM is
    // the caller's name and is not used.
    void setupPORTS(int iPORT, int iLISTS, const QString& wFROM);
    // The tolerance text setupPORTS last showed, and for which port. It shows a rounded
    // percentage: a text the operator left as it was keeps the value held, so that passing
    // through the ports never changes what was not edited.
    struct ShownPort
    {
        int port = -1;
        QString tolerance;
    };
    ShownPort shownPort;
    void lockFIELDS();
    void unlockFIELDS();
    void blankFIELDS();
    // iPROC 1: a process is running (all six buttons off); else idle.
    void displayBTN(int iPROC);

    // ---- Quitting ----
    // Ends the program exactly once, however often it is called (the one-hour
    // timer may fire while the goodbye box is up).
    void btnQUIT_Click();
    // QUIT's first step, run only when cur.xlOPEN is 1: make the spreadsheet
    // application visible and release sheet, workbook and application. Set by
    // the export. May throw; QUIT goes on to the goodbye box.
    std::function<void()> spreadsheetHandOver;

    // ---- Export to the spreadsheet (ExportAction.cpp) ----
    // The run's workbook; not owned, must outlive the window. Setting it also sets
    // spreadsheetHandOver to its hand-over. Without one, every export fails as if
    // no spreadsheet application could be opened.
    void setExporter(class SummaryExporter* exporter);
    // The summary sheet of the loaded PN: its record re-read, its ports as held in
    // `cur`. status: the status of the record read (not examined by the caller).
    void createXCEL(qint16& status);

private:
    class SummaryExporter* m_exporter = nullptr;

public:
    // ---- Start sequence support ----
    // Takes the account's port count into cur.numPORTS. The port table holds
    // 49 ports: a larger count is capped at 49 and the operator is told once
    // in the status bar (yellow, "RESULT: ..."); a negative count becomes 0.
    // Returns true when the count was taken unchanged.
    bool setnumPORTS(int accountPorts);
    // lsttestPN shows cur.pnLIST(1)..cur.pnLIST(numPN) in that order; nothing
    // is selected, its text is empty and no handler runs.
    void fillPNlist();
    // Clears `list` and adds `entries` without running any handler; the list is
    // left with no selection (index -1).
    static void refillList(QComboBox* list, const QStringList& entries);

    // ======== Field entry rules (bodies in FieldHandlers.cpp) ========
    // The seven numeric fields. Each handler forwards to the rule that the window keeps
    // for the field. The window feeds them itself: every change of the text (the
    // program's too) runs _Change; every key pressed in the field runs _KeyPress, where
    // Enter (13) runs the check and the focus stays; the focus leaving the field for
    // another control runs _Validate, then _LostFocus. Other code calls _Validate and
    // _LostFocus directly. `Cancel` is never set: corrections never hold the focus.
    void txtMinSpec_Change();
    void txtMinSpec_KeyPress(qint16& KeyAscii);
    void txtMinSpec_Validate(bool& Cancel);
    void txtMinSpec_LostFocus();
    void txtMaxSpec_Change();
    void txtMaxSpec_KeyPress(qint16& KeyAscii);
    void txtMaxSpec_Validate(bool& Cancel);
    void txtMaxSpec_LostFocus();
    void txtAVG_Change();
    void txtAVG_KeyPress(qint16& KeyAscii);
    void txtAVG_Validate(bool& Cancel);
    void txtAVG_LostFocus();
    void txtTDLY_Change();
    void txtTDLY_KeyPress(qint16& KeyAscii);
    void txtTDLY_Validate(bool& Cancel);
    void txtTDLY_LostFocus();
    void txtssTOL_Change();
    void txtssTOL_KeyPress(qint16& KeyAscii);
    void txtssTOL_Validate(bool& Cancel);
    void txtssTOL_LostFocus();
    void txtssMAXT_Change();
    void txtssMAXT_KeyPress(qint16& KeyAscii);
    void txtssMAXT_Validate(bool& Cancel);
    void txtssMAXT_LostFocus();
    void txtautoTIME_Change();
    void txtautoTIME_KeyPress(qint16& KeyAscii);
    void txtautoTIME_Validate(bool& Cancel);
    void txtautoTIME_LostFocus();

    // The serial-number format check: cleans txtsnFORMAT, shows its length in lblsnLEN
    // and flashes a cleaned (yellow) or empty (red) format with its message. Leaving
    // the field runs txtsnFORMAT_lostfocus, which is the same check, once.
    void txtsnFORMAT_Validate(bool& Cancel);
    void txtsnFORMAT_lostfocus();
    // Builds cur.snPATTERN from the format snINPUT and sets cur.snLENGTH to its length.
    void ConvertSerialNumber(const QString& snINPUT);
    // The editor's timed pause through `pause`: window events go on meanwhile.
    void timeDELAY(double Delay);
    // The part-number string rules against the loaded part number cur.curPN; with
    // iSKIP = 1 another name is also looked up in the account's part-number table
    // (database->SQL_checkPN with the account's profile). pnCHECK = 1 accepted, 0 refused.
    void checkPN(QString& strPN, qint16& pnCHECK, qint16& iSKIP, const QString& wFROM);
    // Every number that the window reads from a field: the regional rules of readNumber,
    // digit grouping included (1,500.0 reads 1500). False, and `value` unchanged, when
    // the text is no number.
    static bool fieldNumber(const QLineEdit* field, double& value);

private:
    // The rules, their wiring to the fields (called once by the constructor), and the
    // leave dispatch of the fields (false: the control is none of them).
    void wireFieldRules();
    bool fieldLostFocus(QWidget* control);
    NumericFieldRule& rule(NumericField field) const { return *m_numericRules[std::size_t(field)]; }
    std::array<NumericFieldRule*, 7> m_numericRules{};
    SerialFormatRule* m_snFormatRule = nullptr;
    std::unique_ptr<PartNumberRule> m_pnRule;

public:
    // ======== End of field entry rules ========

    // ---- One-hour limit, counted by Timer6_Timer (Timers.cpp) ----
    // The start sequence resets the count, sets the limit and arms the quit
    // when the window loads; a window that was never loaded does not quit by itself.
    qint16 quitTICKS = 0;   // Timer6 ticks since the window loaded, modulo quitLIMIT
    qint16 quitLIMIT = 360; // ticks of 10 s: one hour
    qint16 quitARMED = 0;   // 1: QUIT runs when quitTICKS reaches quitLIMIT

    // ---- Selection of a part number and a port (Selection.cpp) ----
    void lsttestPN_Click();     // load the PN
    void lsttestPN_LostFocus(); // rename
    void lstPORT_Click();       // port switch
    void lstsCALE_Click();      // scale change
    // Gathers and checks the window's values into `cur`; iERROR 0 when all passed.
    void readcurPARAM(qint16& iERROR);
    // The PN-level fields of the window into `cur` (all but snEXTENDER, which is not on show).
    void gatherPnValues();
    // Selects list entry `index` of lsttestPN without loading it.
    void selectWithoutLoad(int index);
    // The no-PN state: nothing selected or loaded, fields blank and locked, the list open.
    void showNoPN();

    // ---- Option check boxes (OptionBoxes.cpp) ----
    void chkautoMEASURE_Click();
    void chkRANDR_Click();
    void chksnBARCODE_Click();
    void chkssON_Click();
    // Visible, and enabled on white or disabled in the menu-bar colour.
    static void showOptionLook(std::initializer_list<QWidget*> fields, bool active);

    // ---- Shared by the handlers ----
    // True once the program has ended: a handler back from a pause or a message box
    // returns at once then, before it writes anything.
    bool ended() const { return programEnd && programEnd->hasEnded(); }
    // The station's port count as taken at sign-in (at most 49).
    qint16 stationPorts() const { return m_stationPorts; }
    // Reads every part number again and shows the window of the list that holds `name`
    // (showPNwindow); gives the list index of the last entry equal to `name`, -1 when none.
    int rereadPNlist(const QString& name);
    // lsttestPN shows the 100 part numbers, of all the table's in sorted order, among which
    // `name` is or would be, with no entry selected; gives the list index of the last
    // entry equal to `name`, -1 when none. Nothing is read.
    int showPNwindow(const QString& name);
    // Ctrl+F and the list's context menu: the find dialog over every part number, while the
    // window waits for the operator. The part number picked there is shown in its window of
    // the list and loaded as a pick in the list loads.
    void findPartNumber();
    // One operator action: every database call until the object goes, retries included,
    // shares one bound on the time the window waits (db::ActionBudget). Handlers that run
    // inside another one's action join it.
    [[nodiscard]] db::ActionBudget::Scope operatorAction() const;

    // ---- Command handlers ----
    void btnREVIEW_Click(); // Review.cpp
    void btnUPDATE_Click(); // Review.cpp
    void btnDELETE_Click(); // PartNumberEdits.cpp
    void btnEXPORT_Click();
    void btnADD_Click(); // PartNumberEdits.cpp
    void Timer1_Timer(); // status-bar blink

    // ---- Change history (HistoryWindow.cpp): Ctrl+H and the list's menu; nothing while busy ----
    void showHISTORY();
    // The context menu of the part-number list: its text edits, then the editor's own entries.
    QMenu* pnListMenu();
    void Timer6_Timer(); // one-hour limit

protected:
    // Focus leaving a control (not for a popup or another window). Dispatches
    // to the _LostFocus handlers; later handlers add theirs here.
    void controlLostFocus(QWidget* control);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void connectHandlers();
    void lsttestPNEdited();
    bool waitsForOperator() const;
    void showFound(const QString& name);
    void showListMenu(const QPoint& at);

    bool m_quitStarted = false;
    bool m_portCapTold = false;
    qint16 m_stationPorts = 0;
    // A locked control had the focus: unlocking gives it to the part-number list.
    bool m_focusLocked = false;
    std::unique_ptr<Selection> m_selection;
    std::unique_ptr<Review> m_review;
    std::unique_ptr<PartNumberEdits> m_pnEdits;
};

} // namespace zelmar
