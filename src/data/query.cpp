#include "data/query.h"

#include "data/database.h"
#include "data/internal/sqlconnection.h"
#include "data/internal/sqlfunctions.h"
#include "data/internal/storage.h"

#include <QPointer>

#include <sqlite3.h>

struct Query::Private
{
    QPointer<Database> database;
    QString sql;
    bool open = false;
    QList<FieldDefinition> fields;
    QList<bool> typed; // the column comes from a table column with a declared type
    QList<Query::ColumnOrigin> origins;

    SqlStatement cursor;              // forward reading
    QList<QVariantList> materialized; // rows of a statement that changed data (RETURNING)
    bool isMaterialized = false;
    QVariantList row;
    qint64 position = -1;
    bool atEnd = true;
    bool stepFailed = false;
    qint64 countCache = -1;
    qint64 changedRows = 0;
    bool wrote = false;

    bool fail(const EngineError &error)
    {
        Engine::setLastError(error);
        return false;
    }
    bool failClosed()
    {
        return fail(EngineError(EngineErrorCode::QueryNotOpen,
                                QStringLiteral("Dotaz nemá otevřený výsledek")));
    }
    SqlConnection *connection() const { return database->connection(); }
    // The statement without a closing semicolon, to nest it in a SELECT.
    QString innerSql() const
    {
        QString text = sql.trimmed();
        while (text.endsWith(QLatin1Char(';')))
            text = text.chopped(1).trimmed();
        return text;
    }
    QVariantList convert(const QVariantList &stored) const
    {
        QVariantList values;
        for (int i = 0; i < stored.size(); ++i)
            values.append(typed.value(i) ? Storage::fromStorage(fields.at(i), stored.at(i))
                                         : stored.at(i));
        return values;
    }
    QVariantList readRow(const SqlStatement &statement) const
    {
        QVariantList stored;
        for (int i = 0; i < statement.columnCount(); ++i)
            stored.append(statement.column(i));
        return convert(stored);
    }
    bool stepCursor();
};

bool Query::Private::stepCursor()
{
    if (isMaterialized) {
        ++position;
        atEnd = position >= materialized.size();
        row = atEnd ? QVariantList() : materialized.at(position);
        return !atEnd;
    }
    const int rc = cursor.step();
    if (rc == SQLITE_ROW) {
        row = readRow(cursor);
        ++position;
        atEnd = false;
        return true;
    }
    cursor.reset(); // let go of the read lock at the end
    atEnd = true;
    row.clear();
    stepFailed = rc != SQLITE_DONE;
    return stepFailed ? fail(connection()->errorFor(rc)) : false;
}

Query::Query(Database *database, QObject *parent) : QObject(parent), d(std::make_unique<Private>())
{
    d->database = database;
    // A result cannot outlive the connection it reads.
    connect(database, &Database::disconnected, this, &Query::close);
}

Query::~Query() = default;

void Query::setSql(const QString &sql)
{
    close();
    d->sql = sql;
}

QString Query::sql() const
{
    return d->sql;
}

bool Query::exec()
{
    close();
    d->changedRows = 0;
    d->wrote = false;
    if (!d->database || !d->database->isConnected()) {
        return d->fail(
            EngineError(EngineErrorCode::NotConnected, QStringLiteral("Databáze není připojena")));
    }
    if (!d->database->openFiles())
        return false;
    EngineError error;
    QString tail;
    SqlStatement statement = d->connection()->prepareOwned(d->sql, &error, &tail);
    if (!statement.isValid())
        return d->fail(error);
    if (!tail.trimmed().remove(QLatin1Char(';')).trimmed().isEmpty()) {
        return d->fail(EngineError(EngineErrorCode::SqliteBase,
                                   QStringLiteral("Spustit lze jen jeden příkaz SQL najednou")));
    }
    const int columns = statement.columnCount();
    for (int i = 0; i < columns; ++i) {
        const QString declared = statement.columnDeclaredType(i);
        d->fields.append(Storage::fieldFromDeclaration(statement.columnName(i), declared));
        d->typed.append(!declared.isEmpty());
        d->origins.append({statement.columnOriginTable(i), statement.columnOriginColumn(i)});
    }
    const bool readOnly = sqlite3_stmt_readonly(statement.handle()) != 0;
    d->wrote = !readOnly;
    if (columns == 0 || !readOnly) {
        // Runs exactly once; rows it returns (RETURNING) are few and kept.
        const qint64 changesBefore = sqlite3_total_changes64(d->connection()->handle());
        int rc = SQLITE_ROW;
        QList<QVariantList> rows;
        while ((rc = statement.step()) == SQLITE_ROW)
            rows.append(d->readRow(statement));
        if (rc != SQLITE_DONE) {
            d->fields.clear();
            d->typed.clear();
            d->origins.clear();
            return d->fail(d->connection()->errorFor(rc));
        }
        d->changedRows = sqlite3_total_changes64(d->connection()->handle()) - changesBefore;
        if (columns == 0) {
            d->fields.clear();
            d->typed.clear();
            d->origins.clear();
            return true;
        }
        d->materialized = rows;
        d->isMaterialized = true;
    } else {
        d->cursor = std::move(statement);
    }
    d->open = true;
    // Expressions without a declared type show the type of their first value.
    const bool hasRow = first();
    if (d->stepFailed) {
        close();
        return false;
    }
    if (hasRow) {
        for (int i = 0; i < d->fields.size(); ++i) {
            if (d->typed.at(i))
                continue;
            switch (d->row.at(i).typeId()) {
            case QMetaType::LongLong:
                d->fields[i].type = FieldType::LongInteger;
                break;
            case QMetaType::Double:
                d->fields[i].type = FieldType::Float;
                break;
            default:
                break;
            }
        }
    }
    return true;
}

