#include "reports/printmonitor.h"

#include "ui/common/messagedialogs.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

PrintMonitor *installedMonitor = nullptr;

} // namespace

PrintMonitor::PrintMonitor(std::unique_ptr<PrintQueue> queue,
                           std::function<void(const QString &)> addLog,
                           PrintJobWatch::Schedule schedule, QObject *parent)
    : QObject(parent), m_queue(std::move(queue)), m_addLog(std::move(addLog)), m_schedule(schedule)
{}

PrintMonitor::~PrintMonitor()
{
    if (installedMonitor == this)
        installedMonitor = nullptr;
}

PrintMonitor &PrintMonitor::current()
{
    if (installedMonitor)
        return *installedMonitor;
    // Owned by the application, so that the watches it runs end with it.
    static QPointer<PrintMonitor> fallback;
    if (!fallback)
        fallback = new PrintMonitor(systemPrintQueue(), {}, {}, QCoreApplication::instance());
    return *fallback;
}

void PrintMonitor::install(PrintMonitor *monitor)
{
    installedMonitor = monitor;
}

std::optional<QString> PrintMonitor::refusal(const QString &queueName)
{
    const std::optional<PrintQueue::QueueStatus> status = m_queue->queueStatus(queueName);
    if (!status)
        return std::nullopt;
    if (!status->acceptingJobs) {
        if (!status->message.isEmpty())
            return status->message;
        return QStringLiteral("Tiskárna %1 nepřijímá tiskové úlohy...").arg(queueName);
    }
    if (status->stopped)
        return PrintJobWatch::stoppedReason(queueName, *status);
    return std::nullopt;
}

std::optional<int> PrintMonitor::newestJob(const QString &queueName)
{
    return m_queue->newestJob(queueName);
}

bool PrintMonitor::follow(const QString &title, const QString &queueName, int newestBefore)
{
    const std::optional<int> job = m_queue->newestJob(queueName);
    if (!job)
        return true; // the queue cannot be asked: nothing to conclude
    if (*job <= newestBefore) {
        // Not taken: refused since it was asked, or the handing over failed on the way.
        reportFailure(title, queueName,
                      refusal(queueName).value_or(
                          QStringLiteral("Tiskárna %1 úlohu nepřijala...").arg(queueName)));
        return false;
    }
    auto *watch = new PrintJobWatch(*m_queue, queueName, *job, m_schedule, this);
    connect(watch, &PrintJobWatch::ended, this,
            [this, watch, title, queueName, id = *job](bool failed, const QString &reason) {
                watch->deleteLater();
                if (failed)
                    reportFailure(title, queueName, reason);
                emit jobFollowed(id, failed);
            });
    watch->start();
    return true;
}

void PrintMonitor::reportFailure(const QString &title, const QString &queueName,
                                 const QString &reason)
{
    // Logged first: the line is kept even when the desk ends while the warning is open.
    if (m_addLog) {
        m_addLog(QStringLiteral("Tisk [%1]: CHYBA [%2] [%3]")
                     .arg(title, queueName.isEmpty() ? QStringLiteral("-") : queueName,
                          reason.simplified()));
    }
    ShowWarning(QStringLiteral("Tisk se nezdařil..."), reason.simplified());
}
