#include "data/sqlfunctions.h"

#include "core/pricing.h"

#include <QString>

#include <sqlite3.h>

namespace {

bool anyNull(int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    }
    return false;
}

QString textOf(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

void priceTotal(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_double(context, receiptPriceTotal(sqlite3_value_int(argv[0]),
                                                     sqlite3_value_double(argv[1]),
                                                     sqlite3_value_int(argv[2])));
}

void locateMatch(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_int(context, 0);
        return;
    }
    sqlite3_result_int(context, locateMatches(textOf(argv[0]), textOf(argv[1]),
                                              sqlite3_value_int(argv[2]) != 0,
                                              sqlite3_value_int(argv[3]) != 0));
}

} // namespace

bool locateMatches(const QString &value, const QString &pattern, bool caseInsensitive, bool partial)
{
    const Qt::CaseSensitivity sensitivity =
        caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    return partial ? value.startsWith(pattern, sensitivity)
                   : value.compare(pattern, sensitivity) == 0;
}

void registerSqlFunctions(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "PRICE_TOTAL", 3, flags, nullptr, priceTotal, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "LOCATE_MATCH", 4, flags, nullptr, locateMatch, nullptr, nullptr,
                               nullptr);
}
