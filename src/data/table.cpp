#include "data/table.h"

#include "data/internal/tableprivate.h"

#include <sqlite3.h>

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
