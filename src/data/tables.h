#pragma once

// The desk's three tables: structures, display attributes, index sets and calculated fields,
// and the creation of a fresh installation (used only by the set-up tool and tests; the
// program itself never creates a table).

#include "data/display.h"
#include "data/fields.h"

#include <QList>
#include <QString>
#include <QStringList>

// The order in which backups, restores and maintenance treat the tables.
inline const QStringList TableNames = {QStringLiteral("Money"), QStringLiteral("Solars"),
                                       QStringLiteral("SaleSolars")};

// "Money" -> "Money.DB"
QString fileNameOfTable(const QString &tableName);

// Index sets: the first entry is the primary key, every further entry names one field that gets
// two case-insensitive secondary indexes, "_" + field ascending and field + "_" descending.
inline const QStringList MoneyIndexes = {QStringLiteral("MONEY")};
inline const QStringList SolarsIndexes = {QStringLiteral("SOLAR")};
inline const QStringList SaleSolarsIndexes = {
    QStringLiteral("PARAGON"), QStringLiteral("PARAGON"), QStringLiteral("DATE"),
    QStringLiteral("TIME"),    QStringLiteral("SOLAR"),   QStringLiteral("PRICE"),
    QStringLiteral("OFF"),     QStringLiteral("PERIOD"),  QStringLiteral("USER")};

// The index definitions of one entry of an index set (k from 0): entry 0 the unnamed primary
// key, every other entry its ascending and descending secondary index.
QList<IndexDefinition> indexSetEntry(const QStringList &indexSet, int k);
QList<IndexDefinition> indexSetDefinitions(const QStringList &indexSet);

struct TableDefinition
{
    QString name;                            // "SaleSolars"
    QString objectName;                      // "TableSaleSolars"
    QList<FieldDefinition> fields;           // stored fields in table order
    QList<FieldDefinition> calculatedFields; // declared on the table object
    QList<FieldDisplay> displays;            // every field's display attributes, in column order
    QStringList indexSet;

    QString fileName() const { return fileNameOfTable(name); }
    const FieldDisplay *display(const QString &field) const; // nullptr when unknown
    QList<FieldDisplay> visibleColumns() const;
};

const TableDefinition &moneyTable();
const TableDefinition &solarsTable();
const TableDefinition &saleSolarsTable();
const TableDefinition *findTableDefinition(const QString &tableName); // case-insensitive

// Calculated fields, one formula each (receiptPriceTotal and CzechFormat::period of core):
// Solars: COUNTER_HOURS = COUNTER / 3600.
// SaleSolars: PERIOD_MMSS = "mm:ss" of PERIOD; PRICE_TOTAL = price of the run after discount.
void TableSolarsCalcFields(Record &record);
void TableSaleSolarsCalcFields(Record &record);

// Creates a fresh installation in the directory (made when missing): the three table files with
// their full index sets, eight Solars records (SOLAR 1 to 8, active, "Solárko N", 10.00 per
// minute, counters 0) and one Money record (0.00). Refuses when any table file exists already.
bool createInstallation(const QString &directory, QString *error);
