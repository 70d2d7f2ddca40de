#include "data/querymodel.h"

#include "data/query.h"
#include "data/resulteditor.h"

#include <limits>

QueryModel::QueryModel(Query *query, QObject *parent) : QAbstractTableModel(parent), m_query(query)
{
    reload();
}

void QueryModel::reload()
{
    beginResetModel();
    m_rows.clear();
    m_columns.clear();
    m_types.clear();
    const bool open = m_query && m_query->isOpen();
    if (open) {
        for (const FieldDefinition &field : m_query->fields()) {
            FieldDisplay display;
            display.field = display.title = field.name;
            if (isNumberType(field.type))
                display.alignment = Qt::AlignRight | Qt::AlignVCenter;
            if (field.type == FieldType::Logical)
                display.displayValues = QStringLiteral("Ano;Ne");
            m_columns.append(display);
            m_types.append(field.type);
        }
    }
    m_rowCount =
        open ? int(qMin<qint64>(m_query->recordCount(), std::numeric_limits<int>::max())) : 0;
    endResetModel();
}

int QueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int QueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant QueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_query || index.row() >= m_rowCount ||
        index.column() >= m_columns.size())
        return QVariant();
    const FieldDisplay &display = m_columns.at(index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant(display.alignment);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const QVariant value = rowValues(index.row()).value(index.column());
    return role == Qt::EditRole ? value : QVariant(display.text(m_types.at(index.column()), value));
}

QVariantList QueryModel::rowValues(int row) const
{
    if (!m_query || row < 0 || row >= m_rowCount)
        return {};
    const QVariantList *values = m_rows.at(
        row, [this](qint64 offset, int count) { return m_query->readWindow(offset, count); });
    return values ? *values : QVariantList();
}

void QueryModel::setEditor(ResultEditor *editor)
{
    m_editor = editor;
}

void QueryModel::setEditing(bool on)
{
    m_editing = on;
}

bool QueryModel::editing() const
{
    return m_editing && m_editor && m_editor->editable();
}

Qt::ItemFlags QueryModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return editing() && index.isValid() ? flags | Qt::ItemIsEditable : flags;
}

bool QueryModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !editing())
        return false;
    if (value == rowValues(index.row()).value(index.column()))
        return true;
    const QVariantList before = rowValues(index.row());
    if (!m_editor->setValue(before, index.column(), value)) {
        emit editFailed();
        return false;
    }
    m_rows.clear(); // read again as stored
    emit edited(before, index.column());
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

QVariant QueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size() ||
        role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_columns.at(section).title;
}
