#pragma once

// How an application describes one of its tables to the engine and its views: the stored and
// calculated fields, every field's display attributes and the index set.

#include "data/display.h"
#include "data/fields.h"

#include <QList>
#include <QString>
#include <QStringList>

// "Money" -> "Money.DB"
QString fileNameOfTable(const QString &tableName);

// Index sets: the first entry is the primary key, every further entry names one field that gets
// two case-insensitive secondary indexes, "_" + field ascending and field + "_" descending.
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
    const FieldDefinition *
    field(const QString &fieldName) const;                   // stored or calculated, or nullptr
    const FieldDisplay *display(const QString &field) const; // nullptr when unknown
    QList<FieldDisplay> visibleColumns() const;
};

// A table file with the definition's stored columns and nothing else (the engine then adds the
// index set), in the rollback-journal mode the engine keeps.
bool createTableFile(const QString &path, const TableDefinition &table, QString *error);
