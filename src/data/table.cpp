#include "data/table.h"

#include "data/database.h"
#include "data/enginelocks.h"
#include "data/keysetsql.h"
#include "data/readahead.h"
#include "data/sqlconnection.h"
#include "data/storage.h"
#include "data/tablestructure.h"

#include <QFile>
#include <QPointer>

#include <sqlite3.h>

struct Table::Private
{
    Private(Table *table, Database *db, const QString &file)
        : q(table), database(db), fileName(file), structure(file)
    {}

    Table *q = nullptr;
    QPointer<Database> database; // the database closes its tables before it goes
    QString fileName;
    bool exclusive = false;
    bool open = false;
    bool heldExclusive = false;
    State state = State::Inactive;

    TableStructure structure;
    QString indexName;
    KeysetSql keyset; // the order (key terms, then the row id) and the filter

    Filter filter;
    bool filtered = false;

    bool hasCurrent = false;
    qint64 rowId = 0;
    QVariantList stored; // the current record as stored, for key comparisons
    Record current;
    Record editBuffer;
    bool bof = true;
    bool eof = true;
    qint64 position = -1;

    qint64 countCache = -1;
    quint64 countStamp = 0;
    quint64 viewStamp = 0; // counts the changes of order and filter, for bookmarks' positions

    ReadAhead readAhead;

    CalcFieldsCallback calcCallback;
    bool autoCalc = true;
    TableErrorHandler postErrorHandler;
    TableErrorHandler editErrorHandler;
    int disableCount = 0;

    // --- helpers ---
    // Connected, with the table's file open (the files open with the first table that needs
    // them; one that cannot be had keeps out only its own table).
    bool filesReady()
    {
        if (!database || !database->isConnected()) {
            return fail(EngineError(EngineErrorCode::NotConnected,
                                    QStringLiteral("Databáze není připojena")));
        }
        return database->openFile(fileName);
    }
    SqlConnection *sql() const { return database->connection(); }
    QString schema() const { return sql()->schemaOf(fileName); }
    QString qualified() const { return sql()->qualifiedTable(fileName); }
    QString objectName() const { return q->objectName().isEmpty() ? fileName : q->objectName(); }

    bool fail(const EngineError &error)
    {
        Engine::setLastError(error);
        return false;
    }
    bool failNotOpen()
    {
        return fail(EngineError(EngineErrorCode::TableNotOpen,
                                QStringLiteral("Tabulka %1 není otevřena").arg(objectName())));
    }
    bool failNoCurrent()
    {
        return fail(
            EngineError(EngineErrorCode::NoCurrentRecord,
                        QStringLiteral("Tabulka %1 nemá aktuální záznam").arg(objectName())));
    }
    bool failUnknownField(const QString &field)
    {
        return fail(EngineError(
            EngineErrorCode::UnknownField,
            QStringLiteral("Pole %1 v tabulce %2 neexistuje").arg(field, objectName())));
    }
    bool handleFailure(const TableErrorHandler &handler, const EngineError &error);

    void notifyRecords()
    {
        if (disableCount == 0)
            emit q->recordsChanged();
    }
    void notifyCurrent()
    {
        if (disableCount == 0)
            emit q->currentRecordChanged();
    }
    void setState(State newState)
    {
        if (state == newState)
            return;
        state = newState;
        if (disableCount == 0)
            emit q->stateChanged();
    }

    const std::shared_ptr<const FieldList> &fields() const { return structure.fields(); }
    bool loadFields(EngineError *error) { return structure.loadFields(*sql(), error); }
    bool loadIndexes(EngineError *error) { return structure.loadIndexes(*sql(), error); }
    const IndexInfo *findIndex(const QString &name) const { return structure.findIndex(name); }
    bool applyOrder(EngineError *error);
    bool buildFilter(const Filter &conditions, SqlCondition *result, EngineError *error) const
    {
        return KeysetSql::buildFilter(
            *fields(), conditions,
            [this](int field) { return structure.hasCaseInsensitiveIndexOn(field); }, objectName(),
            result, error);
    }
    QString fieldExpression(int field) const
    {
        return KeysetSql::fieldExpression(fields()->at(field));
    }

    QString selectList() const;

