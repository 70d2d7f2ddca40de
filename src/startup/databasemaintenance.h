#pragma once

#include <QString>
#include <QStringList>

class DatabaseSaver;
class Table;

// The start-up's upkeep of the tables, each routine reporting its steps in the progress window.
// They run before the desk opens its tables.

// How a routine ended: done, not done ("Error" in the progress window, the start goes on), or
// failed so that the start-up must end with its general error.
enum class Upkeep { Done, NotDone, StartupError };

// Opens the table exclusively, asking whether to try again while another program holds it.
bool OpenExclusive(Table &table);
void CloseExclusive(Table &table);

// The engine's lock files of a folder; each counts as done when deleted or not there.
bool DeleteControlFiles(const QString &directory);
// Every file of each table's name in the folder that is not its table file (nor the table's
// journal); the last table's result.
bool DeleteIndexFiles(const QString &databaseDirectory);
// Drops every index of the table and builds those of the index set anew.
Upkeep RebuildIndexes(Table &table, const QStringList &indexSet);
// Deletes every record; the table stays open exclusively.
Upkeep EraseTable(Table &table);
bool RegenerateIndexes(Table &table);
// Rewrites the table's file without free space, protected or not.
bool PackTable(Table &table, bool secured);
// Deletes the receipts, lowest number first, dated before today minus `days`, up to the first
// that is not older, and never the last one. Returns whether the table could be had.
bool PurgeOldReceipts(Table &saleSolars, int days, DatabaseSaver &saver);
