#pragma once

#include "data/display.h"
#include "data/internal/pagecache.h"
#include "data/table.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

// A view model of a Table for grids: one column per given field display (title, format,
// display values, alignment), rows in the table's current index order and filter. Rows are read
// in pages and a few pages are kept (PageCache), so the model never loads the table.
// It resets when the table's records, order or filter change, and reports the row of the
// table's current record (in the edit state the row shows the edit buffer).
//
//     TableModel model(&tableSaleSolars, saleSolarsTable().visibleColumns());
//     view->setModel(&model);
class TableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    TableModel(Table *table, const QList<FieldDisplay> &columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole: the formatted text; EditRole: the value; TextAlignmentRole: the alignment.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    Table *table() const { return m_table; }
    const FieldDisplay &column(int column) const { return m_columns.at(column); }
    int columnOfField(const QString &field) const; // -1 when not shown

    int currentRow() const { return m_currentRow; } // -1 without a current record
    bool setCurrentRow(int row);                    // moves the table's cursor to the row
    Bookmark bookmarkAt(int row) const;

signals:
    void currentRowChanged(int row);

private:
    void reload();
    void followCurrent();
    const Table::WindowRow *rowAt(int row) const;

    QPointer<Table> m_table;
    QList<FieldDisplay> m_columns;
    QList<int> m_fieldIndexes; // per column, in the table's field list
    int m_rowCount = 0;
    int m_currentRow = -1;
    mutable PageCache<Table::WindowRow> m_rows;
};
