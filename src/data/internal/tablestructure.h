#pragma once

// Engine-internal: what one table is made of as its SQLite schema tells it (the fields and the
// indexes, read when the table opens and after index changes) and the changes of that
// structure: adding and dropping indexes, packing the file, syncing it to disk.

#include "data/engineerror.h"
#include "data/fields.h"
#include "data/internal/keysetsql.h"

#include <memory>

class SqlConnection;

struct IndexInfo
{
    IndexDefinition definition;
    QString sqlName; // the name inside SQLite (the primary key's automatic index has one too)
    QList<OrderTerm> terms;
};

// The structure of the table in the file fileName. Every call that touches the database gets
// its connection; `tableName` is how error texts name the table. Index changes need the table
// held exclusively with its fields and indexes loaded; they leave the loaded indexes stale.
class TableStructure
{
public:
    explicit TableStructure(const QString &fileName) : m_fileName(fileName) {}

    void setCalculatedFields(const QList<FieldDefinition> &fields) { m_calculated = fields; }
    // Stored fields in table order, then the calculated ones.
    const std::shared_ptr<const FieldList> &fields() const { return m_fields; }
    // Primary key first, then the other indexes in creation order.
    const QList<IndexInfo> &indexes() const { return m_indexes; }
    const IndexInfo *findIndex(const QString &name) const; // "" = the primary key
    bool hasCaseInsensitiveIndexOn(int field) const;       // an index led by the field

    bool loadFields(SqlConnection &sql, EngineError *error);
    bool loadIndexes(SqlConnection &sql, EngineError *error);

    bool addIndex(SqlConnection &sql, const IndexDefinition &index, const QString &tableName,
                  EngineError *error);
    bool deleteIndex(SqlConnection &sql, const QString &name, const QString &tableName,
                     EngineError *error);

    // Rewrites the file without free space; outside a transaction, the table held exclusively.
    bool pack(SqlConnection &sql, EngineError *error);
    // Writes the packed table into a new file at `target` (which must not exist), protected or
    // plain, synced; outside a transaction. A file that is not complete is removed.
    bool packInto(SqlConnection &sql, const QString &target, bool protect, EngineError *error);
    // Makes sure the file's committed changes are on disk; outside a transaction.
    bool syncFile(const SqlConnection &sql, EngineError *error) const;

private:
    QString createIndexSql(const QString &schema, const QString &name, bool unique,
                           const QList<OrderTerm> &terms) const;
    bool rebuildTable(SqlConnection &sql, bool withPrimaryKey, const QStringList &keyFields,
                      EngineError *error);

    QString m_fileName;
    QList<FieldDefinition> m_calculated;
    std::shared_ptr<const FieldList> m_fields = std::make_shared<FieldList>();
    QList<IndexInfo> m_indexes;
};
