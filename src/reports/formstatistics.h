#pragma once

#include "reports/logic/statistics.h"

#include <QDialog>

class QChart;
class QChartView;
class QPrinter;
class Table;

// One statistic as a line chart: a point per bucket, the customers counted in it as its value.
class TFormStatistics : public QDialog
{
    Q_OBJECT

public:
    explicit TFormStatistics(const StatisticCounts &counts, QWidget *parent = nullptr);

    QChart *chart() const;

    // "Tisk...": at once on the default printer.
    void ButtonPrintClick();
    // The chart as one page, its proportions kept, the job titled "Chart" (the event log names
    // the chart's title). False after a warning.
    bool print(QPrinter &printer);

private:
    QChartView *m_chartView = nullptr;
};

// Counts the statistic over the cursor's filtered receipts and shows it modally. Afterwards the
// cursor stands on the last filtered receipt.
void showStatistics(Table &sales, Statistic statistic, QWidget *parent);
