#pragma once

#include <QPixmap>
#include <QString>

// Files that the program names without a directory (sounds, console pictures) are looked up the
// way the desk expects: the current directory first, then the assets folder beside the program
// file (the build tree), then the installed one. Returns the full path, or an empty text when
// none holds the file.
QString findAssetFile(const QString &bareName);

// "<folder of the program file>/assets"
QString installedAssetsDirectory();

// "<folder of the program file>/../share/velmora", where the package installs them
QString sharedAssetsDirectory();

// The picture of a bare-named file; an empty picture when it is missing.
QPixmap assetPixmap(const QString &bareName);
