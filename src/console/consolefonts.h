#pragma once

#include <QFont>

// The console's heavy display face; where it is not installed the nearest bold sans serif is used.
QFont blackFontPixels(int pixelSize);
QFont blackFontPoints(int pointSize);
