#pragma once

#include <QString>

// Joins a directory and a name with one separator; an empty directory gives an empty text.
QString JoinPath(const QString &directory, const QString &name);

// The folder that holds the engine configuration and the program's ini file:
// $VELMORA_CONFIG_DIR, else $XDG_CONFIG_HOME/velmora, else ~/.config/velmora.
QString configDirectory();

// Where the desk keeps a file that it names by a bare name (the event log): the bare name itself,
// resolved against the current folder, while that folder is writable, as it always was; an
// installed desk started in a folder it may not write (its own, "/") uses
// $XDG_DATA_HOME/velmora (~/.local/share/velmora) instead, made when missing. A folder marked
// read-only counts as not writable, also for a user whom the system would let write.
QString writableFileName(const QString &bareName);
