#include "reports/logic/printjobwatch.h"

namespace {

QString jobFailure(PrintQueue::JobState state)
{
    switch (state) {
    case PrintQueue::JobState::Aborted:
        return QStringLiteral("Tisková úloha byla přerušena...");
    case PrintQueue::JobState::Canceled:
        return QStringLiteral("Tisková úloha byla zrušena...");
    case PrintQueue::JobState::Stopped:
        return QStringLiteral("Tisková úloha byla zastavena...");
    // Our jobs are never sent held: the queue holds one it could not send, to try again later.
    case PrintQueue::JobState::Held:
        return QStringLiteral("Tisková úloha byla odložena...");
    default:
        return {};
    }
}

} // namespace

PrintJobWatch::PrintJobWatch(PrintQueue &queue, const QString &queueName, int job,
                             Schedule schedule, QObject *parent)
    : QObject(parent), m_queue(queue), m_queueName(queueName), m_job(job),
      m_looksLeft(schedule.looks)
{
    m_timer.setInterval(schedule.intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PrintJobWatch::look);
}

QString PrintJobWatch::stoppedReason(const QString &queueName,
                                     const PrintQueue::QueueStatus &status)
{
    if (!status.message.isEmpty())
        return status.message;
    return QStringLiteral("Tiskárna %1 je zastavena...").arg(queueName);
}

void PrintJobWatch::start()
{
    if (m_looksLeft <= 0)
        end(false);
    else
        m_timer.start();
}

void PrintJobWatch::look()
{
    --m_looksLeft;
    // A job the queue cannot tell of now may still be told of at the next look.
    if (const std::optional<PrintQueue::JobStatus> status = m_queue.jobStatus(m_job)) {
        if (status->state == PrintQueue::JobState::Completed)
            return end(false);
        if (const std::optional<QString> reason = failure(*status))
            return end(true, *reason);
    }
    if (m_looksLeft <= 0)
        end(false);
}

std::optional<QString> PrintJobWatch::failure(const PrintQueue::JobStatus &status)
{
    const QString ended = jobFailure(status.state);
    if (!ended.isEmpty())
        return status.message.isEmpty() ? ended : status.message;
    // A queue stopped by a printer's fault keeps the job waiting until someone starts it again.
    const std::optional<PrintQueue::QueueStatus> queue = m_queue.queueStatus(m_queueName);
    if (queue && queue->stopped)
        return stoppedReason(m_queueName, *queue);
    return std::nullopt;
}

void PrintJobWatch::end(bool failed, const QString &reason)
{
    m_timer.stop();
    emit ended(failed, reason);
}
