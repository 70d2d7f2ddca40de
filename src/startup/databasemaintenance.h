#pragma once

#include <QString>
#include <QStringList>

#include <optional>

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
// Rebuilds every index of the table. With packSecured, the same rebuild packs the table too,
// protected or plain as it says.
bool RegenerateIndexes(Table &table, std::optional<bool> packSecured = std::nullopt);
// Rewrites the table's file without free space, protected or not.
bool PackTable(Table &table, bool secured);
// The regeneration of the tables' indexes, then their pack, each table in a step with its own
// progress lines. With both, the rebuild that regenerates a table's indexes packs it as well and
// its pack step only reports that; a table whose regeneration failed is packed in its own step.
void RegenerateAndPackTables(const QList<Table *> &tables, bool regenerate, bool pack,
                             bool secured);
// Deletes the receipts, lowest number first, dated before today minus `days`, up to the first
// that is not older, and never the last one. Returns whether the table could be had.
bool PurgeOldReceipts(Table &saleSolars, int days, DatabaseSaver &saver);
