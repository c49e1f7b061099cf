#pragma once

#include <QString>
#include <QtGlobal>

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
    // The box of map numbers that could not be read, then give back.
    void mapsUnreadable();
    // `map`, or the next one above it, that no record and no port row uses; false when the
    // tables could not be read or no map number is left.
    bool freeMap(qint16& map);
    // A status text on a coloured 3 s flash of the status bar; false when the program ended.
    bool tell(const QString& text, quint32 color);

    FormMainTestMenu& w;
};

} // namespace zelmar
