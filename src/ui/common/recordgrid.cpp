#include "ui/common/recordgrid.h"

#include "data/tablemodel.h"
#include "ui/common/uifonts.h"

#include <QHeaderView>

RecordGrid::RecordGrid(TableModel *model, QWidget *parent) : QTableView(parent), m_model(model)
{
    setModel(model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(rowHeight());
    QHeaderView *titles = horizontalHeader();
    titles->setFont(UiFonts::sansSerif(9));
    titles->setHighlightSections(false);
    titles->setMinimumSectionSize(rowHeight());

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() != m_model->currentRow())
                    m_model->setCurrentRow(current.row());
            });
    connect(model, &TableModel::currentRowChanged, this, &RecordGrid::showCurrentRecord);
    showCurrentRecord(model->currentRow());
}

int RecordGrid::rowHeight() const
{
    return fontMetrics().height() + 6;
}

void RecordGrid::fitColumnsToVisibleRows()
{
    horizontalHeader()->setResizeContentsPrecision(0);
    resizeColumnsToContents();
}

void RecordGrid::showCurrentRecord(int row)
{
    if (row < 0) {
        selectionModel()->clearSelection();
        return;
    }
    selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                                  QItemSelectionModel::Rows);
}
