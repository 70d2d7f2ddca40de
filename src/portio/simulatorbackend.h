#pragma once

#include "portio/portbackend.h"

#include <QHash>

// A relay board for demonstrations and tests: the registers are the files of
// portio/simulatorfiles.h, created with the value 0 on first use and kept open for the run.
// Addresses without a simulated port read 255 and ignore writes, as on a bus with no device.
// Only the 8-bit width is implemented; other widths access nothing.
class SimulatorBackend final : public PortBackend
{
public:
    SimulatorBackend() = default;
    ~SimulatorBackend() override;

    bool prepare(quint32 port) override;

protected:
    quint32 readRegister(quint32 port, quint32 width) override;
    bool writeRegister(quint32 port, quint32 width, quint32 value) override;

private:
    int registerFile(quint32 port); // the open descriptor, or -1 when it cannot be had

    QHash<quint32, int> m_files;
};
