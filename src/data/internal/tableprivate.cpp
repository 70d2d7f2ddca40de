#include "data/internal/tableprivate.h"

#include <sqlite3.h>

bool Table::Private::handleFailure(const TableErrorHandler &handler, const EngineError &error)
{
    Engine::setLastError(error);
    ErrorAction action = ErrorAction::Fail;
    if (handler)
        handler(*q, error, action);
    if (action == ErrorAction::Abort)
        q->cancel();
    return false;
}

bool Table::Private::applyOrder(EngineError *error)
{
    const IndexInfo *info = findIndex(indexName);
    if (!info && !indexName.isEmpty()) {
        *error = EngineError(
            EngineErrorCode::UnknownIndex,
            QStringLiteral("Index %1 tabulky %2 neexistuje").arg(indexName, objectName()));
        return false;
    }
    // Without a primary key the empty name means the order of insertion (row id).
    QList<OrderTerm> order = info ? info->terms : QList<OrderTerm>();
    readAhead.setSource(fileName,
                        qualified() +
                            (info ? QStringLiteral(" INDEXED BY ") + Storage::quoted(info->sqlName)
                                  : QStringLiteral(" NOT INDEXED")),
                        selectList(), fields()->storedCount(),
                        info && info->definition.options.testFlag(IndexDefinition::Unique));
    // The row id continues the index's own order, so SQLite walks the index without sorting.
    order.append(OrderTerm::rowId());
    keyset.setOrder(order);
    ++viewStamp;
    return true;
}

QString Table::Private::selectList() const
{
    QStringList columns{OrderTerm::rowId().column};
    for (int i = 0; i < fields()->storedCount(); ++i)
        columns.append(Storage::quoted(fields()->at(i).name));
    return columns.join(QStringLiteral(", "));
}

Record Table::Private::recordFrom(const SqlStatement &statement, QVariantList *storedValues) const
{
    Record record(fields());
    storedValues->clear();
    for (int i = 0; i < fields()->storedCount(); ++i) {
        const QVariant value = statement.column(i + 1);
        storedValues->append(value);
        record.setValue(i, Storage::fromStorage(fields()->at(i), value));
    }
    q->calculateFields(record);
    return record;
}

Record Table::Private::recordFromStored(const QVariantList &storedValues) const
{
    Record record(fields());
    for (int i = 0; i < fields()->storedCount(); ++i)
        record.setValue(i, Storage::fromStorage(fields()->at(i), storedValues.value(i)));
    q->calculateFields(record);
    return record;
}

bool Table::Private::readRow(const QString &sqlText, const QVariantList &values, bool *found)
{
    readAhead.drop();
    EngineError error;
    SqlStatement statement = sql()->prepare(sqlText, &error);
    if (!statement.isValid())
        return fail(error);
    statement.bind(values);
    const int rc = statement.step();
    if (rc == SQLITE_ROW) {
        rowId = statement.column(0).toLongLong();
        current = recordFrom(statement, &stored);
        hasCurrent = true;
        *found = true;
        return true;
    }
    if (rc != SQLITE_DONE)
        return fail(sql()->errorFor(rc));
    *found = false;
    return true;
}

bool Table::Private::stepFrom(bool forward, bool *found)
{
    ReadAhead::Row row;
    EngineError error;
    if (!readAhead.take(*sql(), keyset, forward, rowId, stored, &row, found, &error))
        return fail(error);
    if (!*found)
        return true;
    rowId = row.rowId;
    stored = row.stored;
    current = recordFromStored(stored);
    hasCurrent = true;
    return true;
}

bool Table::Private::readByRowId(qint64 id, bool applyFilter, bool *found)
{
    const SqlCondition byRowId{QStringLiteral("rowid = ?"), {id}};
    const SqlCondition where =
        applyFilter ? keyset.where(byRowId)
                    : SqlCondition{QStringLiteral(" WHERE ") + byRowId.text, byRowId.values};
    return readRow(QStringLiteral("SELECT ") + selectList() + QStringLiteral(" FROM ") +
                       qualified() + where.text,
                   where.values, found);
}

void Table::Private::clearCurrent()
{
    readAhead.drop();
    hasCurrent = false;
    rowId = 0;
    stored.clear();
    current = Record(fields());
    bof = eof = true;
    position = -1;
}

bool Table::Private::seekEnd(bool toLast)
{
    bool found = false;
    const QString sqlText = QStringLiteral("SELECT ") + selectList() + QStringLiteral(" FROM ") +
                            qualified() + keyset.where().text + keyset.orderBy(toLast) +
                            QStringLiteral(" LIMIT 1");
    if (!readRow(sqlText, keyset.filter().values, &found))
        return false;
    if (!found) {
        clearCurrent();
    } else {
        bof = !toLast;
        eof = toLast;
        position = toLast ? -1 : 0;
    }
    notifyCurrent();
    return true;
}

bool Table::Private::ensureBrowse()
{
    if (!open)
        return failNotOpen();
    return state != State::Edit || q->post();
}

bool Table::Private::acquireExclusiveForChange(bool *acquired)
{
    *acquired = false;
    if (!filesReady())
        return false;
    if (open && heldExclusive)
        return true;
    EngineError error;
    if (!database->locks()->acquire(fileName, true, &error))
        return fail(error);
    *acquired = true;
    return true;
}

void Table::Private::releaseExclusiveForChange(bool acquired)
{
    if (acquired)
        database->locks()->release(fileName, true);
}

void Table::Private::afterStructureChange()
{
    EngineError error;
    if (!loadIndexes(&error))
        Engine::setLastError(error);
    if (!open)
        return;
    if (!findIndex(indexName))
        indexName.clear(); // the current index is gone: primary key order
    if (!applyOrder(&error))
        Engine::setLastError(error);
    countCache = -1;
    q->refresh();
}