    bool readRow(const QString &sqlText, const QVariantList &values, bool *found);
    Record recordFrom(const SqlStatement &statement, QVariantList *storedValues) const;
    Record recordFromStored(const QVariantList &storedValues) const;
    void setFilterSql(const SqlCondition &filterSql)
    {
        keyset.setFilter(filterSql);
        readAhead.forget();
        countCache = -1;
        ++viewStamp;
    }
    bool stepFrom(bool forward, bool *found);
    // next() and prior(): off the end the cursor stays and sets eof or bof.
    bool step(bool forward)
    {
        bool &offEnd = forward ? eof : bof;
        if (!hasCurrent) {
            offEnd = true;
            return false;
        }
        bool found = false;
        if (!stepFrom(forward, &found))
            return false;
        if (!found) {
            offEnd = true;
            return false;
        }
        bof = eof = false;
        if (forward && position >= 0)
            ++position;
        else if (!forward)
            position = position > 0 ? position - 1 : -1;
        notifyCurrent();
        return true;
    }
    bool readByRowId(qint64 id, bool applyFilter, bool *found);
    void clearCurrent();
    bool seekEnd(bool toLast);
    bool ensureBrowse();

    // The position of a field that an aggregate reads; -1 after a failure.
    int aggregatedField(const QString &field)
    {
        if (!open) {
            failNotOpen();
            return -1;
        }
        const int index = fields()->indexOf(field);
        if (index < 0)
            failUnknownField(field);
        return index;
    }
    void notePosition(Bookmark *mark, qint64 at, quint64 dataStamp) const
    {
        mark->m_position = at;
        mark->m_dataStamp = dataStamp;
        mark->m_viewStamp = viewStamp;
    }

    bool acquireExclusiveForChange(bool *acquired);
    void releaseExclusiveForChange(bool acquired);
    void afterStructureChange();
};

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

// ---------------------------------------------------------------------------------------------

Table::Table(Database *database, const QString &fileName, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>(this, database, fileName))
{
    database->registerTable(this);
}

Table::~Table()
{
    close();
    if (d->database)
        d->database->unregisterTable(this);
}

Database *Table::database() const
{
    return d->database;
}

QString Table::fileName() const
{
    return d->fileName;
}

QString Table::tableName() const
{
    return tableNameOfFile(d->fileName);
}

void Table::setExclusive(bool exclusive)
{
    d->exclusive = exclusive;
}

bool Table::exclusive() const
{
    return d->exclusive;
}

bool Table::open()
{
    if (d->open)
        return true;
    if (!d->filesReady())
        return false;
    if (d->sql()->schemaOf(d->fileName).isEmpty()) {
        return d->fail(
            EngineError(EngineErrorCode::TableFileMissing,
                        QStringLiteral("Tabulka %1 nepatří k databázi").arg(d->fileName)));
    }
    EngineError error;
    if (!d->database->locks()->acquire(d->fileName, d->exclusive, &error))
        return d->fail(error);
    d->heldExclusive = d->exclusive;
    if (!d->loadFields(&error) || !d->loadIndexes(&error) || !d->applyOrder(&error)) {
        d->database->locks()->release(d->fileName, d->heldExclusive);
        return d->fail(error);
    }
    SqlCondition filterSql;
    if (!d->buildFilter(d->filtered ? d->filter : Filter(), &filterSql, &error)) {
        d->database->locks()->release(d->fileName, d->heldExclusive);
        return d->fail(error);
    }
    d->setFilterSql(filterSql);
    d->open = true;
    d->countCache = -1;
    d->clearCurrent();
    d->setState(State::Browse);
    if (!d->seekEnd(false)) {
        close();
        return false;
    }
    d->notifyRecords();
    return true;
}

void Table::close()
{
    if (!d->open)
        return;
    d->editBuffer = Record();
    d->open = false;
    d->database->locks()->release(d->fileName, d->heldExclusive);
    d->heldExclusive = false;
    d->clearCurrent();
    d->countCache = -1;
    d->setState(State::Inactive);
    d->notifyRecords();
    d->notifyCurrent();
}

bool Table::isOpen() const
{
    return d->open;
}

