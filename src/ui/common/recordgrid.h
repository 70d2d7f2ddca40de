#pragma once

#include <QTableView>

class TableModel;

// A grid of a table's records: whole-row selection, no editing, one line of fixed height per
// record. The selected row follows the table's current record, and choosing a row moves the
// table's cursor there.
class RecordGrid : public QTableView
{
    Q_OBJECT

public:
    RecordGrid(TableModel *model, QWidget *parent);

    TableModel *recordModel() const { return m_model; }
    int rowHeight() const;
    // Fits the columns to their titles and the rows on the screen, once: a table of a million
    // records is never measured whole.
    void fitColumnsToVisibleRows();

private:
    void showCurrentRecord(int row);

    TableModel *m_model;
};
