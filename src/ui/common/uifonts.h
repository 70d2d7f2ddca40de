#pragma once

#include <QFont>

// The fonts the windows are laid out for, with free look-alikes where the desk's fonts are missing.
namespace UiFonts {

// The windows' regular sans-serif font, sized in pixels (11 px is the dialogs' text).
QFont sansSerif(int pixelSize, bool bold = false);

// "Palatino Linotype", else the URW or TeX Gyre Palatino clones, else any serif font.
QFont palatino(int pixelSize, bool bold = false, bool italic = false);

} // namespace UiFonts