Table::State Table::state() const
{
    return d->state;
}

const FieldList &Table::fields() const
{
    return *d->fields();
}

void Table::setCalculatedFields(const QList<FieldDefinition> &fields)
{
    d->structure.setCalculatedFields(fields);
}

QList<IndexDefinition> Table::indexDefinitions()
{
    if (!d->filesReady())
        return {};
    EngineError error;
    if (!d->open && !d->loadFields(&error)) {
        d->fail(error);
        return {};
    }
    if (!d->loadIndexes(&error)) {
        d->fail(error);
        return {};
    }
    QList<IndexDefinition> definitions;
    for (const IndexInfo &info : d->structure.indexes())
        definitions.append(info.definition);
    return definitions;
}

// Index changes hold the table exclusively, with its fields and indexes loaded; a pending edit
// is posted first.
bool Table::changeIndexes(const std::function<bool(EngineError &)> &change)
{
    if (d->open && d->state == State::Edit && !post())
        return false;
    bool acquired = false;
    if (!d->acquireExclusiveForChange(&acquired))
        return false;
    EngineError error;
    bool done = (d->open || d->loadFields(&error)) && d->loadIndexes(&error);
    done = done && change(error);
    d->releaseExclusiveForChange(acquired);
    d->afterStructureChange();
    return done || d->fail(error);
}

bool Table::addIndex(const IndexDefinition &index)
{
    return changeIndexes([&](EngineError &error) {
        return d->structure.addIndex(*d->sql(), index, d->objectName(), &error);
    });
}

bool Table::deleteIndex(const QString &name)
{
    return changeIndexes([&](EngineError &error) {
        return d->structure.deleteIndex(*d->sql(), name, d->objectName(), &error);
    });
}

bool Table::setIndexName(const QString &name)
{
    if (!d->open) {
        d->indexName = name; // checked when the table opens
        return true;
    }
    if (!d->ensureBrowse())
        return false;
    const QString previous = d->indexName;
    d->indexName = name;
    EngineError error;
    if (!d->applyOrder(&error)) {
        d->indexName = previous;
        d->applyOrder(&error);
        return d->fail(error);
    }
    // The record stays current, but in the new order it need not be the first or the last.
    d->position = -1;
    if (d->hasCurrent)
        d->bof = d->eof = false;
    d->notifyRecords();
    d->notifyCurrent();
    return true;
}

QString Table::indexName() const
{
    return d->indexName;
}

bool Table::first()
{
    return d->ensureBrowse() && d->seekEnd(false);
}

bool Table::last()
{
    return d->ensureBrowse() && d->seekEnd(true);
}

bool Table::next()
{
    return d->ensureBrowse() && d->step(true);
}

bool Table::prior()
{
    return d->ensureBrowse() && d->step(false);
}

bool Table::bof() const
{
    return d->bof;
}

bool Table::eof() const
{
    return d->eof;
}

bool Table::isEmpty()
{
    if (!d->open) {
        d->failNotOpen();
        return true;
    }
    EngineError error;
    SqlStatement statement =
        d->sql()->prepare(QStringLiteral("SELECT 1 FROM ") + d->qualified() +
                              d->keyset.where().text + QStringLiteral(" LIMIT 1"),
                          &error);
    if (!statement.isValid()) {
        d->fail(error);
        return true;
    }
    statement.bind(d->keyset.filter().values);
    return statement.step() != SQLITE_ROW;
}

qint64 Table::recordCount()
{
    if (!d->open) {
        d->failNotOpen();
        return 0;
    }
    const quint64 stamp = d->sql()->changeStamp(d->schema());
    if (d->countCache >= 0 && stamp == d->countStamp)
        return d->countCache;
    EngineError error;
    SqlStatement statement = d->sql()->prepare(
        QStringLiteral("SELECT count(*) FROM ") + d->qualified() + d->keyset.where().text, &error);
    if (!statement.isValid()) {
        d->fail(error);
        return 0;
    }
    statement.bind(d->keyset.filter().values);
    const int rc = statement.step();
    if (rc != SQLITE_ROW) {
        d->fail(d->sql()->errorFor(rc));
        return 0;
    }
    d->countCache = statement.column(0).toLongLong();
    d->countStamp = stamp;
    return d->countCache;
}

