#pragma once

// Engine-internal: SQL functions that every connection of the engine knows, and those of the
// application that a database's schema brings.
//   LOCATE_MATCH(value, pattern, caseInsensitive, partial): text comparison for locate, with
//     Unicode case folding (SQLite's NOCASE and LIKE fold only ASCII letters).

#include "data/databaseschema.h"

#include <QList>
#include <QString>

struct sqlite3;

// The functions must outlive the connection.
void registerSqlFunctions(sqlite3 *db, const QList<SqlFunction> &functions);

// The comparison behind LOCATE_MATCH, shared with the query's own locate.
bool locateMatches(const QString &value, const QString &pattern, bool caseInsensitive,
                   bool partial);
