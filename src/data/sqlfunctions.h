#pragma once

// Engine-internal: SQL functions that every connection of the engine knows.
//   PRICE_TOTAL(PERIOD, PRICE, OFF): the price of a receipt, by the same formula as the
//     calculated field (receiptPriceTotal), so sums in SQL and the cursor agree.
//   LOCATE_MATCH(value, pattern, caseInsensitive, partial): text comparison for locate, with
//     Unicode case folding (SQLite's NOCASE and LIKE fold only ASCII letters).

#include <QString>

struct sqlite3;

void registerSqlFunctions(sqlite3 *db);

// The comparison behind LOCATE_MATCH, shared with the query's own locate.
bool locateMatches(const QString &value, const QString &pattern, bool caseInsensitive,
                   bool partial);
