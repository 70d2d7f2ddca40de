#pragma once

#include <QString>

// A table file that passes SQLite's quick check and holds the named table: one that the engine
// can take as that table's file (a restored backup, for example). A protected file needs the
// table password registered.
bool isSoundTableFile(const QString &path, const QString &tableName);

// Puts a complete new file in place of a table file (renamed over it). The old file's rollback
// journal goes first, so that it can never be played back into the new one. The caller syncs
// the folder.
bool putTableFileInPlace(const QString &newFile, const QString &tableFile);