qint64 Table::recordNumber()
{
    if (!d->open || !d->hasCurrent)
        return -1;
    if (d->position >= 0)
        return d->position;
    if (d->bof || d->eof) // on the first or the last record
        return d->position = d->bof ? 0 : recordCount() - 1;
    const SqlCondition where =
        d->keyset.where(d->keyset.before(d->keyset.key(d->rowId, d->stored)));
    EngineError error;
    SqlStatement statement = d->sql()->prepare(
        QStringLiteral("SELECT count(*) FROM ") + d->qualified() + where.text, &error);
    if (!statement.isValid()) {
        d->fail(error);
        return -1;
    }
    statement.bind(where.values);
    if (statement.step() != SQLITE_ROW)
        return -1;
    d->position = statement.column(0).toLongLong();
    return d->position;
}

bool Table::moveToRecordNumber(qint64 number)
{
    if (!d->ensureBrowse())
        return false;
    const qint64 count = recordCount();
    if (number < 0 || number >= count) {
        return d->fail(EngineError(EngineErrorCode::RecordNotFound,
                                   QStringLiteral("Záznam číslo %1 v tabulce %2 neexistuje")
                                       .arg(number + 1)
                                       .arg(d->objectName())));
    }
    // Count from the nearer end: SQLite skips records one by one.
    const bool fromEnd = number > count / 2;
    QVariantList values = d->keyset.filter().values;
    values.append(fromEnd ? count - 1 - number : number);
    bool found = false;
    if (!d->readRow(QStringLiteral("SELECT ") + d->selectList() + QStringLiteral(" FROM ") +
                        d->qualified() + d->keyset.where().text + d->keyset.orderBy(fromEnd) +
                        QStringLiteral(" LIMIT 1 OFFSET ?"),
                    values, &found))
        return false;
    if (!found)
        return d->fail(
            EngineError(EngineErrorCode::RecordNotFound,
                        QStringLiteral("Záznam v tabulce %1 neexistuje").arg(d->objectName())));
    d->bof = d->eof = false;
    d->position = number;
    d->notifyCurrent();
    return true;
}

bool Table::refresh()
{
    if (!d->open)
        return d->failNotOpen();
    d->countCache = -1;
    if (d->state == State::Edit) {
        d->notifyRecords();
        return true;
    }
    bool found = false;
    if (d->hasCurrent) {
        const qint64 oldRowId = d->rowId;
        if (!d->readByRowId(oldRowId, true, &found))
            return false;
        if (!found) {
            // Gone or filtered out: the record that followed it, else the one before.
            if (!d->stepFrom(true, &found))
                return false;
            if (!found && !d->stepFrom(false, &found))
                return false;
        }
    }
    if (!found && !d->seekEnd(false))
        return false;
    d->position = -1;
    d->notifyRecords();
    d->notifyCurrent();
    return true;
}

Bookmark Table::bookmark() const
{
    Bookmark mark;
    if (!d->open || !d->hasCurrent)
        return mark;
    mark.m_rowId = d->rowId;
    if (const IndexInfo *primary = d->findIndex(QString())) {
        for (const OrderTerm &term : primary->terms)
            mark.m_primaryKey.append(d->stored.value(term.field));
    }
    d->notePosition(&mark, d->position, d->sql()->changeStamp(d->schema()));
    return mark;
}

bool Table::bookmarkValid(const Bookmark &bookmark)
{
    if (!d->open || bookmark.isNull())
        return false;
    QVariantList values{bookmark.m_rowId};
    QStringList conditions{QStringLiteral("rowid = ?")};
    if (const IndexInfo *primary = d->findIndex(QString())) {
        for (int i = 0; i < primary->terms.size() && i < bookmark.m_primaryKey.size(); ++i) {
            conditions.append(primary->terms.at(i).column + QStringLiteral(" = ?"));
            values.append(bookmark.m_primaryKey.at(i));
        }
    }
    const SqlCondition where = d->keyset.where({conditions.join(QStringLiteral(" AND ")), values});
    EngineError error;
    SqlStatement statement =
        d->sql()->prepare(QStringLiteral("SELECT 1 FROM ") + d->qualified() + where.text, &error);
    if (!statement.isValid())
        return d->fail(error);
    statement.bind(where.values);
    return statement.step() == SQLITE_ROW;
}