bool Query::wrote() const
{
    return d->wrote;
}

qint64 Query::changedRows() const
{
    return d->changedRows;
}

bool Query::isOpen() const
{
    return d->open;
}

void Query::close()
{
    d->open = false;
    d->fields.clear();
    d->typed.clear();
    d->origins.clear();
    d->cursor = SqlStatement();
    d->materialized.clear();
    d->isMaterialized = false;
    d->row.clear();
    d->position = -1;
    d->atEnd = true;
    d->stepFailed = false;
    d->countCache = -1;
}

qint64 Query::recordCount()
{
    if (!d->open)
        return 0;
    if (d->isMaterialized)
        return d->materialized.size();
    if (d->countCache >= 0)
        return d->countCache;
    EngineError error;
    SqlStatement counter = d->connection()->prepareOwned(
        QStringLiteral("SELECT count(*) FROM (") + d->innerSql() + QStringLiteral("\n)"), &error);
    if (counter.isValid() && counter.step() == SQLITE_ROW) {
        d->countCache = counter.column(0).toLongLong();
        return d->countCache;
    }
    // Statements that cannot be nested (PRAGMA, EXPLAIN): count by stepping a copy.
    SqlStatement copy = d->connection()->prepareOwned(d->sql, &error);
    qint64 count = 0;
    while (copy.isValid() && copy.step() == SQLITE_ROW)
        ++count;
    d->countCache = count;
    return count;
}

QList<FieldDefinition> Query::fields() const
{
    return d->fields;
}

QList<Query::ColumnOrigin> Query::origins() const
{
    return d->origins;
}

QStringList Query::fieldNames() const
{
    QStringList names;
    for (const FieldDefinition &field : std::as_const(d->fields))
        names.append(field.name);
    return names;
}

QList<FieldType> Query::fieldTypes() const
{
    QList<FieldType> types;
    for (const FieldDefinition &field : std::as_const(d->fields))
        types.append(field.type);
    return types;
}

bool Query::first()
{
    if (!d->open)
        return d->failClosed();
    d->position = -1;
    if (!d->isMaterialized)
        d->cursor.reset();
    return d->stepCursor();
}

bool Query::next()
{
    if (!d->open)
        return d->failClosed();
    if (d->atEnd)
        return false;
    return d->stepCursor();
}

bool Query::eof() const
{
    return d->atEnd;
}

qint64 Query::recordNumber() const
{
    return d->open && !d->atEnd ? d->position : -1;
}

QVariant Query::value(int field) const
{
    return d->row.value(field);
}

QVariantList Query::values() const
{
    return d->row;
}

QList<QVariantList> Query::readWindow(qint64 offset, int count)
{
    QList<QVariantList> rows;
    if (!d->open || offset < 0 || count <= 0)
        return rows;
    if (d->isMaterialized)
        return d->materialized.mid(offset, count);
    EngineError error;
    SqlStatement window = d->connection()->prepareOwned(
        QStringLiteral("SELECT * FROM (") + d->innerSql() + QStringLiteral("\n) LIMIT ? OFFSET ?"),
        &error);
    if (window.isValid()) {
        window.bind({count, offset});
        while (window.step() == SQLITE_ROW)
            rows.append(d->readRow(window));
        return rows;
    }
    // Statements that cannot be nested: step a copy to the window.
    SqlStatement copy = d->connection()->prepareOwned(d->sql, &error);
    for (qint64 index = 0; copy.isValid() && copy.step() == SQLITE_ROW && rows.size() < count;
         ++index) {
        if (index >= offset)
            rows.append(d->readRow(copy));
    }
    return rows;
}

bool Query::locate(const QString &field, const QString &text, LocateOptions options)
{
    if (!d->open)
        return d->failClosed();
    const int column = int(fieldNames().indexOf(field));
    if (column < 0) {
        return d->fail(
            EngineError(EngineErrorCode::UnknownField,
                        QStringLiteral("Pole %1 ve výsledku dotazu neexistuje").arg(field)));
    }
    const bool caseInsensitive = options.testFlag(LocateOption::CaseInsensitive);
    const bool partial = options.testFlag(LocateOption::PartialKey);
    for (bool more = first(); more; more = next()) {
        if (locateMatches(d->row.at(column).toString(), text, caseInsensitive, partial))
            return true;
    }
    // Not found: back on the first row, as a search that failed leaves it.
    first();
    return d->fail(
        EngineError(EngineErrorCode::RecordNotFound, QStringLiteral("Hledaný text nebyl nalezen")));
}
