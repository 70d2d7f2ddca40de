#pragma once

#include "data/fields.h"
#include "data/table.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class Database;

// An SQL statement on a Database (SQLite's SQL; the tables by their names, any letter case:
// "select * from SALESOLARS"). exec() runs it once: a statement that yields rows opens a
// result, any other (INSERT, UPDATE, DDL ...) has done its work and leaves the query closed.
// A result is read forward (first/next) or in windows, never loaded as a whole.
//
//     Query query(&database);
//     query.setSql(QStringLiteral("select * from SALESOLARS"));
//     if (!query.exec())
//         ShowDatabaseError(false);
//     else if (query.isOpen())
//         for (query.first(); !query.eof(); query.next()) ... query.value(0) ...
//
// Result values use the field types of the table columns they come from (Date as QDate and so
// on); computed columns give integers, reals or texts as SQLite computed them.
class Query : public QObject
{
    Q_OBJECT

public:
    // Where a result column is read from; both empty for a computed column.
    struct ColumnOrigin
    {
        QString table;
        QString column;
    };

    explicit Query(Database *database, QObject *parent = nullptr);
    ~Query() override;

    void setSql(const QString &sql); // closes an open result
    QString sql() const;

    bool exec(); // false with Engine::lastError() set; only one statement at a time
    // The last exec() ran a statement that may change the database (DML or DDL), and the rows
    // it inserted, updated or deleted.
    bool wrote() const;
    qint64 changedRows() const;
    bool isOpen() const;
    void close();

    qint64 recordCount(); // of the open result, 0 when closed
    QList<FieldDefinition> fields() const;
    QStringList fieldNames() const;
    QList<FieldType> fieldTypes() const;
    QList<ColumnOrigin> origins() const;

    // Forward reading of the open result.
    bool first();
    bool next();
    bool eof() const;
    qint64 recordNumber() const; // 0-based position of the current row; -1 without one
    QVariant value(int field) const;
    QVariantList values() const;

    // At most count rows from the 0-based position offset.
    QList<QVariantList> readWindow(qint64 offset, int count);

    // Moves to the first row, from the start, whose field's text matches; false when none.
    bool locate(const QString &field, const QString &text, LocateOptions options = {});

private:
    struct Private;
    std::unique_ptr<Private> d;
};
