#include "data/tablefilesummary.h"

#include "data/internal/sqlconnection.h"
#include "data/internal/storage.h"

#include <QStringList>

#include <sqlite3.h>

namespace {

TableFileSummary unreadable(const EngineError &error)
{
    TableFileSummary summary;
    summary.error = error;
    return summary;
}

} // namespace

TableFileSummary summarizeTableFile(const QString &folder, const QString &tableFile,
                                    const QString &orderField,
                                    const QList<FieldDefinition> &lastFields)
{
    SqlConnection sql;
    EngineError error;
    if (!sql.open(folder, {tableFile}, &error))
        return unreadable(error);
    const QString table = QStringLiteral("main.") + Storage::quoted(tableNameOfFile(tableFile));
    // count(*) walks the smallest index; the last record is the order field's end.
    SqlStatement count = sql.prepare(QStringLiteral("SELECT count(*) FROM ") + table, &error);
    if (!count.isValid())
        return unreadable(error);
    if (const int result = count.step(); result != SQLITE_ROW)
        return unreadable(sql.errorFor(result));
    TableFileSummary summary;
    summary.count = count.column(0).toLongLong();

    QStringList columns;
    for (const FieldDefinition &field : lastFields)
        columns.append(Storage::quoted(field.name));
    SqlStatement last = sql.prepare(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 DESC LIMIT 1")
            .arg(columns.join(QStringLiteral(", ")), table, Storage::quoted(orderField)),
        &error);
    if (!last.isValid())
        return unreadable(error);
    const int result = last.step();
    if (result == SQLITE_ROW) {
        for (int i = 0; i < lastFields.size(); ++i)
            summary.last.append(Storage::fromStorage(lastFields.at(i), last.column(i)));
    } else if (result != SQLITE_DONE) {
        return unreadable(sql.errorFor(result));
    }
    summary.readable = true;
    return summary;
}
