#include "data/internal/tablestructure.h"

#include "core/filesync.h"
#include "data/internal/pagecipher.h"
#include "data/internal/protectedvfs.h"
#include "data/internal/sqlconnection.h"
#include "data/internal/storage.h"
#include "data/tablekeys.h"

#include <QFile>

#include <sqlite3.h>

bool TableStructure::loadFields(SqlConnection &sql, EngineError *error)
{
    EngineError sqlError;
    SqlStatement statement = sql.prepare(
        QStringLiteral(
            "SELECT name, type FROM pragma_table_xinfo(?, ?) WHERE hidden = 0 ORDER BY cid"),
        &sqlError);
    if (!statement.isValid()) {
        *error = sqlError;
        return false;
    }
    statement.bind({tableNameOfFile(m_fileName), sql.schemaOf(m_fileName)});
    QList<FieldDefinition> definitions;
    int rc = SQLITE_ROW;
    while ((rc = statement.step()) == SQLITE_ROW) {
        definitions.append(Storage::fieldFromDeclaration(statement.column(0).toString(),
                                                         statement.column(1).toString()));
    }
    if (rc != SQLITE_DONE) {
        *error = sql.errorFor(rc);
        return false;
    }
    if (definitions.isEmpty()) {
        *error = EngineError(EngineErrorCode::TableStructure,
                             QStringLiteral("Soubor %1 neobsahuje tabulku %2")
                                 .arg(m_fileName, tableNameOfFile(m_fileName)));
        return false;
    }
    for (FieldDefinition calculated : std::as_const(m_calculated)) {
        calculated.calculated = true;
        definitions.append(calculated);
    }
    m_fields = std::make_shared<FieldList>(definitions);
    return true;
}

bool TableStructure::loadIndexes(SqlConnection &sql, EngineError *error)
{
    m_indexes.clear();
    const QString schema = sql.schemaOf(m_fileName);
    const QString tableName = tableNameOfFile(m_fileName);
    EngineError sqlError;
    // Creation order: the rows of the schema table; the primary key's index comes first.
    SqlStatement list = sql.prepare(
        QStringLiteral("SELECT il.name, il.\"unique\", il.origin FROM pragma_index_list(?1, ?2) il "
                       "JOIN %1.sqlite_schema s ON s.name = il.name "
                       "WHERE il.partial = 0 AND il.origin IN ('pk', 'c') "
                       "ORDER BY il.origin <> 'pk', s.rowid")
            .arg(Storage::quoted(schema)),
        &sqlError);
    if (!list.isValid()) {
        *error = sqlError;
        return false;
    }
    list.bind({tableName, schema});
    struct Listed
    {
        QString name;
        bool unique;
        bool primary;
    };
    QList<Listed> listed;
    int rc = SQLITE_ROW;
    while ((rc = list.step()) == SQLITE_ROW) {
        listed.append({list.column(0).toString(), list.column(1).toInt() != 0,
                       list.column(2).toString() == QLatin1String("pk")});
    }
    if (rc != SQLITE_DONE) {
        *error = sql.errorFor(rc);
        return false;
    }
    list = SqlStatement();

    for (const Listed &entry : std::as_const(listed)) {
        SqlStatement columns = sql.prepare(
            QStringLiteral("SELECT cid, name, \"desc\", coll FROM pragma_index_xinfo(?, ?) "
                           "WHERE key = 1 ORDER BY seqno"),
            &sqlError);
        if (!columns.isValid()) {
            *error = sqlError;
            return false;
        }
        columns.bind({entry.name, schema});
        IndexInfo info;
        info.sqlName = entry.name;
        info.definition.name = entry.primary ? QString() : entry.name;
        bool usable = true;
        bool allNoCase = true;
        bool allDescending = true;
        while ((rc = columns.step()) == SQLITE_ROW) {
            if (columns.column(0).toInt() < 0) { // an expression: not an index of fields
                usable = false;
                continue;
            }
            OrderTerm term;
            const QString fieldName = columns.column(1).toString();
            term.field = m_fields->indexOf(fieldName);
            term.column = Storage::quoted(fieldName);
            term.descending = columns.column(2).toInt() != 0;
            term.collation = columns.column(3).toString();
            allNoCase &= term.collation.compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0;
            allDescending &= term.descending;
            info.terms.append(term);
            info.definition.fields.append(fieldName);
        }
        if (rc != SQLITE_DONE) {
            *error = sql.errorFor(rc);
            return false;
        }
        if (!usable || info.terms.isEmpty())
            continue;
        if (entry.primary)
            info.definition.options |= IndexDefinition::Primary;
        if (entry.unique)
            info.definition.options |= IndexDefinition::Unique;
        if (allNoCase)
            info.definition.options |= IndexDefinition::CaseInsensitive;
        if (allDescending)
            info.definition.options |= IndexDefinition::Descending;
        m_indexes.append(info);
    }
    return true;
}

