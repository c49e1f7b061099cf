#include "Colors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace zelmar {

namespace {
constexpr const char* backColorProperty = "zelmarBackColor";
}

QColor toQColor(quint32 value)
{
    if (value & 0x80000000u) {
        const QPalette palette = QApplication::palette();
        switch (value & 0xFFu) {
        case 0x04: // menu bar
            return palette.color(QPalette::Window);
        case 0x0F: // button face
            return palette.color(QPalette::Button);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void setBackColor(QWidget* widget, quint32 value)
{
    if (!widget)
        return;
    widget->setProperty(backColorProperty, QVariant::fromValue(value));
    const QColor colour = toQColor(value);
    QPalette palette = widget->palette();
    // Fields paint their face with Base. A check box fills its background with Button
    // and draws its indicator with Base, which keeps the system's colour. A disabled
    // control keeps the colour the program gave it.
    const bool box = qobject_cast<QAbstractButton*>(widget) != nullptr;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        if (box) {
            palette.setColor(group, QPalette::Button, colour);
        } else {
            palette.setColor(group, QPalette::Base, colour);
            palette.setColor(group, QPalette::Window, colour);
        }
    }
    widget->setAutoFillBackground(true);
    widget->setPalette(palette);
}

quint32 backColor(const QWidget* widget)
{
    if (!widget)
        return colors::white;
    const QVariant v = widget->property(backColorProperty);
    return v.isValid() ? v.value<quint32>() : colors::white;
}

} // namespace zelmar
