#pragma once

#include "reports/logic/printqueue.h"

#include <QObject>
#include <QTimer>

// Follows one job on its queue for a few looks, driven by a timer so that the desk keeps
// working meanwhile. It ends as failed when the job is aborted, cancelled, stopped or held (put
// off for a later try) or when its queue stops; it ends quietly once the job is completed or the
// looks are used up (a job still waiting or printing by then is left to the queue).
class PrintJobWatch : public QObject
{
    Q_OBJECT

public:
    struct Schedule
    {
        int looks = 10;
        int intervalMs = 500;
    };

    PrintJobWatch(PrintQueue &queue, const QString &queueName, int job, Schedule schedule,
                  QObject *parent = nullptr);

    // Why the queue keeps jobs from printing while it is stopped: its own words, else ours.
    static QString stoppedReason(const QString &queueName, const PrintQueue::QueueStatus &status);

    void start();

signals:
    // Once; the reason is empty unless failed.
    void ended(bool failed, const QString &reason);

private:
    void look();
    // The reason the print has failed, as far as the queue tells it now.
    std::optional<QString> failure(const PrintQueue::JobStatus &status);
    void end(bool failed, const QString &reason = {});

    PrintQueue &m_queue;
    QString m_queueName;
    int m_job;
    int m_looksLeft;
    QTimer m_timer;
};
