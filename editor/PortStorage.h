#pragma once

#include "NumericEntry.h"

#include <QtGlobal>

class QLineEdit;

namespace zelmar {

// What the port switch stores from the port fields. Each takes the number the field
// shows and gives the value held in memory, inside the storage bounds (wider than the
// entry bounds of the fields).
qint16 storedAverages(double shown);   // 1..25 rounded, halves to even; else 1
float storedDelay(double shown);       // 0..60; else 0.25
float storedTolerance(double percent); // fraction: 1..100 % /100; below 0.01; above 1.0
float storedMaxWait(double shown);     // 2..10; below 2.0; above 10.0

// A switch shown as a check box: any non-zero stored value shows ticked, and a stored
// value other than 1 survives as long as the operator leaves the box as it showed.
bool switchShown(qint16 stored);
qint16 storedSwitch(bool ticked, qint16 stored);

// A min/max value shown in the scale of unitSCALE (1 milli, 2 unity, 3 kilo, 4 mega) in
// ohms. Any other scale code gives false and leaves `ohms` unchanged; so does a result
// that a single float cannot hold.
bool toBaseUnits(double shown, int unitSCALE, float& ohms);

// What a min/max field keeps for the port: `ohms` stays as it is when `shown` is the number
// that `ohms` shows as in that scale (the field rounds it: 12,345.6 ohms shows 12,346, and a
// re-print such as 12,346.0 is no change); any other number is taken by toBaseUnits.
void storeLimit(double shown, int unitSCALE, float& ohms);

// Whether a field that shows a held value rounded still shows it: `shown` is the number read
// from the field, `heldShown` the text the held value is shown as. Numbers are compared, not
// texts, so a re-print of the same number is no change and the held value keeps its bits.
bool stillShows(double shown, const QString& heldShown);

// A min/max value shown in lstsCALE index `from` re-expressed in index `to`, in single
// precision (0 milli, 1 unity, 2 kilo, 3 mega; any other index keeps the value).
float rescale(double shown, int from, int to);

// The number a numeric field shows. A text that is no number (the entry rules keep them
// numeric, but the program must not trust that) reads as the field's replacement text.
double shownNumber(const QLineEdit* field, NumericField kind);

} // namespace zelmar
