#include "portio/portaccess.h"

#include "portio/emergencyoff.h"
#include "portio/portaddress.h"
#include "portio/portbackendchoice.h"
#include "portio/portrequest.h"
#include "portio/portwatchdog.h"

namespace {

class PortAccessLayer
{
public:
    // Also reached by exit() without a shutdown: the units still go off.
    ~PortAccessLayer() { stop(); }

    void start(std::unique_ptr<PortBackend> backend)
    {
        stop();
        m_backend = std::move(backend);
        EmergencyOff::installHandlers();
    }

    // After the handlers: with SIGPIPE ignored, a watchdog that has gone makes a word fail to be
    // written (and reported) instead of ending the desk.
    void startWatchdog(PortBackendKind kind)
    {
        m_watchdog.start(kind);
        m_hasWatchdog = true;
    }

    void stop()
    {
        if (!m_backend)
            return;
        EmergencyOff::switchAllOff();
        m_watchdog.endNormally();
        m_hasWatchdog = false;
        EmergencyOff::disarm(); // before the back end closes the descriptors
        m_backend.reset();
        EmergencyOff::removeHandlers();
    }

    PortBackend *backend() const { return m_backend.get(); }
    PortWatchdog &watchdog() { return m_watchdog; }
    bool hasWatchdog() const { return m_hasWatchdog; }

private:
    std::unique_ptr<PortBackend> m_backend;
    PortWatchdog m_watchdog;
    bool m_hasWatchdog = false;
};

PortAccessLayer layer;

} // namespace

void initializePortAccess()
{
    const PortBackendKind kind = chosenPortBackend();
    initializePortAccess(createPortBackend(kind));
    layer.startWatchdog(kind);
}

void initializePortAccess(std::unique_ptr<PortBackend> backend)
{
    layer.start(std::move(backend));
}

void shutdownPortAccess()
{
    layer.stop();
}

PortWatchdog *portWatchdog()
{
    return layer.hasWatchdog() ? &layer.watchdog() : nullptr;
}

void announcePaidRun(int unit, qint64 remainingMs)
{
    layer.watchdog().paid(PortAddress(), unit, remainingMs);
}

void announceFreeUnit(int unit)
{
    layer.watchdog().free(PortAddress(), unit);
}

void announceRunFile(const QString &path)
{
    layer.watchdog().runFile(PortAddress(), path);
}

bool DriverStarted()
{
    return layer.backend() && layer.backend()->prepare(PortAddress());
}

quint32 ReadPort(quint32 port, quint32 width)
{
    if (!layer.backend())
        return absentRegisterValue(width);
    // A failed request reads as an absent device, never as a register of units all off.
    QByteArray answer;
    if (!layer.backend()->deviceControl(PortWire::ReadCode,
                                        PortWire::encodeRequest({port, width, 0}), &answer))
        return absentRegisterValue(width);
    return PortWire::decodeAnswer(answer);
}

bool WritePort(quint32 port, quint32 width, quint32 value)
{
    if (!layer.backend())
        return false;
    const EmergencyOff::WriteGate gate;
    if (!gate.isOpen())
        return false;
    layer.watchdog().watch(port); // before the write: a kill right after it is covered
    QByteArray answer;
    return layer.backend()->deviceControl(PortWire::WriteCode,
                                          PortWire::encodeRequest({port, width, value}), &answer);
}
