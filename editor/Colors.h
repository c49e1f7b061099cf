#pragma once

#include <QColor>
#include <QtGlobal>

class QWidget;

namespace zelmar {

// Colour values as the program stores them: 0x00BBGGRR, or a system colour.
namespace colors {
inline constexpr quint32 white = 0xFFFFFF;
inline constexpr quint32 yellow = 0x00FFFF;
inline constexpr quint32 red = 0x0000FF;
inline constexpr quint32 green = 0x00FF00;
inline constexpr quint32 menuBar = 0x80000004;    // a switched-off field
inline constexpr quint32 buttonFace = 0x8000000F; // a check box after some review endings
} // namespace colors

// The on-screen colour of a stored colour value; system colours come from the palette.
QColor toQColor(quint32 value);

// Paints a control's background in the colour and keeps the value: the status
// bar's blink reads it back to tell the neutral colours from a result's.
void setBackColor(QWidget* widget, quint32 value);
// The value last set with setBackColor; white for a control never set.
quint32 backColor(const QWidget* widget);

} // namespace zelmar
