#pragma once

#include "Interaction.h"

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

namespace zelmar {

// Text is read as a number by the regional rules of QLocale(): its decimal point, its
// signs and its digit grouping. Grouping is read leniently before the decimal point
// ("1,500.0", and "1,00" left after deleting a digit of it), never after it.
// Infinities and NaN are not numbers here.
bool readNumber(const QString& text, double* value);

// True when the text is empty, one of the partial entries "-", "+", "+.", "-.", "."
// (also with the locale's own signs and decimal point), or reads as a number.
bool ValidateNumeric(const QString& strtext);

// Fixed `decimals` places, rounded half away from zero on the decimal digits of the
// value's shortest text (2.345 gives 2.35), with the locale's decimal point and
// digit grouping (1500 with 1 place gives 1,500.0 in English). A result that rounds
// to zero carries no minus sign.
QString formatNumber(double value, int decimals);

// Characters after the first decimal point of the text, at least 1 (no point gives 1).
int decimalsTyped(const QString& text);

// The editor's timed pause: waits `Delay` seconds through `pause` while window
// events go on. Without a pause object it returns at once.
void timeDELAY(Pause* pause, double Delay);

// The seven numeric fields of the port and part-number areas.
enum class NumericField
{
    txtMinSpec,
    txtMaxSpec,
    txtAVG,
    txtTDLY,
    txtssTOL,
    txtssMAXT,
    txtautoTIME,
};

// One field's entry rules.
struct NumericFieldSpec
{
    NumericField field;
    const char* name;        // the control's object name
    const char* replacement; // replaces a text that is no number while typing or leaving
    double low;              // inclusive bounds: a value equal to a bound passes
    const char* lowText;     // text put in when the value is below `low`
    const char* lowMessage;  // status message of that correction; nullptr: none
    double high;
    const char* highText;
    const char* highMessage;
    const char* unreadableText; // text put in when the check finds no number
    bool unreadableFlash;       // whether that correction flashes
    const char* unreadableMessage;
    double pauseSeconds;    // length of the red flash
    int leaveDecimals;      // leave format; -1: as many as typed (decimalsTyped)
    int passDecimals;       // re-print of a value within bounds at the check; -1: none
    bool repaintLowMessage; // repaint the status box at once after showing a message
    bool repaintHighMessage;
    bool repaintUnreadableMessage;
};

// The rules of every numeric field, in the order of NumericField.
const std::array<NumericFieldSpec, 7>& numericFieldSpecs();
const NumericFieldSpec& numericFieldSpec(NumericField field);

// Guards one numeric field with the four handlers of its rules. The window keeps one
// per field and forwards its handlers (txtMinSpec_Change, txtMinSpec_KeyPress,
// txtMinSpec_Validate, txtMinSpec_LostFocus) here; other code calls Validate and
// LostFocus directly. The focus is never held: corrections replace the text and tell
// the operator.
class NumericFieldRule : public QObject
{
    Q_OBJECT

public:
    NumericFieldRule(const NumericFieldSpec& spec, QLineEdit* field, QLineEdit* txtStatus, Pause* pause,
                     QObject* parent = nullptr);

    // A text that is no number, nor on its way to one, is replaced by the replacement text.
    void Change();
    // Enter (13) runs the check; no key is swallowed.
    void KeyPress(qint16 KeyAscii);
    // The check: unreadable text and values out of bounds are corrected and flashed.
    // `Cancel` is never set: the focus always moves on.
    void Validate(bool& Cancel);
    void Validate();
    // The check, then the re-print in the field's leave format.
    void LostFocus();

private:
    // Each returns false when this rule was destroyed during a pause.
    bool runCheck();
    bool flash(const char* message, bool repaintStatus);
    void setFieldText(const QString& text);

    const NumericFieldSpec m_spec;
    QPointer<QLineEdit> m_field;
    QPointer<QLineEdit> m_status;
    Pause* m_pause;
    bool m_inChange = false;
};

} // namespace zelmar
