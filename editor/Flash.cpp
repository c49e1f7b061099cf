#include "Flash.h"

#include "Colors.h"
#include "NumericEntry.h"

#include <QLineEdit>
#include <QPointer>
#include <QVarLengthArray>
#include <QWidget>

namespace zelmar {

void flash(Pause* pause, std::initializer_list<QWidget*> controls, std::initializer_list<Tone> tones,
           quint32 after, const StatusNote& note)
{
    // The pauses run window events: any of the widgets may be gone after one.
    QVarLengthArray<QPointer<QWidget>, 4> targets;
    for (QWidget* control : controls)
        targets.append(control);
    const QPointer<QLineEdit> status = note.box;
    QString saved;
    if (status) {
        saved = status->text();
        status->setText(note.text);
        if (note.repaint)
            status->repaint();
    }
    for (const Tone& tone : tones) {
        for (const QPointer<QWidget>& target : targets)
            setBackColor(target, tone.color);
        timeDELAY(pause, tone.seconds);
    }
    for (const QPointer<QWidget>& target : targets)
        setBackColor(target, after);
    if (status && note.restore)
        status->setText(saved);
}

} // namespace zelmar
