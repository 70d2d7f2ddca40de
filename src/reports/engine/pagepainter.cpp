#include "reports/engine/pagepainter.h"

#include "reports/engine/reportfonts.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace PagePainter {

namespace {

// The painter's units while a page is drawn: pixels of the reference resolution.
constexpr double UnitsPerHundredth = ReportFonts::ReferenceDpi / 2540.0;

QPointF toUnits(const QPoint &point)
{
    return QPointF(point) * UnitsPerHundredth;
}

void paintText(QPainter &painter, const TextItem &item)
{
    if (item.text.isEmpty())
        return;
    painter.setFont(ReportFonts::paintFont(item.font, ReportFonts::ReferenceDpi, painter.device()));
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double left = item.box.left() * UnitsPerHundredth;
    const double width = item.box.width() * UnitsPerHundredth;
    const double textWidth = metrics.horizontalAdvance(item.text);
    double x = left;
    if (item.alignment == ReportAlignment::Right)
        x = left + width - textWidth;
    else if (item.alignment == ReportAlignment::Centre)
        x = left + (width - textWidth) / 2;
    painter.drawText(QPointF(x, item.box.top() * UnitsPerHundredth + metrics.ascent()), item.text);
}

void paintLine(QPainter &painter, const LineItem &item)
{
    QPen pen(Qt::black);
    pen.setWidthF(item.width * UnitsPerHundredth);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(QLineF(toUnits(item.line.p1()), toUnits(item.line.p2())));
}

QPageLayout sheetLayout(const PageStore &store)
{
    const QSizeF size(store.pageSize.width() / 100.0, store.pageSize.height() / 100.0);
    const bool landscape = size.width() > size.height();
    const QPageSize pageSize(landscape ? size.transposed() : size, QPageSize::Millimeter);
    return QPageLayout(pageSize, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
}

// The device's painter starts at the sheet's corner (full page, no margins).
bool paintAll(const PageStore &store, QPagedPaintDevice &device, QPainter &painter)
{
    const double pixelsPerMillimetre = device.logicalDpiY() / 25.4;
    for (int index = 0; index < store.pageCount(); ++index) {
        if (index > 0 && !device.newPage())
            return false;
        paintPage(painter, store, index, pixelsPerMillimetre);
    }
    return true;
}

} // namespace

void paintPage(QPainter &painter, const PageStore &store, int index, double pixelsPerMillimetre)
{
    painter.save();
    const double scale = pixelsPerMillimetre / 100.0;
    painter.fillRect(QRectF(0, 0, store.pageSize.width() * scale, store.pageSize.height() * scale),
                     Qt::white);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.scale(scale / UnitsPerHundredth, scale / UnitsPerHundredth);
    if (index >= 0 && index < store.pageCount()) {
        for (const PageItem &item : store.pages.at(index).items) {
            if (const auto *text = std::get_if<TextItem>(&item)) {
                painter.setPen(Qt::black);
                paintText(painter, *text);
            } else if (const auto *line = std::get_if<LineItem>(&item)) {
                paintLine(painter, *line);
            }
        }
    }
    painter.restore();
}

bool printStore(const PageStore &store, QPrinter &printer, QString *error)
{
    if (!printer.isValid()) {
        *error = QStringLiteral("Tiskárna %1 není k dispozici...").arg(printer.printerName());
        return false;
    }
    printer.setDocName(store.title);
    printer.setFullPage(true);
    const QPageLayout sheet = sheetLayout(store);
    printer.setPageSize(sheet.pageSize());
    printer.setPageOrientation(sheet.orientation());
    // A printer that cannot print to the edge keeps its margins; the origin stays at the corner.
    printer.setPageMargins(QMarginsF(), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer)) {
        *error = QStringLiteral("Tisk sestavy %1 se nepodařilo zahájit...").arg(store.title);
        return false;
    }
    const bool printed = paintAll(store, printer, painter);
    painter.end();
    if (!printed)
        *error = QStringLiteral("Tisk sestavy %1 se nepodařilo dokončit...").arg(store.title);
    return printed;
}

bool writePdf(const PageStore &store, const QString &fileName, QString *error)
{
    // Written beside the file and put in its place once complete.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Soubor %1 se nepodařilo vytvořit...").arg(fileName);
        return false;
    }
    bool written = false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(store.title);
        writer.setResolution(ReportFonts::ReferenceDpi);
        writer.setPageLayout(sheetLayout(store));
        QPainter painter;
        if (painter.begin(&writer)) {
            written = paintAll(store, writer, painter);
            written = painter.end() && written;
        }
    }
    if (!written || !file.commit()) {
        *error = QStringLiteral("Soubor %1 se nepodařilo zapsat...").arg(fileName);
        return false;
    }
    return true;
}

} // namespace PagePainter
