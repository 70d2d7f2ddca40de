#include "reports/logic/printqueue.h"

#include <cups/cups.h>

#include <algorithm>
#include <array>

namespace {

using IppMessage = std::unique_ptr<ipp_t, decltype(&ippDelete)>;

// CUPS names an instance of a queue "queue/instance"; the server knows only the queue.
QByteArray serverName(const QString &queue)
{
    return queue.section(QLatin1Char('/'), 0, 0).toUtf8();
}

// The server answers by the resource; the host part is a formality, as the CUPS tools write it.
QByteArray localUri(const char *resource, const QByteArray &name)
{
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri.data(), int(uri.size()), "ipp", nullptr, "localhost",
                     ippPort(), "/%s/%s", resource, name.constData());
    return QByteArray(uri.data());
}

// A request to the server the user's CUPS settings name, asking for the given attributes;
// nothing when the server cannot be reached or refuses the request.
template <std::size_t Count>
IppMessage ask(ipp_op_t operation, const char *uriName, const QByteArray &uri,
               const std::array<const char *, Count> &attributes)
{
    ipp_t *request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, uriName, nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(Count),
                  nullptr, attributes.data());
    IppMessage response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"), &ippDelete);
    if (response && ippGetStatusCode(response.get()) >= IPP_STATUS_ERROR_BAD_REQUEST)
        response.reset();
    return response;
}

QString text(ipp_t *message, const char *name)
{
    ipp_attribute_t *attribute = ippFindAttribute(message, name, IPP_TAG_ZERO);
    const char *value = attribute ? ippGetString(attribute, 0, nullptr) : nullptr;
    return value ? QString::fromUtf8(value) : QString();
}

std::optional<int> number(ipp_t *message, const char *name, ipp_tag_t type)
{
    ipp_attribute_t *attribute = ippFindAttribute(message, name, type);
    if (!attribute)
        return std::nullopt;
    return ippGetInteger(attribute, 0);
}

std::optional<PrintQueue::JobState> jobState(int ippState)
{
    switch (ippState) {
    case IPP_JSTATE_PENDING:
        return PrintQueue::JobState::Pending;
    case IPP_JSTATE_HELD:
        return PrintQueue::JobState::Held;
    case IPP_JSTATE_PROCESSING:
        return PrintQueue::JobState::Processing;
    case IPP_JSTATE_STOPPED:
        return PrintQueue::JobState::Stopped;
    case IPP_JSTATE_CANCELED:
        return PrintQueue::JobState::Canceled;
    case IPP_JSTATE_ABORTED:
        return PrintQueue::JobState::Aborted;
    case IPP_JSTATE_COMPLETED:
        return PrintQueue::JobState::Completed;
    default:
        return std::nullopt;
    }
}

class CupsPrintQueue : public PrintQueue
{
public:
    std::optional<QueueStatus> queueStatus(const QString &queue) override
    {
        const IppMessage response = ask(
            IPP_OP_GET_PRINTER_ATTRIBUTES, "printer-uri", localUri("printers", serverName(queue)),
            std::array{"printer-is-accepting-jobs", "printer-state", "printer-state-message"});
        if (!response)
            return std::nullopt;
        QueueStatus status;
        if (ipp_attribute_t *accepting =
                ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
            status.acceptingJobs = ippGetBoolean(accepting, 0);
        status.stopped =
            number(response.get(), "printer-state", IPP_TAG_ENUM) == int(IPP_PSTATE_STOPPED);
        status.message = text(response.get(), "printer-state-message");
        return status;
    }

    std::optional<int> newestJob(const QString &queue) override
    {
        cups_job_t *jobs = nullptr;
        const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, serverName(queue).constData(), 1,
                                       CUPS_WHICHJOBS_ALL);
        if (count < 0)
            return std::nullopt;
        int newest = 0;
        for (int i = 0; i < count; ++i)
            newest = std::max(newest, jobs[i].id);
        cupsFreeJobs(count, jobs);
        return newest;
    }

    std::optional<JobStatus> jobStatus(int job) override
    {
        const IppMessage response =
            ask(IPP_OP_GET_JOB_ATTRIBUTES, "job-uri", localUri("jobs", QByteArray::number(job)),
                std::array{"job-state", "job-printer-state-message"});
        if (!response)
            return std::nullopt;
        const std::optional<int> ippState = number(response.get(), "job-state", IPP_TAG_ENUM);
        const std::optional<JobState> state = ippState ? jobState(*ippState) : std::nullopt;
        if (!state)
            return std::nullopt;
        return JobStatus{*state, text(response.get(), "job-printer-state-message")};
    }
};

} // namespace

std::unique_ptr<PrintQueue> systemPrintQueue()
{
    return std::make_unique<CupsPrintQueue>();
}
