#include "data/tabledefinition.h"

#include "data/internal/storage.h"

#include <QFile>

#include <sqlite3.h>

QString fileNameOfTable(const QString &tableName)
{
    return tableName + QStringLiteral(".DB");
}

QList<IndexDefinition> indexSetEntry(const QStringList &indexSet, int k)
{
    if (k < 0 || k >= indexSet.size())
        return {};
    const QString &field = indexSet.at(k);
    if (k == 0)
        return {IndexDefinition{
            QString(), {field}, IndexDefinition::Primary | IndexDefinition::Unique}};
    return {IndexDefinition{QLatin1Char('_') + field, {field}, IndexDefinition::CaseInsensitive},
            IndexDefinition{field + QLatin1Char('_'),
                            {field},
                            IndexDefinition::CaseInsensitive | IndexDefinition::Descending}};
}

QList<IndexDefinition> indexSetDefinitions(const QStringList &indexSet)
{
    QList<IndexDefinition> definitions;
    for (int k = 0; k < indexSet.size(); ++k)
        definitions += indexSetEntry(indexSet, k);
    return definitions;
}

const FieldDefinition *TableDefinition::field(const QString &fieldName) const
{
    for (const QList<FieldDefinition> *list : {&fields, &calculatedFields}) {
        for (const FieldDefinition &definition : *list) {
            if (definition.name == fieldName)
                return &definition;
        }
    }
    return nullptr;
}

const FieldDisplay *TableDefinition::display(const QString &field) const
{
    for (const FieldDisplay &attributes : displays) {
        if (attributes.field.compare(field, Qt::CaseInsensitive) == 0)
            return &attributes;
    }
    return nullptr;
}

QList<FieldDisplay> TableDefinition::visibleColumns() const
{
    QList<FieldDisplay> columns;
    for (const FieldDisplay &attributes : displays) {
        if (attributes.visible)
            columns.append(attributes);
    }
    return columns;
}

bool createTableFile(const QString &path, const TableDefinition &table, QString *error)
{
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QStringList columns;
    for (const FieldDefinition &definition : table.fields)
        columns.append(Storage::columnSql(definition));
    const QByteArray sql = QStringLiteral("PRAGMA journal_mode = DELETE; CREATE TABLE %1 (%2);")
                               .arg(Storage::quoted(table.name), columns.join(QStringLiteral(", ")))
                               .toUtf8();
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        *error = QStringLiteral("Soubor %1 nelze vytvořit [%2]")
                     .arg(path, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
    }
    sqlite3_close_v2(db);
    return rc == SQLITE_OK;
}
