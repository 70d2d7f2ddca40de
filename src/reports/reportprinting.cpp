#include "reports/reportprinting.h"

#include "reports/engine/pagepainter.h"
#include "reports/printmonitor.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace ReportPrinting {

namespace {

const QString NoPrinterText = QStringLiteral("Není nainstalována žádná tiskárna...");

} // namespace

PrintJob::PrintJob(QPrinter &printer, const QString &title) : m_printer(printer), m_title(title) {}

bool PrintJob::toFile() const
{
    return !m_printer.outputFileName().isEmpty();
}

bool PrintJob::start()
{
    if (toFile())
        return true;
    // Without printers Qt quietly turns the job into a PDF file, which has no name here.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        return fail(NoPrinterText);
    m_queue = m_printer.printerName();
    PrintMonitor &monitor = PrintMonitor::current();
    if (const std::optional<QString> refusal = monitor.refusal(m_queue))
        return fail(*refusal);
    m_newestBefore = monitor.newestJob(m_queue);
    return true;
}

bool PrintJob::handedOver()
{
    if (toFile() || !m_newestBefore)
        return true;
    return PrintMonitor::current().follow(m_title, m_queue, *m_newestBefore);
}

bool PrintJob::fail(const QString &reason)
{
    PrintMonitor::current().reportFailure(m_title, m_queue, reason);
    return false;
}

std::unique_ptr<QPrinter> defaultPrinter(const QString &title)
{
    PrintMonitor &monitor = PrintMonitor::current();
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        monitor.reportFailure(title, QString(), NoPrinterText);
        return nullptr;
    }
    const QPrinterInfo chosen = QPrinterInfo::defaultPrinter();
    if (chosen.isNull()) {
        monitor.reportFailure(title, QString(),
                              QStringLiteral("Není nastavena výchozí tiskárna..."));
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(chosen);
    printer->setCopyCount(1);
    return printer;
}

bool print(const PageStore &store, QPrinter &printer)
{
    PrintJob job(printer, store.title);
    if (!job.start())
        return false;
    QString error;
    if (!PagePainter::printStore(store, printer, &error))
        return job.fail(error);
    return job.handedOver();
}

bool printOnDefaultPrinter(const PageStore &store)
{
    const std::unique_ptr<QPrinter> printer = defaultPrinter(store.title);
    return printer && print(store, *printer);
}

} // namespace ReportPrinting
