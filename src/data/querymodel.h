#pragma once

#include "data/display.h"
#include "data/internal/pagecache.h"

#include <QAbstractTableModel>
#include <QPointer>

class Query;
class ResultEditor;

// A view model of a Query's open result for grids: a column per result field, titled with its
// name, the values shown as the field's type shows them (numbers to the right). Rows are read in
// pages (PageCache), so a result of a million rows shows its first rows at once. reload() after
// the query ran or closed. With an editor that can change the result and editing switched on,
// its cells are editable; each change is posted through the editor at once.
class QueryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit QueryModel(Query *query, QObject *parent = nullptr);

    void reload();
    void setEditor(ResultEditor *editor);
    void setEditing(bool on);
    bool editing() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole: the formatted text; EditRole: the value; TextAlignmentRole: the alignment.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // The values of a row as read, for the editor; empty past the end.
    QVariantList rowValues(int row) const;

signals:
    void editFailed(); // a change the engine refused; its last error says why
    void edited(const QVariantList &row, int column); // posted; row as it was before

private:
    QPointer<Query> m_query;
    ResultEditor *m_editor = nullptr;
    bool m_editing = false;
    QList<FieldDisplay> m_columns;
    QList<FieldType> m_types;
    int m_rowCount = 0;
    mutable PageCache<QVariantList> m_rows;
};
