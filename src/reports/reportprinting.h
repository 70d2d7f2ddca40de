#pragma once

class PageStore;
class QPrinter;

// Printing a report with the user told of every failure: no printer installed, a printer that
// cannot be used, a job that could not be started or finished. Nothing is lost when printing
// fails: the report can be printed again.
namespace ReportPrinting {

// All pages on the printer, the job titled with the report's title. False after a warning.
bool print(const PageStore &store, QPrinter &printer);
// On the system's default printer, one copy.
bool printOnDefaultPrinter(const PageStore &store);

} // namespace ReportPrinting
