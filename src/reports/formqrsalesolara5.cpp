#include "reports/formqrsalesolara5.h"

#include "core/czechformat.h"
#include "core/pricing.h"
#include "data/table.h"
#include "desk/salonrecords.h"
#include "reports/engine/reportlayout.h"

namespace {

constexpr double BandWidth = 127.8;
constexpr double BandHeight = 95.0;
const QString Arial = QStringLiteral("Arial");
const QString SansSerif = QStringLiteral("Microsoft Sans Serif");

ReportFont arial(double points, bool bold = false)
{
    return ReportFont{Arial, points, bold};
}

// A single line whose text ends at the right edge.
QRectF endingAt(double rightEdge, double top)
{
    return QRectF(rightEdge, top, 0, 0);
}

QRectF startingAt(double left, double top)
{
    return QRectF(left, top, 0, 0);
}

} // namespace

QStringList ReceiptTextBox::printedLines(const QString &typedLine,
                                         const ReportMetrics &metrics) const
{
    return ReportLayout::wrapLines({typedLine}, font, ReportUnits::fromMillimetres(boxMm.width()),
                                   metrics);
}

ReceiptTextBox ReceiptTextBox::address()
{
    return {QRectF(0, 6.9, 32.3, 19.1), ReportFont{SansSerif, 7, false}};
}

// A fixed box like the others: a header that grew would push the copy onto a second sheet and
// print over the receipt number.
ReceiptTextBox ReceiptTextBox::title()
{
    return {QRectF((BandWidth - 59.3) / 2, 6.9, 59.3, 19.1), arial(11, true),
            ReportAlignment::Centre};
}

ReceiptTextBox ReceiptTextBox::info()
{
    return {QRectF(95.5, 6.9, 32.3, 19.1), ReportFont{SansSerif, 7, false}};
}

void addReceiptTexts(ReportBand &band, const ReceiptTexts &texts)
{
    const auto memo = [&band](const ReceiptTextBox &box, const QStringList &lines) {
        band.add(ReportElement::memo(box.boxMm, lines, box.font, box.alignment));
    };
    memo(ReceiptTextBox::address(), texts.address);
    memo(ReceiptTextBox::title(), texts.title);
    memo(ReceiptTextBox::info(), texts.info);
}

TFormQRSaleSolarA5::TFormQRSaleSolarA5(const Table &saleSolars, ReceiptTexts texts)
    : m_receipt(ReceiptRecord::of(saleSolars.record())), m_texts(std::move(texts))
{}

ReportDefinition TFormQRSaleSolarA5::definition()
{
    ReportDefinition report;
    report.title = CzechFormat::receiptNumber(m_receipt.paragon);
    report.page = ReportPageSetup{148, 210, false, 10, 10, 10, 10};
    report.repeatedBand = copyBand();
    report.repeatCount = 2;
    return report;
}

PageStore TFormQRSaleSolarA5::layOut()
{
    return ReportLayout::layOut(definition());
}

