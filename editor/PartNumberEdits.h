#pragma once

#include <QString>

namespace zelmar {

class FormMainTestMenu;

// CREATE NEW PN and DELETE RECORD: whole part numbers come and go.
class PartNumberEdits
{
public:
    explicit PartNumberEdits(FormMainTestMenu& window)
        : w(window)
    {}

    void create(); // btnADD_Click
    void remove(); // btnDELETE_Click

private:
    void giveBack();
    void terminate();
    // A status text on a coloured 3 s flash of the status bar; false when the program ended.
    bool tell(const QString& text, quint32 color);

    FormMainTestMenu& w;
};

} // namespace zelmar
