#pragma once

// The state of a table cursor, shared by the files that implement Table.

#include "data/database.h"
#include "data/internal/enginelocks.h"
#include "data/internal/keysetsql.h"
#include "data/internal/readahead.h"
#include "data/internal/sqlconnection.h"
#include "data/internal/storage.h"
#include "data/internal/tablestructure.h"
#include "data/table.h"

#include <QPointer>

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
