#pragma once

#include <QString>
#include <QVariantList>

#include <memory>

class Database;
class Query;
class Table;

// Changes to the rows of a query's result, made through the engine's cursor on the one table the
// result comes from, so that they pass the table's validation and give its Czech messages. Each
// result row is the table's record with the same primary key. A result is editable when every
// column is a column of one table, the table's single-field primary key among them, and the
// statement is not a compound of several selects.
class ResultEditor
{
public:
    ResultEditor(Database *database, Query *query);
    ~ResultEditor();

    // After each run of the query: whether, and through which table, its rows can be changed.
    void attach();
    bool editable() const { return m_table != nullptr; }

    // False with the engine's last error set. row holds the result row's values as shown.
    bool setValue(const QVariantList &row, int column, const QVariant &value);
    bool deleteRow(const QVariantList &row);
    // A record of empty values, a whole-number key one above the highest; *key gets its key.
    bool appendRecord(QVariant *key);
    int keyColumn() const { return m_keyColumn; } // the result column of the key
    QString tableName() const;                    // empty when not editable
    QString fieldOf(int column) const { return m_columnFields.value(column); }

private:
    bool failIfNotEditable() const; // true after setting the engine's error
    bool locate(const QVariantList &row);

    Database *m_database;
    Query *m_query;
    std::unique_ptr<Table> m_table;
    int m_keyColumn = -1;
    QStringList m_columnFields; // the table field of each result column
};
