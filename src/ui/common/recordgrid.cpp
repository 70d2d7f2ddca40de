#include "ui/common/recordgrid.h"

#include "data/tablemodel.h"
#include "ui/common/uifonts.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QStyleOptionHeader>

namespace {

// The record indicator column: a narrow blank column left of the rows that marks the current
// record with an arrow. A double click there is not a double click on a record.
class RecordIndicator final : public QHeaderView
{
public:
    explicit RecordIndicator(QWidget *parent) : QHeaderView(Qt::Vertical, parent)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
    }

    void setSelectionModel(QItemSelectionModel *selectionModel) override
    {
        QHeaderView::setSelectionModel(selectionModel);
        if (selectionModel) {
            connect(selectionModel, &QItemSelectionModel::currentRowChanged, viewport(),
                    qOverload<>(&QWidget::update));
        }
    }

protected:
    QSize sizeHint() const override { return {IndicatorWidth, QHeaderView::sizeHint().height()}; }

    QSize sectionSizeFromContents(int) const override
    {
        return {IndicatorWidth, defaultSectionSize()};
    }

    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.rect = rect;
        option.section = logicalIndex;
        style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
        if (!selectionModel() || selectionModel()->currentIndex().row() != logicalIndex)
            return;
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = rect.adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_IndicatorArrowRight, &arrow, painter, this);
    }

private:
    static constexpr int IndicatorWidth = 12;
};

} // namespace

void setUpRecordView(QTableView *view)
{
    const int rowHeight = view->fontMetrics().height() + 6;
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);
    view->setWordWrap(false);
    view->setVerticalHeader(new RecordIndicator(view));
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(rowHeight);
    QHeaderView *titles = view->horizontalHeader();
    titles->setFont(UiFonts::sansSerif(9));
    titles->setHighlightSections(false);
    titles->setMinimumSectionSize(rowHeight);
    titles->setResizeContentsPrecision(0); // fitting a column measures the rows on the screen only
}

RecordGrid::RecordGrid(TableModel *model, QWidget *parent) : QTableView(parent), m_model(model)
{
    setModel(model);
    setUpRecordView(this);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() != m_model->currentRow())
                    m_model->setCurrentRow(current.row());
            });
    connect(model, &TableModel::currentRowChanged, this, &RecordGrid::showCurrentRecord);
    // Once the view has laid out the new rows.
    connect(model, &QAbstractItemModel::modelReset, this, &RecordGrid::widenColumnsToVisibleRows,
            Qt::QueuedConnection);
    showCurrentRecord(model->currentRow());
}

int RecordGrid::rowHeight() const
{
    return verticalHeader()->defaultSectionSize();
}

void RecordGrid::showEvent(QShowEvent *event)
{
    QTableView::showEvent(event);
    widenColumnsToVisibleRows();
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

void RecordGrid::widenColumnsToVisibleRows()
{
    if (!isVisible())
        return;
    QHeaderView *titles = horizontalHeader();
    for (int column = 0; column < titles->count(); ++column) {
        if (titles->sectionResizeMode(column) != QHeaderView::Interactive)
            continue; // the window sizes this column itself
        const int fitting = qMax(sizeHintForColumn(column), titles->sectionSizeHint(column));
        if (!m_fitted || fitting > columnWidth(column))
            setColumnWidth(column, fitting);
    }
    m_fitted = true;
}

void RecordGrid::showCurrentRecord(int row)
{
    if (row < 0) {
        selectionModel()->clearSelection();
        return;
    }
    // After a reset the scroll range must know the new rows before the record can be shown.
    executeDelayedItemsLayout();
    const QModelIndex current = model()->index(row, 0);
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect |
                                                   QItemSelectionModel::Rows);
    scrollTo(current);
}
