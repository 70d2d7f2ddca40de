#pragma once

// Engine-internal: the SQL text of a table's keyset navigation and its bound values. Pure text
// building: no connection, no table object, so every condition can be checked on its own.

#include "data/engineerror.h"
#include "data/fields.h"
#include "data/table.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

// One column of an index order; the last term of every order is the row id.
struct OrderTerm
{
    int field = -1; // position in the field list; -1 for the row id
    QString column; // quoted column name or "rowid"
    QString collation;
    bool descending = false;

    static OrderTerm rowId();
    QString expression() const; // the column with its collation, as the index sorts it
};

// A piece of SQL condition and the values of its parameters, in order.
struct SqlCondition
{
    QString text;
    QVariantList values;
};

// Builds the conditions of a walk along one order under one filter. A key holds one value per
// order term (the row id last), the key of the record the walk starts from.
class KeysetSql
{
public:
    // Whether the field (by position) leads an index with case-insensitive collation.
    using NoCaseIndexTest = std::function<bool(int field)>;

    void setOrder(const QList<OrderTerm> &order) { m_order = order; }
    const QList<OrderTerm> &order() const { return m_order; }

    // A field as SQL sees it: its quoted column, or a calculated field's expression.
    static QString fieldExpression(const FieldDefinition &definition);

    // The filter's conditions joined by AND, values in their stored form; false with *error
    // (Czech text naming the field and the table) for a field that cannot be filtered.
    static bool buildFilter(const FieldList &fields, const Filter &filter,
                            const NoCaseIndexTest &noCaseIndexed, const QString &tableName,
                            SqlCondition *result, EngineError *error);
    void setFilter(const SqlCondition &filter) { m_filter = filter; }
    const SqlCondition &filter() const { return m_filter; }
    bool hasFilter() const { return !m_filter.text.isEmpty(); }

    // The key of a record: its values of the order's terms.
    QVariantList key(qint64 rowId, const QVariantList &stored) const;

    // " WHERE filter AND (condition)" or empty, with the filter's values first.
    SqlCondition where(const SqlCondition &condition = {}) const;
    // " ORDER BY ..." in the order's direction, or against it.
    QString orderBy(bool reverse) const;

    // The records after (forward) or before the key at one level of the order: the terms
    // before `level` equal, the term at `level` beyond.
    SqlCondition level(int level, bool forward, const QVariantList &key) const;
    // All records before the key in the order (for its position).
    SqlCondition before(const QVariantList &key) const;
    // Narrows a walk's condition to first order keys up to the bound where the filtered
    // records end in the walking direction.
    void addWalkBound(SqlCondition *condition, bool forward, const QVariant &bound) const;

private:
    QList<OrderTerm> m_order;
    SqlCondition m_filter;
};