const IndexInfo *TableStructure::findIndex(const QString &name) const
{
    for (const IndexInfo &info : m_indexes) {
        if (name.isEmpty() ? info.definition.isPrimary()
                           : info.definition.name.compare(name, Qt::CaseInsensitive) == 0)
            return &info;
    }
    return nullptr;
}

bool TableStructure::hasCaseInsensitiveIndexOn(int field) const
{
    for (const IndexInfo &info : m_indexes) {
        const OrderTerm &term = info.terms.first();
        if (term.field == field &&
            term.collation.compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool TableStructure::addIndex(SqlConnection &sql, const IndexDefinition &index,
                              const QString &tableName, EngineError *error)
{
    if (index.fields.isEmpty()) {
        *error =
            EngineError(EngineErrorCode::UnknownField, QStringLiteral("Index nemá žádné pole"));
        return false;
    }
    for (const QString &field : index.fields) {
        const int at = m_fields->indexOf(field);
        if (at < 0 || m_fields->at(at).calculated) {
            *error = EngineError(
                EngineErrorCode::UnknownField,
                QStringLiteral("Pole %1 v tabulce %2 neexistuje").arg(field, tableName));
            return false;
        }
    }
    if (index.isPrimary()) {
        if (findIndex(QString())) {
            *error = EngineError(EngineErrorCode::IndexExists,
                                 QStringLiteral("Tabulka %1 již má primární klíč").arg(tableName));
            return false;
        }
        return rebuildTable(sql, true, index.fields, error);
    }
    if (index.name.isEmpty() || findIndex(index.name)) {
        *error = EngineError(
            EngineErrorCode::IndexExists,
            index.name.isEmpty()
                ? QStringLiteral("Vedlejší index musí mít jméno")
                : QStringLiteral("Index %1 tabulky %2 již existuje").arg(index.name, tableName));
        return false;
    }
    QList<OrderTerm> terms;
    for (const QString &field : index.fields) {
        OrderTerm term;
        term.column = Storage::quoted(m_fields->at(m_fields->indexOf(field)).name);
        term.collation = index.options.testFlag(IndexDefinition::CaseInsensitive)
                             ? QStringLiteral("NOCASE")
                             : QString();
        term.descending = index.options.testFlag(IndexDefinition::Descending);
        terms.append(term);
    }
    return sql.exec(createIndexSql(sql.schemaOf(m_fileName), index.name,
                                   index.options.testFlag(IndexDefinition::Unique), terms),
                    {}, error);
}

bool TableStructure::deleteIndex(SqlConnection &sql, const QString &name, const QString &tableName,
                                 EngineError *error)
{
    const IndexInfo *info = findIndex(name);
    if (!info) {
        *error = EngineError(
            EngineErrorCode::UnknownIndex,
            name.isEmpty() ? QStringLiteral("Tabulka %1 nemá primární klíč").arg(tableName)
                           : QStringLiteral("Index %1 tabulky %2 neexistuje").arg(name, tableName));
        return false;
    }
    if (info->definition.isPrimary())
        return rebuildTable(sql, false, {}, error);
    sql.clearCache();
    return sql.exec(
        QStringLiteral("DROP INDEX %1.%2")
            .arg(Storage::quoted(sql.schemaOf(m_fileName)), Storage::quoted(info->sqlName)),
        {}, error);
}

QString TableStructure::createIndexSql(const QString &schema, const QString &name, bool unique,
                                       const QList<OrderTerm> &terms) const
{
    QStringList columns;
    for (const OrderTerm &term : terms)
        columns.append(term.expression() + (term.descending ? QStringLiteral(" DESC") : QString()));
    return QStringLiteral("CREATE %1INDEX %2.%3 ON %4 (%5)")
        .arg(unique ? QStringLiteral("UNIQUE ") : QString(), Storage::quoted(schema),
             Storage::quoted(name), Storage::quoted(tableNameOfFile(m_fileName)),
             columns.join(QStringLiteral(", ")));
}

bool TableStructure::rebuildTable(SqlConnection &sql, bool withPrimaryKey,
                                  const QStringList &keyFields, EngineError *error)
{
    // SQLite cannot add or drop a primary key in place: the rows move, with their row ids,
    // into a new table of the same columns, which then takes the old name and the secondary
    // indexes. One savepoint: a key violation or any failure leaves the table as it was.
    const QString schema = sql.schemaOf(m_fileName);
    const QString qualified = sql.qualifiedTable(m_fileName);
    const QString tableName = tableNameOfFile(m_fileName);
    const QString temporary = tableName + QStringLiteral("__rebuild");
    const QString qualifiedTemporary =
        Storage::quoted(schema) + QLatin1Char('.') + Storage::quoted(temporary);
    QStringList columnDefinitions;
    QStringList columnNames;
    for (int i = 0; i < m_fields->storedCount(); ++i) {
        columnDefinitions.append(Storage::columnSql(m_fields->at(i)));
        columnNames.append(Storage::quoted(m_fields->at(i).name));
    }
    if (withPrimaryKey) {
        QStringList keys;
        for (const QString &key : keyFields)
            keys.append(Storage::quoted(key));
        columnDefinitions.append(
            QStringLiteral("PRIMARY KEY (%1)").arg(keys.join(QStringLiteral(", "))));
    }
    QStringList secondary;
    for (const IndexInfo &info : std::as_const(m_indexes)) {
        if (!info.definition.isPrimary()) {
            secondary.append(createIndexSql(
                schema, info.definition.name,
                info.definition.options.testFlag(IndexDefinition::Unique), info.terms));
        }
    }
    const QString columns = columnNames.join(QStringLiteral(", "));
    const QStringList steps = {
        QStringLiteral("SAVEPOINT velmora_rebuild"),
        QStringLiteral("CREATE TABLE %1 (%2)")
            .arg(qualifiedTemporary, columnDefinitions.join(QStringLiteral(", "))),
        QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT rowid, %2 FROM %3 ORDER BY rowid")
            .arg(qualifiedTemporary, columns, qualified),
        QStringLiteral("DROP TABLE %1").arg(qualified),
        QStringLiteral("ALTER TABLE %1 RENAME TO %2")
            .arg(qualifiedTemporary, Storage::quoted(tableName)),
    };
    sql.clearCache(); // no statement may keep the old table in use
    for (const QString &step : steps + secondary) {
        if (!sql.exec(step, {}, error)) {
            EngineError ignored;
            sql.exec(QStringLiteral("ROLLBACK TO velmora_rebuild"), {}, &ignored);
            sql.exec(QStringLiteral("RELEASE velmora_rebuild"), {}, &ignored);
            return false;
        }
    }
    return sql.exec(QStringLiteral("RELEASE velmora_rebuild"), {}, error);
}

namespace {

// For the length of a pack: the copy passes each page once, so the file's large page cache,
// which VACUUM gives its copy too, would only cost allocations.
class OnePassCache
{
public:
    OnePassCache(SqlConnection &sql, const QString &fileName) : m_sql(sql), m_fileName(fileName)
    {
        m_sql.setLargeCache(m_fileName, false);
    }
    ~OnePassCache() { m_sql.setLargeCache(m_fileName, true); }
    OnePassCache(const OnePassCache &) = delete;
    OnePassCache &operator=(const OnePassCache &) = delete;

private:
    SqlConnection &m_sql;
    QString m_fileName;
};

} // namespace

bool TableStructure::pack(SqlConnection &sql, EngineError *error)
{
    sql.clearCache(); // VACUUM refuses to run beside active statements
    const OnePassCache cache(sql, m_fileName);
    return sql.exec(QStringLiteral("VACUUM ") + Storage::quoted(sql.schemaOf(m_fileName)), {},
                    error);
}

bool TableStructure::packInto(SqlConnection &sql, const QString &target, bool protect,
                              EngineError *error)
{
    if (protect && !TableKeys::forNewFile()) {
        *error = EngineError(
            EngineErrorCode::NoTablePassword,
            QStringLiteral("Tabulku %1 nelze chránit: heslo tabulek není zadáno").arg(m_fileName));
        return false;
    }
    sql.clearCache(); // VACUUM refuses to run beside active statements
    const OnePassCache cache(sql, m_fileName);
    // A protected file needs room for each page's nonce and tag. SQLite never takes reserved
    // bytes away again, so a file made plain keeps them unused.
    sql.requestReservedBytes(m_fileName, protect ? PageCipher::ReservedBytes : 0);
    const bool written =
        sql.exec(QStringLiteral("VACUUM %1 INTO ?").arg(Storage::quoted(sql.schemaOf(m_fileName))),
                 {ProtectedVfs::fileUri(target, protect)}, error);
    if (written && ::syncFile(target))
        return true;
    if (written) {
        *error = EngineError(EngineErrorCode::FileError,
                             QStringLiteral("Tabulku %1 nelze uložit na disk").arg(m_fileName));
    }
    QFile::remove(target);
    return false;
}

bool TableStructure::syncFile(const SqlConnection &sql, EngineError *error) const
{
    // Committed changes are already on disk (synchronous FULL); the sync makes sure of it and
    // tells when the file cannot be written.
    const bool synced = ::syncFile(sql.filePath(m_fileName));
    if (!synced) {
        *error = EngineError(EngineErrorCode::FileError,
                             QStringLiteral("Tabulku %1 nelze uložit na disk").arg(m_fileName));
    }
    return synced;
}
