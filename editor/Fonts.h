#pragma once

#include <QFont>

namespace zelmar {

// The editor's controls use Calibri. Where Calibri is not installed, the
// metric-compatible Carlito (Debian package fonts-crosextra-carlito) is put in
// its place through a font substitution, so a request for "Calibri" keeps the
// layout drawn for Calibri. Safe to call more than once; needs a QGuiApplication.
void useCalibri();

// A Calibri font of the given point size (after useCalibri()).
QFont calibri(qreal pointSize);

} // namespace zelmar