ReportBand TFormQRSaleSolarA5::copyBand()
{
    const ReceiptRecord &r = m_receipt;
    ReportBand band;
    band.heightMm = BandHeight;
    band.add(ReportElement::fixedText(QRectF(0, 1.1, BandWidth, 0),
                                      QStringLiteral("Pokladní doklad"), arial(10, true),
                                      ReportAlignment::Centre));
    addReceiptTexts(band, m_texts);

    band.add(ReportElement::fixedText(startingAt(0, 28.0), QStringLiteral("Doklad:"), arial(8)));
    band.add(ReportElement::fixedText(startingAt(21.2, 28.0), CzechFormat::receiptNumber(r.paragon),
                                      arial(9, true)));
    const QString date = CzechFormat::shortDate(r.date);
    band.add(
        ReportElement::fixedText(startingAt(0, 34.4), QStringLiteral("Datum a čas:"), arial(8)));
    band.add(ReportElement::fixedText(startingAt(21.2, 34.4), date, arial(8)));
    band.add(
        ReportElement::fixedText(startingAt(37.6, 34.4), CzechFormat::longTime(r.time), arial(8)));
    band.add(ReportElement::fixedText(startingAt(71.4, 34.4),
                                      QStringLiteral("Datum zdanitelného plnění:"), arial(8)));
    band.add(ReportElement::fixedText(startingAt(109.0, 34.4), date, arial(8)));

    struct Column
    {
        double left;
        double width;
        const char16_t *heading;
    };
    const Column columns[] = {{0.0, 20.1, u"Číslo solárka:"},  {22.8, 11.9, u"DPH [%]:"},
                              {37.6, 21.2, u"Cena [Kč/min]:"}, {61.4, 14.0, u"Sleva [%]:"},
                              {78.3, 19.1, u"Čas [mm:ss]"},    {109.0, 18.8, u"Celkem [Kč]:"}};
    for (const Column &column : columns) {
        band.add(ReportElement::fixedText(startingAt(column.left, 43.9),
                                          QString::fromUtf16(column.heading), arial(8, true)));
        band.add(ReportElement::line(column.left, 49.2, column.width));
    }
    band.add(ReportElement::fixedText(startingAt(9.0, 50.8), QString::number(r.solar), arial(9)));
    const QString values[] = {QString::number(r.tax), CzechFormat::amount(r.price),
                              QString::number(r.off), r.periodMmss,
                              CzechFormat::amount(r.priceTotal)};
    const double rightEdges[] = {34.6, 58.8, 75.6, 97.4, 127.5};
    for (int i = 0; i < 5; ++i)
        band.add(ReportElement::fixedText(endingAt(rightEdges[i], 50.8), values[i], arial(9),
                                          ReportAlignment::Right));

    addTaxSplit(band);
    band.add(ReportElement::fixedText(startingAt(8.5, 78.3), QStringLiteral("Razítko a podpis"),
                                      arial(10)));
    band.add(ReportElement::fixedText(startingAt(59.3, 78.3), QStringLiteral("Celkem:"),
                                      arial(12, true)));
    return band;
}

// The labels print in this order, the first value label computing the split that the later
// ones read; a sale without tax leaves all but the total empty. Each text of the tax line and of
// the line without tax keeps clear of the one before it on the line, so that long amounts and
// rates move the texts after them to the right instead of printing over them.
void TFormQRSaleSolarA5::addTaxSplit(ReportBand &band)
{
    const int tax = m_receipt.tax;
    const double total = m_receipt.priceTotal;
    const auto withoutTaxLabel = [tax](QString &text) {
        text = tax == 0 ? QString() : QStringLiteral("Cena bez DPH (%1%):").arg(tax);
    };
    const auto label = [&band](const QRectF &box, double points, bool bold,
                               ReportAlignment alignment, std::function<void(QString &)> onPrint,
                               int keepsClearOf = -1) {
        ReportElement element =
            ReportElement::fixedText(box, QString(), arial(points, bold), alignment);
        element.onPrint = std::move(onPrint);
        element.keepsClearOf = keepsClearOf;
        return band.add(std::move(element));
    };
    const auto left = ReportAlignment::Left;
    const auto right = ReportAlignment::Right;

    const int free = label(startingAt(0, 61.4), 9, false, left, withoutTaxLabel); // QRLabelFree
    const int freeValue = label(
        endingAt(44.7, 61.4), 9, false, right,
        [this, tax, total](QString &text) {
            m_taxAmount = tax == 0 ? 0 : TaxCoefficient(tax) * total; // QRLabelFreeValue
            m_withoutTax = total - m_taxAmount;
            text = tax == 0 ? QString() : CzechFormat::money(m_withoutTax);
        },
        free);
    const int taxValue = label(endingAt(85.2, 61.4), 9, false, right, [this, tax](QString &text) {
        text = tax == 0 ? QString() : CzechFormat::money(m_taxAmount); // QRLabelTaxValue
    });
    const int taxTax = label(
        startingAt(55.0, 61.4), 9, false, left,
        [tax](QString &text) {
            text = tax == 0 ? QString() : QStringLiteral("DPH (%1%):").arg(tax); // QRLabelTaxTax
        },
        freeValue);
    band.elements[taxValue].keepsClearOf = taxTax; // printed before its label, placed after it

    const int freeFree =
        label(startingAt(59.3, 72.0), 12, false, left, withoutTaxLabel); // QRLabelFreeFree
    label(
        endingAt(127.5, 72.0), 12, false, right,
        [this, tax](QString &text) {
            text = tax == 0 ? QString() : CzechFormat::money(m_withoutTax); // QRLabelTotalFreeValue
        },
        freeFree);
    label(endingAt(127.5, 78.3), 12, true, right, [total](QString &text) {
        text = CzechFormat::money(total); // QRLabelTotalValue
    });
}
