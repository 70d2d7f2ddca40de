#pragma once

#include <QString>

// A table file that passes SQLite's quick check and holds the named table: one that the engine
// can take as that table's file (a restored backup, for example). A protected file needs the
// table password registered.
bool isSoundTableFile(const QString &path, const QString &tableName);
