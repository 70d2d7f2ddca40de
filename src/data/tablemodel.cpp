#include "data/tablemodel.h"

TableModel::TableModel(Table *table, const QList<FieldDisplay> &columns, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_columns(columns)
{
    connect(table, &Table::recordsChanged, this, &TableModel::reload);
    connect(table, &Table::currentRecordChanged, this, &TableModel::followCurrent);
    connect(table, &Table::stateChanged, this, &TableModel::followCurrent);
    reload();
}

int TableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int TableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

int TableModel::columnOfField(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TableModel::reload()
{
    beginResetModel();
    m_rows.clear();
    m_fieldIndexes.clear();
    const bool open = m_table && m_table->isOpen();
    for (const FieldDisplay &display : std::as_const(m_columns))
        m_fieldIndexes.append(open ? m_table->fields().indexOf(display.field) : -1);
    m_rowCount =
        open ? int(qMin<qint64>(m_table->recordCount(), std::numeric_limits<int>::max())) : 0;
    m_currentRow = open && m_table->hasCurrentRecord() ? int(m_table->recordNumber()) : -1;
    endResetModel();
    emit currentRowChanged(m_currentRow);
}

void TableModel::followCurrent()
{
    if (!m_table || !m_table->isOpen()) {
        if (m_rowCount != 0)
            reload();
        return;
    }
    const int previous = m_currentRow;
    m_currentRow = m_table->hasCurrentRecord() ? int(m_table->recordNumber()) : -1;
    const int last = int(m_columns.size()) - 1;
    for (const int row : {previous, m_currentRow}) {
        if (row >= 0 && row < m_rowCount && last >= 0)
            emit dataChanged(index(row, 0), index(row, last));
    }
    if (previous != m_currentRow)
        emit currentRowChanged(m_currentRow);
}

const Table::WindowRow *TableModel::rowAt(int row) const
{
    if (!m_table || row < 0 || row >= m_rowCount)
        return nullptr;
    return m_rows.at(
        row, [this](qint64 offset, int count) { return m_table->readWindow(offset, count); });
}

QVariant TableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return QVariant();
    const FieldDisplay &display = m_columns.at(index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant(display.alignment);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const int field = m_fieldIndexes.value(index.column(), -1);
    if (field < 0)
        return QVariant();
    const bool editing =
        index.row() == m_currentRow && m_table && m_table->state() == Table::State::Edit;
    const Record *record = nullptr;
    if (editing) {
        record = &m_table->record();
    } else if (const Table::WindowRow *row = rowAt(index.row())) {
        record = &row->record;
    }
    if (!record)
        return QVariant();
    const QVariant value = record->value(field);
    return role == Qt::EditRole ? value
                                : QVariant(display.text(record->fields().at(field).type, value));
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns.at(section).title;
    if (role == Qt::TextAlignmentRole)
        return QVariant(m_columns.at(section).alignment);
    return QVariant();
}

bool TableModel::setCurrentRow(int row)
{
    if (!m_table)
        return false;
    // A row on the screen is read already: its bookmark finds it without counting.
    const Bookmark mark = bookmarkAt(row);
    return mark.isNull() ? m_table->moveToRecordNumber(row) : m_table->gotoBookmark(mark);
}

Bookmark TableModel::bookmarkAt(int row) const
{
    const Table::WindowRow *found = rowAt(row);
    return found ? found->bookmark : Bookmark();
}
