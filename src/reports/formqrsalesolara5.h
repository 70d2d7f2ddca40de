#pragma once

#include "desk/salonrecords.h"
#include "reports/engine/pagestore.h"
#include "reports/engine/reportdefinition.h"

#include <QDate>
#include <QStringList>
#include <QTime>

class ReportMetrics;
class Table;

// The print settings' three texts as the receipt prints them.
struct ReceiptTexts
{
    QStringList address;
    QStringList title;
    QStringList info;
};

// Where and in which font the receipt prints one of the three texts, from the band's top left
// corner. A box holds the lines that fit; the print settings window edits each text in its box's
// font and width.
struct ReceiptTextBox
{
    QRectF boxMm;
    ReportFont font;
    ReportAlignment alignment = ReportAlignment::Left;

    // One typed line as the box prints it, wrapped at the box's width.
    QStringList printedLines(const QString &typedLine, const ReportMetrics &metrics) const;

    static ReceiptTextBox address(); // top left
    static ReceiptTextBox title();   // top centre
    static ReceiptTextBox info();    // top right
};

// The three texts side by side near the band's top, as every report of the desk prints them.
void addReceiptTexts(ReportBand &band, const ReceiptTexts &texts);

// The A5 cash receipt of one sale, twice on the sheet: the salon's texts, the receipt number,
// date and time, the run's figures and, for a taxed sale, the price split into the amount
// without tax and the tax.
class TFormQRSaleSolarA5
{
public:
    // The receipt of the cursor's current record.
    TFormQRSaleSolarA5(const Table &saleSolars, ReceiptTexts texts);

    // Titled with the receipt number.
    ReportDefinition definition();
    PageStore layOut();

private:
    ReportBand copyBand();
    void addTaxSplit(ReportBand &band);

    ReceiptRecord m_receipt;
    ReceiptTexts m_texts;
    // The split of the copy being printed, computed by the tax line's value label.
    double m_withoutTax = 0;
    double m_taxAmount = 0;
};
