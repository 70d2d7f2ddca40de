#include "reports/formqrsalesolartotala5.h"

#include "core/czechformat.h"
#include "core/pricing.h"
#include "data/table.h"
#include "desk/salonschema.h"
#include "reports/engine/reportlayout.h"

namespace {

constexpr double BandWidth = 127.8;

ReportFont arial(double points, bool bold = false)
{
    return ReportFont{QStringLiteral("Arial"), points, bold};
}

QRectF startingAt(double left, double top)
{
    return QRectF(left, top, 0, 0);
}

QRectF endingAt(double rightEdge, double top)
{
    return QRectF(rightEdge, top, 0, 0);
}

// The columns' lefts and the widths of the lines under their headings.
struct Column
{
    double left;
    double lineWidth;
};
constexpr Column Columns[] = {{11.4, 20.1}, {34.1, 33.9}, {70.6, 19.6}, {92.9, 23.8}};
// Where the amounts end: without tax, tax, total.
constexpr double AmountEnds[] = {67.7, 90.0, 116.7};

void addColumnLines(ReportBand &band, double top)
{
    for (const Column &column : Columns)
        band.add(ReportElement::line(column.left, top, column.lineWidth));
}

} // namespace

TFormQRSaleSolarTotalA5::TFormQRSaleSolarTotalA5(Table &saleSolars, TotalsPeriod period,
                                                 ReceiptTexts texts, int taxRate)
    : m_saleSolars(saleSolars), m_period(period), m_texts(std::move(texts)), m_taxRate(taxRate)
{}

ReportDefinition TFormQRSaleSolarTotalA5::definition()
{
    ReportDefinition report;
    report.title = QStringLiteral("Tržby");
    report.page = ReportPageSetup{148, 210, false, 10, 10, 10, 10};
    report.columnHeader = columnHeader();
    report.detail = detailBand();
    report.needData = [this](bool &more) { nextLine(more); };
    report.summary = summaryBand();
    return report;
}

PageStore TFormQRSaleSolarTotalA5::layOut()
{
    start();
    return ReportLayout::layOut(definition());
}

void TFormQRSaleSolarTotalA5::start()
{
    m_saleSolars.first();
    m_groupDate = m_saleSolars.value(SaleSolarsField::Date).toDate();
    m_lineCount = 0;
    m_day = {};
    m_totals = {};
}

void TFormQRSaleSolarTotalA5::nextLine(bool &more)
{
    if (m_saleSolars.eof() || !m_saleSolars.hasCurrentRecord()) {
        more = false; // also on the first request: an empty cursor prints no line
        return;
    }
    bool complete = false;
    while (!complete) {
        const double total = m_saleSolars.value(SaleSolarsField::PriceTotal).toDouble();
        const double coefficient = TaxCoefficient(m_saleSolars.value(SaleSolarsField::Tax).toInt());
        m_day.tax += coefficient * total;
        m_day.withoutTax += total - coefficient * total;
        m_day.total += total;
        m_saleSolars.next();
        complete =
            m_saleSolars.eof() || m_saleSolars.value(SaleSolarsField::Date).toDate() != m_groupDate;
    }
    m_lineTexts = {CzechFormat::shortDate(m_groupDate), CzechFormat::fixed2(m_day.withoutTax),
                   CzechFormat::fixed2(m_day.tax), CzechFormat::fixed2(m_day.total)};
    ++m_lineCount;
    m_totals.withoutTax += m_day.withoutTax;
    m_totals.tax += m_day.tax;
    m_totals.total += m_day.total;
    m_day = {};
    m_groupDate = m_saleSolars.value(SaleSolarsField::Date).toDate();
    more = true;
}

ReportBand TFormQRSaleSolarTotalA5::columnHeader()
{
    ReportBand band;
    band.heightMm = 40.7;
    band.add(
        ReportElement::pageNumber(startingAt(0, 1.1), QStringLiteral("Strana: "), arial(8, true)));
    const QString title = m_period.all ? QStringLiteral("Tržby za celé období činnosti solária")
                                       : QStringLiteral("Tržby za období:   %1 - %2")
                                             .arg(CzechFormat::shortDate(m_period.first),
                                                  CzechFormat::shortDate(m_period.last));
    band.add(ReportElement::fixedText(QRectF(0, 1.1, BandWidth, 0), title, arial(10, true),
                                      ReportAlignment::Centre));
    addReceiptTexts(band, m_texts);
    band.add(ReportElement::fixedText(QRectF(0, 26.5, BandWidth, 0),
                                      QStringLiteral("Prodej služeb"), arial(10, true),
                                      ReportAlignment::Centre));
    const QString headings[] = {
        QStringLiteral("Datum:"), QStringLiteral("Celkem bez DPH %1% [Kč]:").arg(m_taxRate),
        QStringLiteral("DPH %1% [Kč]:").arg(m_taxRate), QStringLiteral("Celkem [Kč]:")};
    for (int i = 0; i < 4; ++i)
        band.add(
            ReportElement::fixedText(startingAt(Columns[i].left, 33.3), headings[i], arial(8)));
    addColumnLines(band, 38.6);
    return band;
}

ReportBand TFormQRSaleSolarTotalA5::detailBand()
{
    ReportBand band;
    band.heightMm = 4.2;
    band.add(ReportElement::dataText(
        startingAt(11.4, 0), [this] { return m_lineTexts.value(0); }, arial(8)));
    for (int i = 0; i < 3; ++i)
        band.add(ReportElement::dataText(
            endingAt(AmountEnds[i], 0), [this, i] { return m_lineTexts.value(i + 1); }, arial(8),
            ReportAlignment::Right));
    return band;
}

ReportBand TFormQRSaleSolarTotalA5::summaryBand()
{
    ReportBand band;
    band.heightMm = 21.7;
    addColumnLines(band, 1.6);
    band.add(ReportElement::dataText(
        startingAt(11.4, 3.2), [this] { return QString::number(m_lineCount); }, arial(8)));
    const double *const totals[] = {&m_totals.withoutTax, &m_totals.tax, &m_totals.total};
    for (int i = 0; i < 3; ++i)
        band.add(ReportElement::dataText(
            endingAt(AmountEnds[i], 3.2),
            [value = totals[i]] { return CzechFormat::fixed2(*value); }, arial(9, i == 2),
            ReportAlignment::Right));
    band.add(ReportElement::printDate(startingAt(11.4, 16.9), arial(10)));
    band.add(ReportElement::fixedText(startingAt(74.1, 16.9), QStringLiteral("Razítko a podpis"),
                                      arial(10)));
    return band;
}
