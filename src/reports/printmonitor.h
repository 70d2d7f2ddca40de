#pragma once

#include "reports/logic/printjobwatch.h"

#include <QObject>

#include <functional>
#include <memory>

// Tells the user and the event log of every print that failed, also of one that the queue gives
// up only after the window that printed it has gone: it asks the queue before a job is handed
// over, and follows each job once the queue has it. The console installs the program's monitor,
// which writes to the event log; until then prints are checked all the same and failures only
// shown.
class PrintMonitor : public QObject
{
    Q_OBJECT

public:
    PrintMonitor(std::unique_ptr<PrintQueue> queue, std::function<void(const QString &)> addLog,
                 PrintJobWatch::Schedule schedule = {}, QObject *parent = nullptr);
    ~PrintMonitor() override;

    static PrintMonitor &current();
    // nullptr: back to the monitor without a log.
    static void install(PrintMonitor *monitor);

    // Why the queue would not print a job now; nothing when it would, or cannot be asked.
    std::optional<QString> refusal(const QString &queueName);
    // The newest of this user's jobs on the queue, to tell the next one from it; nothing when the
    // queue cannot be asked.
    std::optional<int> newestJob(const QString &queueName);
    // Once a job has been handed to the queue: follows it, the queue's job newer than
    // newestBefore. False after the failure has been reported when the queue holds none.
    bool follow(const QString &title, const QString &queueName, int newestBefore);
    // "Tisk se nezdařil..." with the reason, and the event log's line with the receipt number or
    // report title, the queue (empty: none) and the reason.
    void reportFailure(const QString &title, const QString &queueName, const QString &reason);

signals:
    // A followed job's watch has ended, after its failure has been reported.
    void jobFollowed(int job, bool failed);

private:
    std::unique_ptr<PrintQueue> m_queue;
    std::function<void(const QString &)> m_addLog;
    PrintJobWatch::Schedule m_schedule;
};
