#pragma once

#include "Interaction.h"

#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>

namespace zelmar {

// The serial-number format with every character that a format may not hold removed
// (allowed: A-Z, 0-9, "#", "*", "-", "$", space); `dropped` tells whether any was.
QString cleanSerialFormat(const QString& format, bool* dropped = nullptr);

// Turns a format into the match pattern and the serial-number length:
// "#" stays "#", "*" becomes "[A-Z]", "$" becomes "[A-Z0-9]", space, digits and
// letters stay themselves, anything else (a "-" among them) becomes "*".
// AB-###$ gives AB*###[A-Z0-9] and length 7.
void ConvertSerialNumber(const QString& snINPUT, QString& snPATTERN, qint16& snLENGTH);

// Whether the whole serial number matches the whole pattern, case-sensitive:
// "*" any run of characters (none included), "#" one digit 0-9, "?" one character,
// "[A-Z0-9]" one character in one of the ranges ("[!...]" one outside them), any other
// character itself. Runs in time proportional to serial length times pattern length
// at worst, however many "*" the pattern holds.
bool serialNumberMatches(const QString& serial, const QString& pattern);

// The format check of the serial-number format field. The window keeps one and forwards
// txtsnFORMAT_Validate and txtsnFORMAT_LostFocus here; other code calls Validate.
// The focus is never held.
class SerialFormatRule : public QObject
{
    Q_OBJECT

public:
    SerialFormatRule(QLineEdit* txtsnFORMAT, QLabel* lblsnLEN, QLineEdit* txtStatus, Pause* pause,
                     QObject* parent = nullptr);

    // Cleans the field, shows the length, and flashes a cleaned (yellow) or empty (red)
    // format with its message for 2.5 s. `Cancel` is never set.
    void Validate(bool& Cancel);
    void Validate();
    // Leaving the field does the check and nothing else.
    void LostFocus();

private:
    QPointer<QLineEdit> m_format;
    QPointer<QLabel> m_length;
    QPointer<QLineEdit> m_status;
    Pause* m_pause;
};

} // namespace zelmar
