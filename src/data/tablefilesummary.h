#pragma once

#include "data/engineerror.h"
#include "data/fields.h"

#include <QList>
#include <QString>
#include <QVariant>

// What a table file in a folder holds, in short: how many records, and some fields of the last
// record in the order of one field (the highest value). The file is only read, through the
// engine, so a protected file needs the table password registered.
struct TableFileSummary
{
    bool readable = false;
    EngineError error; // why not readable
    qint64 count = 0;
    QVariantList last; // the wanted fields' values; empty without records
};

TableFileSummary summarizeTableFile(const QString &folder, const QString &tableFile,
                                    const QString &orderField,
                                    const QList<FieldDefinition> &lastFields);
