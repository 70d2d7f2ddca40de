#include "reports/reportprinting.h"

#include "reports/engine/pagepainter.h"
#include "ui/common/messagedialogs.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace ReportPrinting {

namespace {

const QString FailedText = QStringLiteral("Tisk se nezdařil...");
const QString NoPrinterText = QStringLiteral("Není nainstalována žádná tiskárna...");

} // namespace

bool print(const PageStore &store, QPrinter &printer)
{
    // Without printers Qt quietly turns the job into a PDF file, which has no name here.
    if (printer.outputFileName().isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty()) {
        ShowWarning(FailedText, NoPrinterText);
        return false;
    }
    QString error;
    if (!PagePainter::printStore(store, printer, &error)) {
        ShowWarning(FailedText, error);
        return false;
    }
    return true;
}

bool printOnDefaultPrinter(const PageStore &store)
{
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        ShowWarning(FailedText, NoPrinterText);
        return false;
    }
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) {
        ShowWarning(FailedText, QStringLiteral("Není nastavena výchozí tiskárna..."));
        return false;
    }
    QPrinter printer(defaultPrinter);
    printer.setCopyCount(1);
    return print(store, printer);
}

} // namespace ReportPrinting
