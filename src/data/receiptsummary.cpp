#include "data/receiptsummary.h"

#include "data/sqlconnection.h"
#include "data/storage.h"
#include "data/tables.h"

#include <sqlite3.h>

namespace {

const FieldDefinition &saleSolarsField(const QString &name)
{
    for (const FieldDefinition &field : saleSolarsTable().fields) {
        if (field.name == name)
            return field;
    }
    Q_UNREACHABLE();
}

ReceiptSummary unreadable(const EngineError &error)
{
    ReceiptSummary summary;
    summary.error = error.message;
    return summary;
}

} // namespace

ReceiptSummary summarizeReceipts(const QString &folder)
{
    SqlConnection sql;
    EngineError error;
    if (!sql.open(folder, {QStringLiteral("SaleSolars.DB")}, &error))
        return unreadable(error);
    // count(*) walks the smallest index; the last receipt is the primary key's end.
    SqlStatement count =
        sql.prepare(QStringLiteral("SELECT count(*) FROM main.\"SaleSolars\""), &error);
    if (!count.isValid())
        return unreadable(error);
    if (const int result = count.step(); result != SQLITE_ROW)
        return unreadable(sql.errorFor(result));
    ReceiptSummary summary;
    summary.count = count.column(0).toLongLong();

    SqlStatement last = sql.prepare(QStringLiteral("SELECT \"DATE\", \"TIME\" FROM "
                                                   "main.\"SaleSolars\" ORDER BY \"PARAGON\" "
                                                   "DESC LIMIT 1"),
                                    &error);
    if (!last.isValid())
        return unreadable(error);
    const int result = last.step();
    if (result == SQLITE_ROW) {
        const QDate date =
            Storage::fromStorage(saleSolarsField(QStringLiteral("DATE")), last.column(0)).toDate();
        const QTime time =
            Storage::fromStorage(saleSolarsField(QStringLiteral("TIME")), last.column(1)).toTime();
        summary.last = QDateTime(date, time);
    } else if (result != SQLITE_DONE) {
        return unreadable(sql.errorFor(result));
    }
    summary.readable = true;
    return summary;
}
