#pragma once

#include <QString>

// Joins a directory and a name with one separator; an empty directory gives an empty text.
QString JoinPath(const QString &directory, const QString &name);

// The folder that holds the engine configuration and the program's ini file:
// $VELMORA_CONFIG_DIR, else $XDG_CONFIG_HOME/velmora, else ~/.config/velmora.
QString configDirectory();
