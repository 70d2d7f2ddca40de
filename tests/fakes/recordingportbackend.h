#pragma once

#include "portio/portbackend.h"
#include "portio/portrequest.h"

#include <QList>

// A port back end that answers every read with a fixed value and remembers what it was asked.
class RecordingPortBackend : public PortBackend
{
public:
    static constexpr quint32 Answer = 0x12345678;

    bool prepare(quint32) override { return true; }

    QList<PortWire::PortRequest> m_reads; // the value of a read is 0
    QList<PortWire::PortRequest> m_writes;

protected:
    quint32 readRegister(quint32 port, quint32 width) override;
    bool writeRegister(quint32 port, quint32 width, quint32 value) override;
};
