#include "portio/endrequest.h"

#include "portio/emergencyoff.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

EndRequestNotifier::EndRequestNotifier(QObject *parent) : QObject(parent)
{
    int ends[2];
    // Non-blocking: the handler must never wait on a full pipe.
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Port: žádost o ukončení nelze předat, signál ukončí program ihned");
        return;
    }
    m_readFd = ends[0];
    m_writeFd = ends[1];
    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EndRequestNotifier::readRequest);
    EmergencyOff::passEndRequestsTo(m_writeFd);
}

EndRequestNotifier::~EndRequestNotifier()
{
    if (m_writeFd < 0)
        return;
    EmergencyOff::passEndRequestsTo(-1); // before the descriptor goes
    ::close(m_writeFd);
    ::close(m_readFd);
}

void EndRequestNotifier::readRequest()
{
    unsigned char signalNumber = 0;
    if (::read(m_readFd, &signalNumber, 1) == 1)
        emit endRequested(signalNumber);
}
