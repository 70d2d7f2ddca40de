#include "data/internal/keysetsql.h"

#include "data/internal/storage.h"

namespace {

QString comparisonOperator(FilterCondition::Comparison comparison)
{
    switch (comparison) {
    case FilterCondition::Equal:
        return QStringLiteral("=");
    case FilterCondition::NotEqual:
        return QStringLiteral("<>");
    case FilterCondition::Less:
        return QStringLiteral("<");
    case FilterCondition::LessOrEqual:
        return QStringLiteral("<=");
    case FilterCondition::Greater:
        return QStringLiteral(">");
    case FilterCondition::GreaterOrEqual:
        return QStringLiteral(">=");
    }
    return QStringLiteral("=");
}

} // namespace

OrderTerm OrderTerm::rowId()
{
    OrderTerm term;
    term.column = QStringLiteral("rowid");
    return term;
}

QString OrderTerm::expression() const
{
    return collation.isEmpty() ||
                   collation.compare(QLatin1String("BINARY"), Qt::CaseInsensitive) == 0
               ? column
               : column + QStringLiteral(" COLLATE ") + collation;
}

QString KeysetSql::fieldExpression(const FieldDefinition &definition)
{
    return definition.calculated ? QLatin1Char('(') + definition.sqlExpression + QLatin1Char(')')
                                 : Storage::quoted(definition.name);
}

bool KeysetSql::buildFilter(const FieldList &fields, const Filter &filter,
                            const NoCaseIndexTest &noCaseIndexed, const QString &tableName,
                            SqlCondition *result, EngineError *error)
{
    QStringList parts;
    QVariantList values;
    for (const FilterCondition &condition : filter) {
        const int field = fields.indexOf(condition.field);
        if (field < 0) {
            *error = EngineError(
                EngineErrorCode::UnknownField,
                QStringLiteral("Pole %1 v tabulce %2 neexistuje").arg(condition.field, tableName));
            return false;
        }
        const FieldDefinition &definition = fields.at(field);
        if (definition.calculated && definition.sqlExpression.isEmpty()) {
            *error =
                EngineError(EngineErrorCode::UnknownField,
                            QStringLiteral("Pole %1 nelze použít ve filtru").arg(definition.name));
            return false;
        }
        QVariant value;
        if (!Storage::toStorage(definition, condition.value, &value, error))
            return false;
        const bool indexed = condition.mayUseIndex && !definition.calculated;
        // A unary plus keeps SQLite from searching the column's indexes.
        const QString expression = condition.mayUseIndex || definition.calculated
                                       ? fieldExpression(definition)
                                       : QLatin1Char('+') + fieldExpression(definition);
        const QString op = comparisonOperator(condition.comparison);
        const bool equality = condition.comparison == FilterCondition::Equal ||
                              condition.comparison == FilterCondition::NotEqual;
        const bool noCaseIndex = indexed && noCaseIndexed(field);
        if (definition.type == FieldType::Alpha && condition.caseInsensitive && equality) {
            // Unicode case folding (NOCASE folds only ASCII letters).
            parts.append(QStringLiteral("LOCATE_MATCH(%1, ?, 1, 0) %2 1")
                             .arg(expression, condition.comparison == FilterCondition::Equal
                                                  ? QStringLiteral("=")
                                                  : QStringLiteral("<>")));
            values.append(value);
        } else if (definition.type == FieldType::Alpha && condition.caseInsensitive) {
            parts.append(QStringLiteral("%1 COLLATE NOCASE %2 ?").arg(expression, op));
            values.append(value);
        } else if (definition.type == FieldType::Alpha) {
            if (noCaseIndex && condition.comparison == FilterCondition::Equal) {
                // The case-insensitive index finds the candidates, the exact test decides.
                parts.append(QStringLiteral("%1 COLLATE NOCASE = ? AND %1 = ?").arg(expression));
                values.append(value);
            } else {
                parts.append(QStringLiteral("%1 %2 ?").arg(expression, op));
            }
            values.append(value);
        } else {
            // Numbers, dates and times compare alike under NOCASE; using the index's collation
            // lets SQLite serve the condition from the index.
            parts.append(noCaseIndex ? QStringLiteral("%1 COLLATE NOCASE %2 ?").arg(expression, op)
                                     : QStringLiteral("%1 %2 ?").arg(expression, op));
            values.append(value);
        }
    }
    result->text = parts.isEmpty() ? QString()
                                   : QLatin1Char('(') + parts.join(QStringLiteral(") AND (")) +
                                         QLatin1Char(')');
    result->values = values;
    return true;
}

QVariantList KeysetSql::key(qint64 rowId, const QVariantList &stored) const
{
    QVariantList key;
    for (const OrderTerm &term : m_order)
        key.append(term.field < 0 ? QVariant(rowId) : stored.value(term.field));
    return key;
}

SqlCondition KeysetSql::where(const SqlCondition &condition) const
{
    QStringList parts;
    if (!m_filter.text.isEmpty())
        parts.append(m_filter.text);
    if (!condition.text.isEmpty())
        parts.append(QLatin1Char('(') + condition.text + QLatin1Char(')'));
    return {parts.isEmpty() ? QString()
                            : QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND ")),
            m_filter.values + condition.values};
}

QString KeysetSql::orderBy(bool reverse) const
{
    QStringList terms;
    for (const OrderTerm &term : m_order) {
        const bool descending = term.descending != reverse;
        terms.append(term.expression() + (descending ? QStringLiteral(" DESC") : QString()));
    }
    return QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
}

SqlCondition KeysetSql::level(int level, bool forward, const QVariantList &key) const
{
    SqlCondition condition;
    QStringList parts;
    for (int i = 0; i < level; ++i) {
        parts.append(m_order.at(i).expression() + QStringLiteral(" = ?"));
        condition.values.append(key.value(i));
    }
    const OrderTerm &term = m_order.at(level);
    const bool greater = term.descending != forward;
    parts.append(term.expression() + (greater ? QStringLiteral(" > ?") : QStringLiteral(" < ?")));
    condition.values.append(key.value(level));
    condition.text = parts.join(QStringLiteral(" AND "));
    return condition;
}

SqlCondition KeysetSql::before(const QVariantList &key) const
{
    SqlCondition condition;
    QStringList levels;
    // The first term decides for nearly every record, so it is tested first.
    for (int at = 0; at < m_order.size(); ++at) {
        const SqlCondition part = level(at, false, key);
        levels.append(QLatin1Char('(') + part.text + QLatin1Char(')'));
        condition.values += part.values;
    }
    condition.text = levels.join(QStringLiteral(" OR "));
    return condition;
}

void KeysetSql::addWalkBound(SqlCondition *condition, bool forward, const QVariant &bound) const
{
    const OrderTerm &first = m_order.first();
    const bool upperBound = first.descending != forward;
    condition->text += QStringLiteral(" AND ") + first.expression() +
                       (upperBound ? QStringLiteral(" <= ?") : QStringLiteral(" >= ?"));
    condition->values.append(bound);
}
