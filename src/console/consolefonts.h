#pragma once

#include <QFont>
#include <QStringList>

class QLineEdit;

// The console's heavy display face. Where it is not installed, a bold sans serif of narrow
// metrics stands in (Nimbus Sans, Liberation Sans), so that the pixel layouts still hold.
QFont blackFontPixels(int pixelSize);
QFont blackFontPoints(int pointSize);

// A stand-in face is not as narrow as the one the fields were laid out for everywhere: the field
// gets the font, made smaller where needed until each of the texts fits inside its frame. Give
// the widest text the field will show (for example "100:39" for a run's time).
void setFittingFont(QLineEdit *field, QFont font, const QStringList &texts);
