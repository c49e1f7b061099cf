#pragma once

#include <QString>
#include <QtGlobal>

namespace zelmar {

class FormMainTestMenu;

// Picking a part number and a port: the load, the rename typed over the list, the port
// switch, the scale change and the gather of the window's values. It drives the window
// it belongs to; the window's handlers forward here.
class Selection
{
public:
    explicit Selection(FormMainTestMenu& window)
        : w(window)
    {}

    void load();        // lsttestPN_Click
    void leaveList();   // lsttestPN_LostFocus
    void switchPort();  // lstPORT_Click
    void changeScale(); // lstsCALE_Click
    void readcurPARAM(qint16& iERROR);
    // The PN-level fields of the window into the PN values; snEXTENDER is not on show.
    void gatherPnValues();

    // Selects list entry `index` without loading it (the click it causes only clears skipCLICK).
    void selectWithoutLoad(int index);
    // The no-PN state of a failed or cleared load.
    void showNoPN();

    bool loading() const { return m_loading; }

private:
    // The no-PN state of an unreadable PN, with its message box.
    void loadFailed();
    void putOldNameBack();
    void endStep();
    bool ended() const;

    FormMainTestMenu& w;
    bool m_loading = false;
    // What the load put in the serial-number format field and its length label. With scanning
    // off the field shows the PN and its counter, not the stored format: while it still shows
    // what the load put there, a save keeps the stored format and length.
    QString m_formatShown;
    QString m_lengthShown;
};

} // namespace zelmar
