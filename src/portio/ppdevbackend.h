#pragma once

#include "portio/portbackend.h"

#include <QHash>
#include <QString>

// The Linux user-space parallel-port interface. The port address selects the parport with that
// base address; its /dev/parportN is opened and claimed exclusively on first use and held for
// the rest of the run. Needs access to the device (group lp), not root. Only the 8-bit data
// register is reachable: other widths access nothing.
class PpdevBackend final : public PortBackend
{
public:
    // The roots are replaceable so that the lookup can be tried on a prepared tree.
    explicit PpdevBackend(const QString &procRoot = QStringLiteral("/proc"),
                          const QString &deviceRoot = QStringLiteral("/dev"));
    ~PpdevBackend() override;

    bool prepare(quint32 port) override;

protected:
    quint32 readRegister(quint32 port, quint32 width) override;
    bool writeRegister(quint32 port, quint32 width, quint32 value) override;

private:
    int claimedDevice(quint32 port); // the claimed descriptor, or -1 when there is none
    int claim(quint32 port) const;

    QString m_procRoot;
    QString m_deviceRoot;
    QHash<quint32, int> m_devices;
};
