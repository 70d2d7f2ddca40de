#pragma once

#include <QString>

// The table files as sets in a folder: the database's own, or a backup's.

// Bytes of "Money.DB", "Solars.DB" and "SaleSolars.DB" in the folder; a missing one counts 0.
qint64 DatabaseSize(const QString &folder);
// All three table files are in the folder.
bool BackupComplete(const QString &folder);
// Bytes of every "*.DB" file in the folder, whatever table it holds.
qint64 BackupSize(const QString &folder);
