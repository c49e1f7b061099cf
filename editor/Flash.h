#pragma once

#include "Interaction.h"

#include <QString>
#include <QtGlobal>

#include <initializer_list>

class QLineEdit;
class QWidget;

namespace zelmar {

// One colour of a flash and how long it stays.
struct Tone
{
    quint32 color;
    double seconds;
};

// What a flash does to the status box. Made with its members named, as in
// StatusNote{.box = status, .text = message, .restore = true}: two flags in a row read alike.
struct StatusNote
{
    QLineEdit* box = nullptr; // nullptr: the status box is left alone
    QString text;
    bool repaint = false; // repaint the box at once after the text is put in
    bool restore = false; // put back the text that stood before, after the flash
};

// The editor's timed flash: the note's text goes on the status box, every control takes
// each tone's colour in turn for the tone's seconds (the editor's pause: window events
// run meanwhile), then every control takes `after` and, when asked, the old status text
// comes back. Controls destroyed during a pause are skipped.
void flash(Pause* pause, std::initializer_list<QWidget*> controls, std::initializer_list<Tone> tones,
           quint32 after, const StatusNote& note = {});

} // namespace zelmar
