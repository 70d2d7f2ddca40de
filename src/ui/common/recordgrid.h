#pragma once

#include <QTableView>

class TableModel;

// The look and behaviour every grid of records shares: whole-row selection, no editing, no tab
// stops inside, one line of fixed height per record, the titles in the grid font, columns fitted
// to the rows on the screen only.
void setUpRecordView(QTableView *view);

// A grid of a table's records: whole-row selection, no editing, one line of fixed height per
// record. The selected row follows the table's current record (scrolled into view), and choosing
// a row moves the table's cursor there. Columns widen to fit their titles and the rows on the
// screen when it is shown and whenever the rows change, never narrowing, so that they do not
// jump while the user types; a table of a million records is never measured whole.
class RecordGrid : public QTableView
{
    Q_OBJECT

public:
    RecordGrid(TableModel *model, QWidget *parent);

    int rowHeight() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showCurrentRecord(int row);
    void widenColumnsToVisibleRows();

    TableModel *m_model;
    bool m_fitted = false; // the first fit sets the widths, later ones only widen
};
