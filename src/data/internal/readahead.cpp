#include "data/internal/readahead.h"

#include "data/internal/sqlconnection.h"

#include <sqlite3.h>

void ReadAhead::setSource(const QString &fileName, const QString &orderSource,
                          const QString &selectList, int storedCount, bool orderUnique)
{
    m_fileName = fileName;
    m_orderSource = orderSource;
    m_selectList = selectList;
    m_storedCount = storedCount;
    m_orderUnique = orderUnique;
    forget();
}

void ReadAhead::forget()
{
    m_stepSql.clear();
    drop();
}

void ReadAhead::drop()
{
    m_rows.clear();
    m_batch = 0;
    m_complete = false;
    m_walkBoundKnown[0] = m_walkBoundKnown[1] = false;
}

bool ReadAhead::take(SqlConnection &sql, const KeysetSql &keyset, bool forward, qint64 rowId,
                     const QVariantList &stored, Row *row, bool *found, EngineError *error)
{
    *found = false;
    // Our own writes drop the read-ahead at once; other programs' changes show at the next
    // batch or refresh() (checking them costs file-system calls on every step).
    const quint64 stamp = sql.ownChangeCount();
    const bool usable = m_batch > 0 && m_forward == forward && m_stamp == stamp;
    if (!(usable && (!m_rows.isEmpty() || m_complete)) &&
        !fill(sql, keyset, forward, stamp, keyset.key(rowId, stored), error))
        return false;
    if (m_rows.isEmpty())
        return true;
    *row = m_rows.takeFirst();
    *found = true;
    return true;
}

bool ReadAhead::findWalkBound(SqlConnection &sql, const KeysetSql &keyset, bool forward,
                              bool *empty, EngineError *error)
{
    const quint64 stamp = sql.changeStamp(sql.schemaOf(m_fileName));
    if (stamp != m_walkBoundStamp)
        m_walkBoundKnown[0] = m_walkBoundKnown[1] = false;
    m_walkBoundStamp = stamp;
    if (!m_walkBoundKnown[forward]) {
        SqlStatement statement = sql.prepare(
            QStringLiteral("SELECT ") + keyset.order().first().expression() +
                QStringLiteral(" FROM ") + sql.qualifiedTable(m_fileName) + keyset.where().text +
                keyset.orderBy(forward) + QStringLiteral(" LIMIT 1"),
            error);
        if (!statement.isValid())
            return false;
        statement.bind(keyset.filter().values);
        const int rc = statement.step();
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            *error = sql.errorFor(rc);
            return false;
        }
        m_walkEmpty = rc == SQLITE_DONE;
        m_walkBound[forward] = m_walkEmpty ? QVariant() : statement.column(0);
        m_walkBoundKnown[forward] = true;
    }
    *empty = m_walkEmpty;
    return true;
}

bool ReadAhead::fill(SqlConnection &sql, const KeysetSql &keyset, bool forward, quint64 stamp,
                     const QVariantList &key, EngineError *error)
{
    // A walk in one direction reads ever larger batches; a single step reads a few records.
    m_batch = m_forward == forward && m_batch > 0 ? qMin(m_batch * 2, 512) : 4;
    m_rows.clear();
    m_complete = false;
    m_forward = forward;
    m_stamp = stamp;
    int wanted = m_batch;
    const bool bounded = keyset.hasFilter();
    if (bounded) {
        bool empty = false;
        if (!findWalkBound(sql, keyset, forward, &empty, error))
            return false;
        if (empty) {
            m_complete = true;
            return true;
        }
    }
    const int lastLevel = int(keyset.order().size()) - 1;
    // The records after the current one: first those with an equal key and a later row id, then
    // those whose key differs at ever earlier terms. With a unique key the first level is empty.
    for (int level = m_orderUnique ? lastLevel - 1 : lastLevel; level >= 0 && wanted > 0; --level) {
        const int sqlKey = level * 2 + (forward ? 1 : 0);
        SqlCondition condition = keyset.level(level, forward, key);
        if (bounded)
            keyset.addWalkBound(&condition, forward, m_walkBound[forward]);
        const SqlCondition where = keyset.where(condition);
        if (!m_stepSql.contains(sqlKey)) {
            // The walk follows the order's index: filtered or not, the next records are then
            // found where the index continues, never by sorting all filtered records again.
            m_stepSql.insert(sqlKey, QStringLiteral("SELECT ") + m_selectList +
                                         QStringLiteral(" FROM ") + m_orderSource + where.text +
                                         keyset.orderBy(!forward) + QStringLiteral(" LIMIT ?"));
        }
        QVariantList values = where.values;
        values.append(wanted);
        SqlStatement statement = sql.prepare(m_stepSql.value(sqlKey), error);
        if (!statement.isValid())
            return false;
        statement.bind(values);
        int rc = SQLITE_ROW;
        while ((rc = statement.step()) == SQLITE_ROW) {
            Row row;
            row.rowId = statement.column(0).toLongLong();
            for (int i = 0; i < m_storedCount; ++i)
                row.stored.append(statement.column(i + 1));
            m_rows.append(row);
            --wanted;
        }
        if (rc != SQLITE_DONE) {
            drop();
            *error = sql.errorFor(rc);
            return false;
        }
    }
    m_complete = wanted > 0;
    return true;
}