bool Table::gotoBookmark(const Bookmark &bookmark)
{
    if (!d->ensureBrowse())
        return false;
    if (!bookmarkValid(bookmark)) {
        return d->fail(
            EngineError(EngineErrorCode::RecordNotFound,
                        QStringLiteral("Záznam tabulky %1 již neexistuje").arg(d->objectName())));
    }
    bool found = false;
    if (!d->readByRowId(bookmark.m_rowId, true, &found))
        return false;
    d->bof = d->eof = false;
    const bool samePlace = bookmark.m_dataStamp == d->sql()->changeStamp(d->schema()) &&
                           bookmark.m_viewStamp == d->viewStamp;
    d->position = samePlace ? bookmark.m_position : -1;
    d->notifyCurrent();
    return found;
}

bool Table::locate(const QString &field, const QVariant &value, LocateOptions options)
{
    if (!d->ensureBrowse())
        return false;
    const int index = d->fields()->indexOf(field);
    if (index < 0)
        return d->failUnknownField(field);
    const FieldDefinition &definition = d->fields()->at(index);
    if (definition.calculated && definition.sqlExpression.isEmpty()) {
        return d->fail(EngineError(EngineErrorCode::UnknownField,
                                   QStringLiteral("Pole %1 nelze hledat").arg(definition.name)));
    }
    SqlCondition condition;
    if (options == LocateOptions()) {
        QVariant stored;
        EngineError error;
        if (!Storage::toStorage(definition, value, &stored, &error))
            return d->fail(error);
        condition.text = d->fieldExpression(index) + QStringLiteral(" = ?");
        condition.values.append(stored);
    } else {
        condition.text = QStringLiteral("LOCATE_MATCH(%1, ?, ?, ?)").arg(d->fieldExpression(index));
        condition.values << value.toString() << int(options.testFlag(LocateOption::CaseInsensitive))
                         << int(options.testFlag(LocateOption::PartialKey));
    }
    // Keep the cursor where it is when nothing matches.
    const qint64 oldRowId = d->rowId;
    const QVariantList oldStored = d->stored;
    const Record oldCurrent = d->current;
    const bool hadCurrent = d->hasCurrent;
    const SqlCondition where = d->keyset.where(condition);
    bool found = false;
    if (!d->readRow(QStringLiteral("SELECT ") + d->selectList() + QStringLiteral(" FROM ") +
                        d->qualified() + where.text + d->keyset.orderBy(false) +
                        QStringLiteral(" LIMIT 1"),
                    where.values, &found))
        return false;
    if (!found) {
        d->rowId = oldRowId;
        d->stored = oldStored;
        d->current = oldCurrent;
        d->hasCurrent = hadCurrent;
        return false;
    }
    d->bof = d->eof = false;
    d->position = -1;
    d->notifyCurrent();
    return true;
}

bool Table::hasCurrentRecord() const
{
    return d->open && d->hasCurrent;
}

const Record &Table::record() const
{
    return d->state == State::Edit ? d->editBuffer : d->current;
}

QVariant Table::value(const QString &field) const
{
    return record().value(field);
}

QVariant Table::value(int index) const
{
    return record().value(index);
}

bool Table::edit()
{
    if (d->state == State::Edit)
        return true;
    if (!d->open)
        return d->handleFailure(
            d->editErrorHandler,
            EngineError(EngineErrorCode::TableNotOpen,
                        QStringLiteral("Tabulka %1 není otevřena").arg(d->objectName())));
    bool found = d->hasCurrent;
    // Edit the record as it is on disk now, not as it was read.
    if (found && !d->readByRowId(d->rowId, false, &found))
        return d->handleFailure(d->editErrorHandler, Engine::lastError());
    if (!found) {
        d->clearCurrent();
        return d->handleFailure(
            d->editErrorHandler,
            EngineError(EngineErrorCode::NoCurrentRecord,
                        QStringLiteral("Tabulka %1 nemá aktuální záznam").arg(d->objectName())));
    }
    d->editBuffer = d->current;
    d->setState(State::Edit);
    d->notifyCurrent();
    return true;
}

