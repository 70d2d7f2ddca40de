#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

// The engine's field types. Values travel as QVariant:
//   Short, LongInteger -> int; Logical -> bool; Alpha -> QString; Money, Float -> double;
//   Date -> QDate (a null QDate is a blank date); Time -> QTime (null: blank).
// Stored as SQLite columns: integers (Logical 0/1), Alpha as TEXT of at most `size` characters,
// Money as REAL, Date as "YYYY-MM-DD" and Time as "HH:MM:SS" text.
enum class FieldType { Short, LongInteger, Logical, Alpha, Money, Date, Time, Float };

struct FieldDefinition
{
    QString name;
    FieldType type = FieldType::Alpha;
    int size = 0; // Alpha: most characters; 0 for the other types

    // Calculated fields are filled by the table's callback on every read and never stored.
    bool calculated = false;
    // A calculated field that SQL can compute as well (sums, filters, locate), e.g.
    // "PRICE_TOTAL(PERIOD, PRICE, OFF)"; empty when only the callback knows it.
    QString sqlExpression;
};

// The fields of a table, stored ones first in their table order, then the calculated ones.
class FieldList
{
public:
    FieldList() = default;
    explicit FieldList(QList<FieldDefinition> fields);

    int count() const { return int(m_fields.size()); }
    int storedCount() const { return m_storedCount; }
    const FieldDefinition &at(int index) const { return m_fields.at(index); }
    const QList<FieldDefinition> &all() const { return m_fields; }
    int indexOf(const QString &name) const; // case-insensitive; -1 when absent
    QStringList names() const;

private:
    QList<FieldDefinition> m_fields;
    int m_storedCount = 0;
};

// One record's values, addressed by position or by field name (case-insensitive).
class Record
{
public:
    Record() = default;
    explicit Record(std::shared_ptr<const FieldList> fields);

    bool isNull() const { return !m_fields; }
    const FieldList &fields() const;
    int count() const { return int(m_values.size()); }

    QVariant value(int index) const;
    QVariant value(const QString &name) const;
    void setValue(int index, const QVariant &value);
    bool setValue(const QString &name, const QVariant &value); // false: no such field

    const QVariantList &values() const { return m_values; }

private:
    std::shared_ptr<const FieldList> m_fields;
    QVariantList m_values;
};

// An index definition as the engine lists and adds it. The primary key has an empty name.
struct IndexDefinition
{
    enum Option {
        Primary = 0x1,
        Unique = 0x2,
        CaseInsensitive = 0x4,
        Descending = 0x8,
    };
    Q_DECLARE_FLAGS(Options, Option)

    QString name;
    QStringList fields;
    Options options;

    bool isPrimary() const { return options.testFlag(Primary); }
    QString fieldsText() const { return fields.join(QLatin1Char(';')); } // "A;B"
};
Q_DECLARE_OPERATORS_FOR_FLAGS(IndexDefinition::Options)

// Czech name of a type for messages ("Alpha(32)", "Short" ...).
QString fieldTypeText(FieldType type, int size = 0);
// Short, Long Integer, Money and Float: the types that hold numbers.
bool isNumberType(FieldType type);
