#include "reports/reportprinting.h"

#include "reports/engine/pagepainter.h"
#include "ui/common/messagedialogs.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace ReportPrinting {

namespace {

const QString NoPrinterText = QStringLiteral("Není nainstalována žádná tiskárna...");

} // namespace

void warnFailed(const QString &reason)
{
    ShowWarning(QStringLiteral("Tisk se nezdařil..."), reason);
}

bool printerReady(const QPrinter &printer)
{
    // Without printers Qt quietly turns the job into a PDF file, which has no name here.
    if (printer.outputFileName().isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty()) {
        warnFailed(NoPrinterText);
        return false;
    }
    return true;
}

std::unique_ptr<QPrinter> defaultPrinter()
{
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        warnFailed(NoPrinterText);
        return nullptr;
    }
    const QPrinterInfo chosen = QPrinterInfo::defaultPrinter();
    if (chosen.isNull()) {
        warnFailed(QStringLiteral("Není nastavena výchozí tiskárna..."));
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(chosen);
    printer->setCopyCount(1);
    return printer;
}

bool print(const PageStore &store, QPrinter &printer)
{
    if (!printerReady(printer))
        return false;
    QString error;
    if (!PagePainter::printStore(store, printer, &error)) {
        warnFailed(error);
        return false;
    }
    return true;
}

bool printOnDefaultPrinter(const PageStore &store)
{
    const std::unique_ptr<QPrinter> printer = defaultPrinter();
    return printer && print(store, *printer);
}

} // namespace ReportPrinting
