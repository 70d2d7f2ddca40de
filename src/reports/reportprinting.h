#pragma once

#include <QString>

#include <memory>
#include <optional>

class PageStore;
class QPrinter;

// Printing with the user and the event log told of every failure: no printer installed, a queue
// that refuses jobs or is stopped, a job that could not be started or finished, a job the queue
// gives up later. Nothing is lost when printing fails: it can be printed again.
namespace ReportPrinting {

// All pages on the printer, the job titled with the report's title. False after a warning.
bool print(const PageStore &store, QPrinter &printer);
// On the system's default printer, one copy.
bool printOnDefaultPrinter(const PageStore &store);

// The system's default printer set for one copy; nothing after a warning when there is none.
// title names the receipt or report in the event log.
std::unique_ptr<QPrinter> defaultPrinter(const QString &title);

// One job from the question to the queue until the queue has it, for whoever paints it.
class PrintJob
{
public:
    // title names the receipt or report in the event log.
    PrintJob(QPrinter &printer, const QString &title);

    // Before painting: false after a warning when the output could go nowhere or the queue
    // would not print it.
    bool start();
    // After the painter has ended well: the queue is followed for the job. False after a
    // warning when the queue has not taken it.
    bool handedOver();
    // Reports the reason; always false.
    bool fail(const QString &reason);

private:
    bool toFile() const;

    QPrinter &m_printer;
    QString m_title;
    QString m_queue;
    std::optional<int> m_newestBefore; // nothing when the queue could not be asked
};

} // namespace ReportPrinting
