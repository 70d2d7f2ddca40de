#include "portio/directbackend.h"

#include "portio/emergencyoff.h"

#if defined(__x86_64__) || defined(__i386__)

#include <sys/io.h>

namespace {

// The grant is per thread, and the signal may be handled on a thread that never asked for it.
void writeZeroByte(int port) noexcept
{
    if (ioperm(port, 1, 1) == 0)
        outb(0, port);
}

} // namespace

bool DirectBackend::prepare(quint32 port)
{
    if (m_grantedPorts.contains(port))
        return true;
    constexpr unsigned long WidestAccess = 4; // bytes of a 32-bit access
    if (ioperm(port, WidestAccess, 1) != 0)
        return false;
    m_grantedPorts.insert(port);
    return true;
}

quint32 DirectBackend::readRegister(quint32 port, quint32 width)
{
    if (width > 2 || !prepare(port))
        return absentRegisterValue(width);
    switch (width) {
    case 0:
        return inb(port);
    case 1:
        return inw(port);
    default:
        return inl(port);
    }
}

bool DirectBackend::writeRegister(quint32 port, quint32 width, quint32 value)
{
    if (width > 2 || !prepare(port))
        return false;
    EmergencyOff::arm(writeZeroByte, int(port));
    switch (width) {
    case 0:
        outb(value & 0xFF, port);
        break;
    case 1:
        outw(value & 0xFFFF, port);
        break;
    default:
        outl(value, port);
        break;
    }
    return true; // the instruction has no result; the read-back tells
}

#else // no port instructions on this processor: access is always refused

bool DirectBackend::prepare(quint32)
{
    return false;
}

quint32 DirectBackend::readRegister(quint32, quint32 width)
{
    return absentRegisterValue(width);
}

bool DirectBackend::writeRegister(quint32, quint32, quint32)
{
    return false;
}

#endif
