#pragma once

#include <QString>

// Copies a backup's three table files over the database's after the user's "Ano", all or
// nothing: a backup whose checksum file does not match its files is refused with a warning
// before anything is copied; the copies are checked and synced beside the tables first, then a
// note of the restore
// is written, and only then do they take the tables' names. An end at any instant leaves the old
// tables, or the new ones once the note exists (the next start finishes the renaming). The
// database must be disconnected meanwhile.
bool RestoreTablesFrom(const QString &folder, const QString &databaseDirectory);

// A restore that an end cut short after its note was written is completed; the copies of one
// cut short before it are removed. True when the tables were replaced.
bool finishInterruptedRestore(const QString &databaseDirectory);
// Whether there is anything for finishInterruptedRestore to do.
bool restoreLeftovers(const QString &databaseDirectory);