bool Table::setValue(const QString &field, const QVariant &value)
{
    if (d->state != State::Edit) {
        return d->fail(
            EngineError(EngineErrorCode::NotEditing,
                        QStringLiteral("Tabulka %1 není v režimu editace").arg(d->objectName())));
    }
    const int index = d->fields()->indexOf(field);
    if (index < 0 || d->fields()->at(index).calculated)
        return d->failUnknownField(field);
    QVariant stored;
    EngineError error;
    if (!Storage::toStorage(d->fields()->at(index), value, &stored, &error))
        return d->fail(error);
    d->editBuffer.setValue(index, Storage::fromStorage(d->fields()->at(index), stored));
    calculateFields(d->editBuffer);
    d->notifyCurrent();
    return true;
}

bool Table::post()
{
    if (d->state != State::Edit)
        return true;
    QStringList assignments;
    QVariantList values;
    EngineError error;
    for (int i = 0; i < d->fields()->storedCount(); ++i) {
        QVariant stored;
        if (!Storage::toStorage(d->fields()->at(i), d->editBuffer.value(i), &stored, &error))
            return d->handleFailure(d->postErrorHandler, error);
        assignments.append(Storage::quoted(d->fields()->at(i).name) + QStringLiteral(" = ?"));
        values.append(stored);
    }
    values.append(d->rowId);
    if (!d->sql()->exec(QStringLiteral("UPDATE ") + d->qualified() + QStringLiteral(" SET ") +
                            assignments.join(QStringLiteral(", ")) +
                            QStringLiteral(" WHERE rowid = ?"),
                        values, &error))
        return d->handleFailure(d->postErrorHandler, error);
    if (sqlite3_changes(d->sql()->handle()) == 0) {
        return d->handleFailure(
            d->postErrorHandler,
            EngineError(
                EngineErrorCode::RecordNotFound,
                QStringLiteral("Záznam tabulky %1 byl mezitím smazán").arg(d->objectName())));
    }
    d->editBuffer = Record();
    d->setState(State::Browse);
    bool found = false;
    d->readByRowId(d->rowId, false, &found);
    d->position = -1;
    d->notifyRecords();
    d->notifyCurrent();
    return true;
}

void Table::cancel()
{
    if (d->state != State::Edit)
        return;
    d->editBuffer = Record();
    d->setState(State::Browse);
    d->notifyCurrent();
}

bool Table::append(const QVariantList &values)
{
    if (!d->open)
        return d->handleFailure(
            d->postErrorHandler,
            EngineError(EngineErrorCode::TableNotOpen,
                        QStringLiteral("Tabulka %1 není otevřena").arg(d->objectName())));
    if (d->state == State::Edit && !post())
        return false;
    const int count = d->fields()->storedCount();
    if (values.size() != count) {
        return d->handleFailure(
            d->postErrorHandler,
            EngineError(EngineErrorCode::WrongValueCount,
                        QStringLiteral("Tabulka %1 má %2 polí, zadáno %3 hodnot")
                            .arg(d->objectName())
                            .arg(count)
                            .arg(values.size())));
    }
    QVariantList stored;
    QStringList columns;
    QStringList marks;
    EngineError error;
    for (int i = 0; i < count; ++i) {
        QVariant value;
        if (!Storage::toStorage(d->fields()->at(i), values.at(i), &value, &error))
            return d->handleFailure(d->postErrorHandler, error);
        stored.append(value);
        columns.append(Storage::quoted(d->fields()->at(i).name));
        marks.append(QStringLiteral("?"));
    }
    if (!d->sql()->exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(d->qualified(), columns.join(QStringLiteral(", ")),
                                 marks.join(QStringLiteral(", "))),
                        stored, &error))
        return d->handleFailure(d->postErrorHandler, error);
    bool found = false;
    d->readByRowId(sqlite3_last_insert_rowid(d->sql()->handle()), false, &found);
    d->bof = d->eof = false;
    d->position = -1;
    d->notifyRecords();
    d->notifyCurrent();
    return true;
}

