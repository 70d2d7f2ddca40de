#pragma once

#include <QString>

#include <memory>
#include <optional>

// What the system's print queues tell of themselves and of the jobs handed to them. A queue that
// cannot be asked answers nothing, and nothing is concluded from that.
class PrintQueue
{
public:
    struct QueueStatus
    {
        bool acceptingJobs = true;
        bool stopped = false;
        QString message; // the queue's own words for its state; may be empty
    };

    enum class JobState { Pending, Held, Processing, Stopped, Canceled, Aborted, Completed };

    struct JobStatus
    {
        JobState state = JobState::Pending;
        QString message; // what the queue said last while it worked on the job; may be empty
    };

    virtual ~PrintQueue() = default;

    virtual std::optional<QueueStatus> queueStatus(const QString &queue) = 0;
    // The id of this user's newest job on the queue, finished ones included; 0 when there is none.
    // Ids only grow, so a job handed over later has a higher one.
    virtual std::optional<int> newestJob(const QString &queue) = 0;
    virtual std::optional<JobStatus> jobStatus(int job) = 0;
};

// The system's print queues (CUPS).
std::unique_ptr<PrintQueue> systemPrintQueue();
