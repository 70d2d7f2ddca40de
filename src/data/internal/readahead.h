#pragma once

// Engine-internal: the read-ahead of a table walk. The records that follow the current one in
// the walking direction are fetched in growing batches along the order's index, and stay valid
// while this program does not change the data.

#include "data/engineerror.h"
#include "data/internal/keysetsql.h"

#include <QHash>
#include <QVariant>

class SqlConnection;

class ReadAhead
{
public:
    struct Row
    {
        qint64 rowId = 0;
        QVariantList stored;
    };

    // Where the walk reads: the table's file, the table forced to walk the order's index, the
    // select list (row id, then the stored fields) and whether the order's key is unique. A new
    // source (a new order) forgets everything read and prepared.
    void setSource(const QString &fileName, const QString &orderSource, const QString &selectList,
                   int storedCount, bool orderUnique);
    // The filter changed: the prepared texts no longer fit either.
    void forget();
    // The cursor moved elsewhere: the buffered records no longer follow it.
    void drop();

    // The record after (forward) or before the one with the given row id and stored values in
    // the keyset's order and filter; *found false at the end. False with *error on failure.
    bool take(SqlConnection &sql, const KeysetSql &keyset, bool forward, qint64 rowId,
              const QVariantList &stored, Row *row, bool *found, EngineError *error);

private:
    bool fill(SqlConnection &sql, const KeysetSql &keyset, bool forward, quint64 stamp,
              const QVariantList &key, EngineError *error);
    bool findWalkBound(SqlConnection &sql, const KeysetSql &keyset, bool forward, bool *empty,
                       EngineError *error);

    QString m_fileName;
    QString m_orderSource;
    QString m_selectList;
    int m_storedCount = 0;
    bool m_orderUnique = false;

    QList<Row> m_rows;
    bool m_forward = true;
    bool m_complete = false; // nothing beyond the buffered records
    quint64 m_stamp = 0;
    int m_batch = 0;
    QHash<int, QString> m_stepSql; // by level and direction
    // Under a filter: the first order key of the first and of the last filtered record, so a
    // walk stops where the filtered records end instead of scanning the rest of the index.
    QVariant m_walkBound[2]; // [backward, forward]
    bool m_walkBoundKnown[2] = {false, false};
    bool m_walkEmpty = false;
    quint64 m_walkBoundStamp = 0;
};