bool Table::deleteRecord()
{
    if (!d->open)
        return d->failNotOpen();
    if (d->state == State::Edit)
        cancel();
    if (!d->hasCurrent)
        return d->failNoCurrent();
    EngineError error;
    if (!d->sql()->exec(QStringLiteral("DELETE FROM ") + d->qualified() +
                            QStringLiteral(" WHERE rowid = ?"),
                        {d->rowId}, &error))
        return d->fail(error);
    const qint64 position = d->position;
    bool found = false;
    if (!d->stepFrom(true, &found))
        return false;
    bool wasLast = false;
    if (!found) {
        wasLast = true;
        if (!d->stepFrom(false, &found))
            return false;
    }
    if (!found) {
        d->clearCurrent();
    } else {
        d->bof = false;
        d->eof = wasLast;
        d->position = wasLast ? (position > 0 ? position - 1 : -1) : position;
    }
    d->notifyRecords();
    d->notifyCurrent();
    return true;
}

void Table::setPostErrorHandler(TableErrorHandler handler)
{
    d->postErrorHandler = std::move(handler);
}

void Table::setEditErrorHandler(TableErrorHandler handler)
{
    d->editErrorHandler = std::move(handler);
}

TableErrorHandler Table::postErrorHandler() const
{
    return d->postErrorHandler;
}

TableErrorHandler Table::editErrorHandler() const
{
    return d->editErrorHandler;
}

bool Table::setFilter(const Filter &filter)
{
    if (d->open && d->filtered) {
        SqlCondition filterSql;
        EngineError error;
        if (!d->ensureBrowse() || !d->buildFilter(filter, &filterSql, &error))
            return error.isError() ? d->fail(error) : false;
        d->filter = filter;
        d->setFilterSql(filterSql);
        d->notifyRecords();
        return first();
    }
    d->filter = filter;
    return true;
}

Filter Table::filter() const
{
    return d->filter;
}

bool Table::setFiltered(bool on)
{
    if (d->filtered == on)
        return true;
    if (!d->open) {
        d->filtered = on;
        return true;
    }
    if (!d->ensureBrowse())
        return false;
    SqlCondition filterSql;
    EngineError error;
    if (!d->buildFilter(on ? d->filter : Filter(), &filterSql, &error))
        return d->fail(error);
    d->filtered = on;
    d->setFilterSql(filterSql);
    d->notifyRecords();
    return first();
}

bool Table::filtered() const
{
    return d->filtered;
}

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

void Table::setCalcFieldsCallback(CalcFieldsCallback callback)
{
    d->calcCallback = std::move(callback);
}

void Table::setAutoCalcFields(bool on)
{
    const bool turnedOn = on && !d->autoCalc;
    d->autoCalc = on;
    // The record that became current while they were off (the sale's new receipt) is printed
    // and shown next: it gets its calculated fields now.
    if (turnedOn && isOpen())
        calculateFields(d->state == State::Edit ? d->editBuffer : d->current);
}

bool Table::autoCalcFields() const
{
    return d->autoCalc;
}

void Table::calculateFields(Record &record) const
{
    for (int i = record.fields().storedCount(); i < record.count(); ++i)
        record.setValue(i, QVariant());
    if (d->autoCalc && d->calcCallback)
        d->calcCallback(record);
}

void Table::disableControls()
{
    ++d->disableCount;
}

void Table::enableControls()
{
    if (d->disableCount == 0)
        return;
    if (--d->disableCount == 0) {
        emit recordsChanged();
        emit currentRecordChanged();
    }
}

bool Table::controlsDisabled() const
{
    return d->disableCount > 0;
}

