#include "reports/formstatistics.h"

#include "data/table.h"
#include "reports/engine/reportfonts.h"
#include "reports/reportprinting.h"
#include "ui/common/messagedialogs.h"
#include "ui/common/windowhelpers.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace {

constexpr int MaxUprightLabels = 12; // the months still fit upright

// Whole customers only: the smallest step of 1, 2 or 5 times a power of ten that reaches the
// highest count in at most ten steps.
void scaleCountAxis(QValueAxis *axis, qint64 highest)
{
    qint64 step = 1;
    for (qint64 power = 1; highest > 10 * step; power *= 10) {
        for (const qint64 factor : {1, 2, 5}) {
            step = factor * power;
            if (highest <= 10 * step)
                break;
        }
    }
    const qint64 top = (highest / step + 1) * step; // a step above, so no point sits on the frame
    axis->setRange(0, double(top));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(double(step));
    axis->setLabelFormat(QStringLiteral("%d"));
}

QChart *makeChart(const StatisticCounts &counts, QChartView *view)
{
    auto *chart = new QChart;
    ReportFonts::registerSubstitutions();
    QFont titleFont(QStringLiteral("Arial Black"), 12);
    titleFont.setWeight(QFont::Black);
    chart->setTitleFont(titleFont);
    chart->setTitleBrush(Qt::red);
    chart->setTitle(counts.title);
    chart->legend()->hide();
    chart->setBackgroundBrush(Qt::white);

    auto *series = new QLineSeries;
    series->setColor(Qt::red);
    series->setPointsVisible(true);
    series->setMarkerSize(5);
    for (qsizetype bucket = 0; bucket < counts.counts.size(); ++bucket)
        series->append(double(bucket), double(counts.counts.at(bucket)));
    chart->addSeries(series);

    auto *buckets = new QBarCategoryAxis;
    buckets->setCategories(counts.labels);
    buckets->setTitleText(QStringLiteral("Časové období (hodiny, dny, měsíce)"));
    // Side by side, the hours' and days' labels have too little room and end as "...".
    if (counts.labels.size() > MaxUprightLabels)
        buckets->setLabelsAngle(-90);
    chart->addAxis(buckets, Qt::AlignBottom);
    series->attachAxis(buckets);

    auto *customers = new QValueAxis;
    customers->setTitleText(QStringLiteral("Počet zákazníků"));
    scaleCountAxis(customers, counts.counts.isEmpty()
                                  ? 0
                                  : *std::max_element(counts.counts.begin(), counts.counts.end()));
    chart->addAxis(customers, Qt::AlignLeft);
    series->attachAxis(customers);

    QObject::connect(series, &QLineSeries::hovered, view, [view](const QPointF &, bool on) {
        view->viewport()->setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
    });
    return chart;
}

// Wide enough for every turned bucket label with the room the chart gives a label beyond its
// text; narrower, the labels end as "...".
int openingWidth(QChart *chart)
{
    constexpr int DefaultWidth = 780;
    constexpr int LabelRoom = 12;    // the text item's margins and a gap
    constexpr int OutsidePlot = 130; // the count axis, the margins and the window's frame
    const auto *buckets = qobject_cast<QBarCategoryAxis *>(chart->axes(Qt::Horizontal).value(0));
    if (!buckets || buckets->count() <= MaxUprightLabels)
        return DefaultWidth;
    const int perLabel = QFontMetrics(buckets->labelsFont()).height() + LabelRoom;
    return qMax(DefaultWidth, OutsidePlot + perLabel * buckets->count());
}

} // namespace

TFormStatistics::TFormStatistics(const StatisticCounts &counts, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QLatin1Char(' ') + counts.title);
    m_chartView = named(new QChartView(this), QStringLiteral("Chart"));
    m_chartView->setChart(makeChart(counts, m_chartView));
    m_chartView->setRenderHint(QPainter::Antialiasing);

    auto *print = namedButton(QStringLiteral("Tisk..."), QStringLiteral("ButtonPrint"), this);
    print->setAutoDefault(false);
    auto *close = namedButton(QStringLiteral("Zavřít"), QStringLiteral("ButtonClose"), this);
    close->setDefault(true); // Escape closes as well, as any dialog's
    connect(print, &QPushButton::clicked, this, &TFormStatistics::ButtonPrintClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_chartView, 1);
    layout->addLayout(buttons);
    resize(openingWidth(chart()), 540);
}

QChart *TFormStatistics::chart() const
{
    return m_chartView->chart();
}

void TFormStatistics::ButtonPrintClick()
{
    if (const std::unique_ptr<QPrinter> printer = ReportPrinting::defaultPrinter(chart()->title()))
        print(*printer);
}

bool TFormStatistics::print(QPrinter &printer)
{
    ReportPrinting::PrintJob job(printer, chart()->title());
    if (!job.start())
        return false;
    printer.setDocName(QStringLiteral("Chart"));
    const QSize shown = m_chartView->viewport()->size();
    printer.setPageOrientation(shown.width() >= shown.height() ? QPageLayout::Landscape
                                                               : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer))
        return job.fail(QStringLiteral("Tisk grafu se nepodařilo zahájit..."));
    const QSize page = printer.pageRect(QPrinter::DevicePixel).size().toSize();
    const QSize fitted = shown.scaled(page, Qt::KeepAspectRatio);
    const QRect target(QPoint((page.width() - fitted.width()) / 2, 0), fitted);
    m_chartView->render(&painter, target, m_chartView->viewport()->rect(), Qt::KeepAspectRatio);
    if (!painter.end())
        return job.fail(QStringLiteral("Tisk grafu se nepodařilo dokončit..."));
    return job.handedOver();
}

void showStatistics(Table &sales, Statistic statistic, QWidget *parent)
{
    // The day statistic shows no hourglass, the other three do.
    const bool hourglass = statistic != Statistic::Day;
    if (hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    sales.disableControls();
    const std::optional<StatisticCounts> counts = countCustomers(sales, statistic);
    const bool counted = counts && sales.last();
    sales.enableControls();
    if (hourglass)
        QApplication::restoreOverrideCursor();
    ShowDatabaseError(counted);
    if (!counted)
        return;
    TFormStatistics window(*counts, parent);
    window.exec();
}
