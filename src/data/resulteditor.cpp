#include "data/resulteditor.h"

#include "data/database.h"
#include "data/engineerror.h"
#include "data/internal/sqlconnection.h"
#include "data/query.h"
#include "data/table.h"

#include <QRegularExpression>

namespace {

// The rows of a compound select may come from other tables than its first column origins say.
bool isCompound(const QString &sql)
{
    static const QRegularExpression compound(QStringLiteral("\\b(union|intersect|except)\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    return compound.match(sql).hasMatch();
}

} // namespace

ResultEditor::ResultEditor(Database *database, Query *query) : m_database(database), m_query(query)
{}

ResultEditor::~ResultEditor() = default;

void ResultEditor::attach()
{
    m_table.reset();
    m_keyColumn = -1;
    m_columnFields.clear();
    if (!m_query->isOpen() || m_query->wrote() || isCompound(m_query->sql()))
        return;
    QString tableName;
    for (const Query::ColumnOrigin &origin : m_query->origins()) {
        if (origin.table.isEmpty() || (!tableName.isEmpty() && origin.table != tableName) ||
            m_columnFields.contains(origin.column, Qt::CaseInsensitive))
            return;
        tableName = origin.table;
        m_columnFields.append(origin.column);
    }
    QString fileName;
    for (const QString &file : m_database->tableFiles()) {
        if (tableNameOfFile(file).compare(tableName, Qt::CaseInsensitive) == 0)
            fileName = file;
    }
    if (fileName.isEmpty())
        return;
    auto table = std::make_unique<Table>(m_database, fileName);
    if (!table->open())
        return;
    for (const IndexDefinition &index : table->indexDefinitions()) {
        if (index.isPrimary() && index.fields.size() == 1)
            m_keyColumn = int(m_columnFields.indexOf(index.fields.first(), Qt::CaseInsensitive));
    }
    if (m_keyColumn >= 0)
        m_table = std::move(table);
}

QString ResultEditor::tableName() const
{
    return m_table ? m_table->tableName() : QString();
}

bool ResultEditor::failIfNotEditable() const
{
    if (m_table)
        return false;
    Engine::setLastError(EngineError(EngineErrorCode::QueryNotOpen,
                                     QStringLiteral("Výsledek dotazu nelze upravovat")));
    return true;
}

bool ResultEditor::locate(const QVariantList &row)
{
    if (failIfNotEditable())
        return false;
    if (m_table->locate(m_columnFields.at(m_keyColumn), row.value(m_keyColumn)))
        return true;
    Engine::setLastError(
        EngineError(EngineErrorCode::RecordNotFound,
                    QStringLiteral("Záznam tabulky %1 již neexistuje").arg(m_table->tableName())));
    return false;
}

bool ResultEditor::setValue(const QVariantList &row, int column, const QVariant &value)
{
    if (!locate(row) || !m_table->edit())
        return false;
    if (!m_table->setValue(m_columnFields.value(column), value) || !m_table->post()) {
        m_table->cancel();
        return false;
    }
    return true;
}

bool ResultEditor::deleteRow(const QVariantList &row)
{
    return locate(row) && m_table->deleteRecord();
}

bool ResultEditor::appendRecord(QVariant *key)
{
    if (failIfNotEditable())
        return false;
    const FieldList &fields = m_table->fields();
    const int keyField = fields.indexOf(m_columnFields.at(m_keyColumn));
    QVariantList values(fields.storedCount()); // empty: each field's own empty value
    const FieldType keyType = fields.at(keyField).type;
    if (keyType == FieldType::Short || keyType == FieldType::LongInteger) {
        // The primary order ends on the highest key.
        if (!m_table->setIndexName(QString()) || !m_table->last())
            return false;
        values[keyField] =
            m_table->hasCurrentRecord() ? m_table->value(keyField).toLongLong() + 1 : 1;
    }
    if (!m_table->append(values))
        return false;
    *key = m_table->value(keyField);
    return true;
}