QList<Table::WindowRow> Table::readWindow(qint64 offset, int count)
{
    QList<WindowRow> rows;
    if (!d->open || count <= 0 || offset < 0)
        return rows;
    const qint64 total = recordCount();
    if (offset >= total)
        return rows;
    const qint64 wanted = qMin<qint64>(count, total - offset);
    // Read from the nearer end: OFFSET makes SQLite step over the skipped records.
    const bool fromEnd = offset > total - offset - wanted;
    QVariantList values = d->keyset.filter().values;
    values << wanted << (fromEnd ? total - offset - wanted : offset);
    EngineError error;
    SqlStatement statement =
        d->sql()->prepare(QStringLiteral("SELECT ") + d->selectList() + QStringLiteral(" FROM ") +
                              d->qualified() + d->keyset.where().text + d->keyset.orderBy(fromEnd) +
                              QStringLiteral(" LIMIT ? OFFSET ?"),
                          &error);
    if (!statement.isValid()) {
        d->fail(error);
        return rows;
    }
    statement.bind(values);
    const IndexInfo *primary = d->findIndex(QString());
    while (statement.step() == SQLITE_ROW) {
        WindowRow row;
        QVariantList stored;
        row.record = d->recordFrom(statement, &stored);
        row.bookmark.m_rowId = statement.column(0).toLongLong();
        if (primary) {
            for (const OrderTerm &term : primary->terms)
                row.bookmark.m_primaryKey.append(stored.value(term.field));
        }
        rows.append(row);
    }
    if (fromEnd)
        std::reverse(rows.begin(), rows.end());
    const quint64 dataStamp = d->sql()->changeStamp(d->schema());
    for (qsizetype i = 0; i < rows.size(); ++i)
        d->notePosition(&rows[i].bookmark, offset + i, dataStamp);
    return rows;
}

quint16 Table::emptyTable()
{
    if (!d->open) {
        d->failNotOpen();
        return Engine::lastError().code;
    }
    if (d->state == State::Edit)
        cancel();
    EngineError error;
    if (!d->sql()->exec(QStringLiteral("DELETE FROM ") + d->qualified(), {}, &error))
        return Engine::setLastError(error).code;
    d->countCache = -1;
    d->seekEnd(false);
    d->notifyRecords();
    return 0;
}

quint16 Table::regenerateIndexes()
{
    if (!d->open) {
        d->failNotOpen();
        return Engine::lastError().code;
    }
    // The pack writes every index anew from its own entries, in their order: about half the work
    // of REINDEX, which sorts the records again for each index. The entries are the same either
    // way, since SQLite changes a table and its indexes in one transaction.
    return restructure(true, d->sql()->isProtected(d->fileName));
}

quint16 Table::restructure(bool pack, bool protect)
{
    if (!d->filesReady())
        return Engine::lastError().code;
    if (d->sql()->inTransaction()) {
        return Engine::setLastError(
                   EngineError(EngineErrorCode::TransactionActive,
                               QStringLiteral("Během transakce nelze tabulku komprimovat")))
            .code;
    }
    const bool change = d->sql()->isProtected(d->fileName) != protect;
    if (!pack && !change)
        return 0;
    if (change && d->database->hasOpenTables()) {
        return Engine::setLastError(
                   EngineError(EngineErrorCode::TableInUse,
                               QStringLiteral("Ochranu tabulky %1 nelze změnit, dokud jsou "
                                              "otevřeny tabulky databáze")
                                   .arg(d->objectName())))
            .code;
    }
    if (d->open && d->state == State::Edit && !post())
        return Engine::lastError().code;
    bool acquired = false;
    if (!d->acquireExclusiveForChange(&acquired))
        return Engine::lastError().code;
    EngineError error;
    const QString packed = d->sql()->filePath(d->fileName) + QStringLiteral(".pack");
    QFile::remove(packed); // left by a pack that an end cut short
    bool done;
    if (change) {
        done = d->structure.packInto(*d->sql(), packed, protect, &error) &&
               d->database->replaceTableFile(d->fileName, packed, &error);
    } else {
        done = d->structure.pack(*d->sql(), &error);
    }
    d->releaseExclusiveForChange(acquired);
    if (!done)
        return Engine::setLastError(error).code;
    if (d->open)
        refresh();
    return 0;
}

quint16 Table::flush()
{
    if (!d->filesReady())
        return Engine::lastError().code;
    if (d->sql()->inTransaction()) {
        return Engine::setLastError(
                   EngineError(
                       EngineErrorCode::TransactionActive,
                       QStringLiteral("Během transakce nelze tabulku %1 uložit").arg(d->fileName)))
            .code;
    }
    EngineError error;
    if (!d->structure.syncFile(*d->sql(), &error))
        return Engine::setLastError(error).code;
    return 0;
}
