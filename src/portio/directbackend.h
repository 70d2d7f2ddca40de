#pragma once

#include "portio/portbackend.h"

#include <QSet>

// The processor's port instructions, after the kernel has granted the port range (ioperm,
// which needs CAP_SYS_RAWIO). Widths 0, 1 and 2 are 8, 16 and 32 bits; other widths access
// nothing. Available on x86 only; elsewhere no port is ever granted.
class DirectBackend final : public PortBackend
{
public:
    bool prepare(quint32 port) override;

protected:
    quint32 readRegister(quint32 port, quint32 width) override;
    bool writeRegister(quint32 port, quint32 width, quint32 value) override;

private:
    QSet<quint32> m_grantedPorts;
};
