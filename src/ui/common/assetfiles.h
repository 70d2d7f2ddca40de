#pragma once

#include <QPixmap>
#include <QString>

// Files that the program names without a directory (sounds, console pictures) are looked up the
// way the desk expects: the current directory first, then the assets folder installed beside the
// program file. Returns the full path, or an empty text when neither holds the file.
QString findAssetFile(const QString &bareName);

// "<folder of the program file>/assets"
QString installedAssetsDirectory();

// The picture of a bare-named file; an empty picture when it is missing.
QPixmap assetPixmap(const QString &bareName);
