#pragma once

#include "data/engineerror.h"
#include "data/fields.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QVariant>

#include <functional>
#include <memory>

class Database;
class Table;

// One condition of a table filter. The value is bound as an SQL parameter, never pasted into
// SQL text, so quotes and other characters are matched literally. Date and time fields take a
// QDate/QTime or their text ("9.12.2026" or "2026-12-09", "9:05:00" or "09:05:00").
struct FilterCondition
{
    enum Comparison { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

    QString field;
    Comparison comparison = Equal;
    QVariant value;
    bool caseInsensitive = false; // for text: compare without regard to letter case
    // False: tested on the records other conditions find, never searched through the field's
    // index. For a condition that narrows little, which SQLite cannot tell from bound values.
    bool mayUseIndex = true;
};
using Filter = QList<FilterCondition>;

// A remembered record of a table. A bookmark is a value: releasing it is dropping it.
class Bookmark
{
public:
    bool isNull() const { return m_rowId == 0; }
    bool operator==(const Bookmark &other) const
    {
        return m_rowId == other.m_rowId && m_primaryKey == other.m_primaryKey;
    }

private:
    friend class Table;
    qint64 m_rowId = 0;
    QVariantList m_primaryKey; // guards against a new record that reuses a deleted row id
    // Where the record stood when the bookmark was taken, while the data, order and filter are
    // as they were then: going back needs no count of the records before it.
    qint64 m_position = -1;
    quint64 m_dataStamp = 0;
    quint64 m_viewStamp = 0;
};

enum class LocateOption {
    CaseInsensitive = 0x1,
    PartialKey = 0x2, // the field's text starts with the given text
};
Q_DECLARE_FLAGS(LocateOptions, LocateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(LocateOptions)

// What a post or edit error handler decides: Fail keeps the pending change (the caller may fix
// it and post again), Abort cancels it. The failing call returns false either way.
enum class ErrorAction { Fail, Abort };
using TableErrorHandler =
    std::function<void(Table &table, const EngineError &error, ErrorAction &action)>;

// The part of a date or time field that a grouped count groups by.
enum class DatePart { Hour, IsoWeekday, Day, Month };

// Fills the calculated fields of a record from its stored fields.
using CalcFieldsCallback = std::function<void(Record &record)>;

// A cursor on one table of a Database, addressed by its file name ("SaleSolars.DB"); the
// QObject name ("TableSaleSolars") appears in error texts.
//
// The cursor moves through the records in the order of the current index (empty name: the
// primary key), restricted by the filter when filtering is on. It never loads the table: each
// move asks SQLite for the one neighbouring record by its index key (keyset navigation), record
// counts and sums are SQL aggregates. Like the desk's old engine:
//   - first() sets bof(), last() sets eof(); next() on the last record sets eof() and stays,
//     prior() on the first sets bof(); an empty table has both and no current record;
//   - the usual walk is  first(); while (!eof()) { ...; next(); }
//   - edit(), setValue(), post() change the current record; cancel() drops the change;
//     moving in the edit state posts first;
//   - deleteRecord() moves to the next record (the prior one when it was the last).
// Every failing call returns false (engine calls: their error code) and sets
// Engine::lastError(); post and edit failures go to the error handlers first.
//
// A walk reads ahead in batches along the order's index (under a filter only as far as the
// filtered records reach). Changes made through this program's Database show at the next step;
// another program's changes show at the next batch, at refresh() or when the cursor is set anew.
//
// Attached views follow the signals; disableControls()/enableControls() nest and suppress them,
// and the outermost enableControls() emits one recordsChanged() and currentRecordChanged().
class Table : public QObject
{
    Q_OBJECT

public:
    enum class State { Inactive, Browse, Edit };

    Table(Database *database, const QString &fileName, QObject *parent = nullptr);
    ~Table() override;

    Database *database() const;
    QString fileName() const;  // "SaleSolars.DB"
    QString tableName() const; // "SaleSolars"

    // --- Opening -------------------------------------------------------------------------
    // An exclusive open fails while another program has the table open, and keeps other
    // programs out while it lasts; the table objects of this program do not exclude each
    // other. Set the flag before open().
    void setExclusive(bool exclusive);
    bool exclusive() const;
    bool open(); // opens on the first record of the current index
    void close();
    bool isOpen() const;
    State state() const;

    // --- Structure -----------------------------------------------------------------------
    // Stored fields in table order, then the calculated ones; valid while open.
    const FieldList &fields() const;
    // Declares the calculated fields (type, size, optional SQL expression); before open().
    void setCalculatedFields(const QList<FieldDefinition> &fields);

    // Index definitions, primary key first (empty name), then the others in creation order.
    // These three work on a closed table too; changing indexes needs the table exclusively
    // (a closed table is held exclusively for the duration of the call).
    QList<IndexDefinition> indexDefinitions();
    bool addIndex(const IndexDefinition &index); // Primary: unnamed, rebuilds the table
    bool deleteIndex(const QString &name);       // case-insensitive; "" drops the primary key

    bool setIndexName(const QString &name); // "" = primary key; keeps the current record
    QString indexName() const;

    // --- Navigation ----------------------------------------------------------------------
    bool first();
    bool last();
    bool next();  // false at the end (eof() set)
    bool prior(); // false at the beginning (bof() set)
    bool bof() const;
    bool eof() const;
    bool isEmpty();
    qint64 recordCount(); // of the filtered records; cached until the data change
    // 0-based position of the current record in the current order; -1 without one.
    qint64 recordNumber();
    bool moveToRecordNumber(qint64 number);
    // Re-reads the current record (another program or SQL may have changed it); when it is
    // gone, the cursor moves to the record that followed it.
    bool refresh();

    Bookmark bookmark() const;                    // null without a current record
    bool bookmarkValid(const Bookmark &bookmark); // the record exists and passes the filter
    bool gotoBookmark(const Bookmark &bookmark);

    // Moves to the first record, in the current order, whose field matches; false (cursor
    // unchanged) when none does.
    bool locate(const QString &field, const QVariant &value, LocateOptions options = {});

    // --- Current record ------------------------------------------------------------------
    bool hasCurrentRecord() const;
    const Record &record() const; // the edit buffer in the edit state
    QVariant value(const QString &field) const;
    QVariant value(int index) const;

    // --- Changing records ----------------------------------------------------------------
    bool edit(); // failures go to the edit error handler
    bool setValue(const QString &field, const QVariant &value);
    bool post(); // failures go to the post error handler
    void cancel();
    // Inserts a record given all stored values in field order; it becomes the current
    // record. Failures go to the post error handler.
    bool append(const QVariantList &values);
    bool deleteRecord();

    void setPostErrorHandler(TableErrorHandler handler);
    void setEditErrorHandler(TableErrorHandler handler);
    TableErrorHandler postErrorHandler() const;
    TableErrorHandler editErrorHandler() const;

    // --- Filter --------------------------------------------------------------------------
    // Conditions joined by AND; applied while filtering is on. Both move to the first record.
    bool setFilter(const Filter &filter);
    Filter filter() const;
    bool setFiltered(bool on);
    bool filtered() const;

    // Count of the filtered records and the sum of a numeric field over them, in one SQL
    // aggregate (the count also answers recordCount() until the data change, and the current
    // record's recordNumber() is found in the same scan). A calculated field counts when it has
    // an SQL expression (PRICE_TOTAL).
    bool countAndSum(const QString &field, qint64 *count, double *sum);
    // Count of the filtered records per value of the field's part: Hour of a Time field (0-23),
    // IsoWeekday (Monday 1 .. Sunday 7), Day (1-31) or Month (1-12) of a Date field; parts
    // without records are absent. Blank values are not counted. One SQL aggregate.
    bool countByPart(const QString &field, DatePart part, QMap<int, qint64> *counts);

    // --- Calculated fields ---------------------------------------------------------------
    void setCalcFieldsCallback(CalcFieldsCallback callback);
    // Off: calculated fields stay empty (a sale switches them off while it writes).
    void setAutoCalcFields(bool on);
    void calculateFields(Record &record) const; // as every read does

    // --- Attached views ------------------------------------------------------------------
    void disableControls();
    void enableControls();

    // A window of records in the current order, for views: at most count records from the
    // 0-based position offset, with their bookmarks and calculated fields.
    struct WindowRow
    {
        Bookmark bookmark;
        Record record;
    };
    QList<WindowRow> readWindow(qint64 offset, int count);

    // --- Engine calls on the table: 0 on success, otherwise the error code -----------------
    quint16 emptyTable(); // deletes every record
    // Rebuilds all indexes of the table: the pack below, which keeps its protection as it is.
    quint16 regenerateIndexes();
    // Packs the table (rewrites its file without free space) and protects it with the table
    // password registered with the engine, or takes the protection off. A change of protection
    // writes a new file and puts it in place of the old one; it needs every table of the
    // database closed.
    quint16 restructure(bool pack, bool protect);
    // Makes sure the table's committed changes are on disk; refused inside a transaction.
    quint16 flush();

signals:
    void recordsChanged();       // records, order or filter changed: views reload
    void currentRecordChanged(); // the cursor moved or the current record changed
    void stateChanged();

private:
    bool changeIndexes(const std::function<bool(EngineError &)> &change);

    struct Private;
    std::unique_ptr<Private> d;
};
