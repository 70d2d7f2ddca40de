#pragma once

#include <memory>

class PageStore;
class QPrinter;
class QString;

// Printing with the user told of every failure: no printer installed, a printer that cannot be
// used, a job that could not be started or finished. Nothing is lost when printing fails: it can
// be printed again.
namespace ReportPrinting {

// All pages on the printer, the job titled with the report's title. False after a warning.
bool print(const PageStore &store, QPrinter &printer);
// On the system's default printer, one copy.
bool printOnDefaultPrinter(const PageStore &store);

// The system's default printer set for one copy; nothing after a warning when there is none.
std::unique_ptr<QPrinter> defaultPrinter();
// False after a warning when the printer's output could go nowhere.
bool printerReady(const QPrinter &printer);
// Tells the user why a print job failed.
void warnFailed(const QString &reason);

} // namespace ReportPrinting
