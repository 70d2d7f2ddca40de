#include "data/internal/sqlfunctions.h"

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

QVariant valueOf(sqlite3_value *value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return sqlite3_value_double(value);
    case SQLITE_NULL:
        return QVariant();
    default:
        return textOf(value);
    }
}

void resultOf(sqlite3_context *context, const QVariant &result)
{
    switch (result.typeId()) {
    case QMetaType::UnknownType:
        sqlite3_result_null(context);
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_result_double(context, result.toDouble());
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        sqlite3_result_int64(context, result.toLongLong());
        break;
    default: {
        const QByteArray text = result.toString().toUtf8();
        sqlite3_result_text(context, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
}

void applicationFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    const auto *function = static_cast<const SqlFunction *>(sqlite3_user_data(context));
    QVariantList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i)
        arguments.append(valueOf(argv[i]));
    resultOf(context, function->evaluate(arguments));
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

void registerSqlFunctions(sqlite3 *db, const QList<SqlFunction> &functions)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    for (const SqlFunction &function : functions) {
        sqlite3_create_function_v2(db, function.name.constData(), function.argumentCount, flags,
                                   const_cast<SqlFunction *>(&function), applicationFunction,
                                   nullptr, nullptr, nullptr);
    }
    sqlite3_create_function_v2(db, "LOCATE_MATCH", 4, flags, nullptr, locateMatch, nullptr, nullptr,
                               nullptr);
}
