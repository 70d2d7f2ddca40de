#include "portio/ppdevbackend.h"

#include "core/paths.h"
#include "portio/emergencyoff.h"
#include "portio/parportlookup.h"
#include "portio/portaddress.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

void writeZeroData(int fd) noexcept
{
    unsigned char zero = 0;
    ioctl(fd, PPWDATA, &zero);
}

void warnRefused(const QString &device, const char *step, int error)
{
    qWarning("Port: %s (%s): %s", qPrintable(device), step, strerror(error));
}

} // namespace

PpdevBackend::PpdevBackend(const QString &procRoot, const QString &deviceRoot)
    : m_procRoot(procRoot), m_deviceRoot(deviceRoot)
{}

PpdevBackend::~PpdevBackend()
{
    for (const int fd : std::as_const(m_devices)) {
        ioctl(fd, PPRELEASE);
        ::close(fd);
    }
}

bool PpdevBackend::prepare(quint32 port)
{
    return claimedDevice(port) >= 0;
}

quint32 PpdevBackend::readRegister(quint32 port, quint32 width)
{
    if (width != 0)
        return 0;
    const int fd = claimedDevice(port);
    unsigned char value = 0;
    if (fd < 0 || ioctl(fd, PPRDATA, &value) != 0)
        return absentRegisterValue(width);
    return value;
}

bool PpdevBackend::writeRegister(quint32 port, quint32 width, quint32 value)
{
    if (width != 0)
        return false;
    const int fd = claimedDevice(port);
    if (fd < 0)
        return false;
    EmergencyOff::arm(writeZeroData, fd);
    unsigned char byte = value & 0xFF;
    if (ioctl(fd, PPWDATA, &byte) == 0)
        return true;
    qWarning("Port: zápis do %s: %s", qPrintable(portTextFromAddress(port)), strerror(errno));
    return false;
}

int PpdevBackend::claimedDevice(quint32 port)
{
    if (const auto found = m_devices.constFind(port); found != m_devices.cend())
        return *found;
    const int fd = claim(port);
    if (fd >= 0)
        m_devices.insert(port, fd);
    return fd;
}

int PpdevBackend::claim(quint32 port) const
{
    const auto number = findParportNumber(port, m_procRoot);
    if (!number) {
        qWarning("Port: žádný paralelní port nemá adresu %s",
                 qPrintable(portTextFromAddress(port)));
        return -1;
    }
    const QString device = JoinPath(m_deviceRoot, QStringLiteral("parport%1").arg(*number));
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        warnRefused(device, "open", errno);
        return -1;
    }
    // Exclusive: no other driver or program may drive the relays while we hold the port.
    if (ioctl(fd, PPEXCL) != 0 || ioctl(fd, PPCLAIM) != 0) {
        warnRefused(device, "claim", errno);
        ::close(fd);
        return -1;
    }
    // The data lines must drive the relays, not listen.
    int forward = 0;
    ioctl(fd, PPDATADIR, &forward);
    return fd;
}
