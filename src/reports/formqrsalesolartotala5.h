#pragma once

#include "reports/engine/pagestore.h"
#include "reports/engine/reportdefinition.h"
#include "reports/formqrsalesolara5.h"

#include <QDate>

class Table;

// The period the sales browser shows: every receipt, or the days from first to last.
struct TotalsPeriod
{
    bool all = true;
    QDate first;
    QDate last;
};

// "Tržby": the receipts the cursor passes, in its order, summed into one line per run of
// receipts of the same day (without tax, tax, total), then the number of lines and the grand
// totals. The headings name the tax rate of the desk's settings. Laying it out walks the cursor.
class TFormQRSaleSolarTotalA5
{
public:
    TFormQRSaleSolarTotalA5(Table &saleSolars, TotalsPeriod period, ReceiptTexts texts,
                            int taxRate);

    ReportDefinition definition();
    PageStore layOut();

private:
    struct Sums
    {
        double withoutTax = 0;
        double tax = 0;
        double total = 0;
    };

    ReportBand columnHeader();
    ReportBand detailBand();
    ReportBand summaryBand();
    void start();
    void nextLine(bool &more);

    Table &m_saleSolars;
    TotalsPeriod m_period;
    ReceiptTexts m_texts;
    int m_taxRate;

    QDate m_groupDate;
    int m_lineCount = 0;
    Sums m_day;
    Sums m_totals;
    QStringList m_lineTexts; // date, without tax, tax, total of the line being printed
};
