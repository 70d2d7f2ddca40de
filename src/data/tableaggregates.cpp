// Counts and sums of a table's filtered records, each one SQL aggregate.

#include "data/table.h"

#include "data/internal/tableprivate.h"

#include <sqlite3.h>

bool Table::countAndSum(const QString &field, qint64 *count, double *sum)
{
    const int index = d->aggregatedField(field);
    if (index < 0)
        return false;
    const FieldDefinition &definition = d->fields()->at(index);
    const bool numeric = definition.type != FieldType::Alpha &&
                         definition.type != FieldType::Date && definition.type != FieldType::Time;
    if (!numeric || (definition.calculated && definition.sqlExpression.isEmpty())) {
        return d->fail(EngineError(EngineErrorCode::UnknownField,
                                   QStringLiteral("Pole %1 nelze sčítat").arg(definition.name)));
    }
    // The same scan also counts the records before the current one when its place is unknown,
    // which the grid would otherwise ask for in a second scan.
    const bool placeCurrent = d->hasCurrent && d->position < 0 && !d->bof && !d->eof;
    SqlCondition before;
    if (placeCurrent)
        before = d->keyset.before(d->keyset.key(d->rowId, d->stored));
    const SqlCondition where = d->keyset.where();
    EngineError error;
    SqlStatement statement = d->sql()->prepare(
        QStringLiteral("SELECT count(*), total(%1)").arg(d->fieldExpression(index)) +
            (placeCurrent ? QStringLiteral(", count(*) FILTER (WHERE %1)").arg(before.text)
                          : QString()) +
            QStringLiteral(" FROM ") + d->qualified() + where.text,
        &error);
    if (!statement.isValid())
        return d->fail(error);
    statement.bind(before.values + where.values);
    const int rc = statement.step();
    if (rc != SQLITE_ROW)
        return d->fail(d->sql()->errorFor(rc));
    *count = statement.column(0).toLongLong();
    *sum = statement.column(1).toDouble();
    if (placeCurrent)
        d->position = statement.column(2).toLongLong();
    d->countCache = *count;
    d->countStamp = d->sql()->changeStamp(d->schema());
    return true;
}

bool Table::countByPart(const QString &field, DatePart part, QMap<int, qint64> *counts)
{
    const int index = d->aggregatedField(field);
    if (index < 0)
        return false;
    const FieldDefinition &definition = d->fields()->at(index);
    const bool byHour = part == DatePart::Hour;
    if (definition.type != (byHour ? FieldType::Time : FieldType::Date) ||
        (definition.calculated && definition.sqlExpression.isEmpty())) {
        return d->fail(EngineError(
            EngineErrorCode::UnknownField,
            (byHour ? QStringLiteral("Pole %1 není čas") : QStringLiteral("Pole %1 není datum"))
                .arg(definition.name)));
    }
    // Stored as "YYYY-MM-DD" and "HH:MM:SS"; strftime's %w counts from Sunday = 0.
    QString partOfValue;
    switch (part) {
    case DatePart::Hour:
        partOfValue = QStringLiteral("CAST(substr(v, 1, 2) AS INTEGER)");
        break;
    case DatePart::IsoWeekday:
        partOfValue = QStringLiteral("(CAST(strftime('%w', v) AS INTEGER) + 6) % 7 + 1");
        break;
    case DatePart::Day:
        partOfValue = QStringLiteral("CAST(substr(v, 9, 2) AS INTEGER)");
        break;
    case DatePart::Month:
        partOfValue = QStringLiteral("CAST(substr(v, 6, 2) AS INTEGER)");
        break;
    }
    // Counting per value first lets SQLite read the field's index in its order, without
    // sorting every record; only the few distinct values are then taken apart.
    const QString column = d->fieldExpression(index);
    const SqlCondition where = d->keyset.where({column + QStringLiteral(" <> ''"), {}});
    EngineError error;
    SqlStatement statement = d->sql()->prepare(
        QStringLiteral("SELECT %1, sum(n) FROM (SELECT %2 AS v, count(*) AS n FROM ")
                .arg(partOfValue, column) +
            d->qualified() + where.text +
            QStringLiteral(" GROUP BY %1 COLLATE NOCASE) GROUP BY 1").arg(column),
        &error);
    if (!statement.isValid())
        return d->fail(error);
    statement.bind(where.values);
    counts->clear();
    int rc = SQLITE_ROW;
    while ((rc = statement.step()) == SQLITE_ROW)
        counts->insert(statement.column(0).toInt(), statement.column(1).toLongLong());
    if (rc != SQLITE_DONE)
        return d->fail(d->sql()->errorFor(rc));
    return true;
}
