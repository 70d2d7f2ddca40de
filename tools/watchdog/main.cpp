// velmora-watchdog BACKEND: reads the desk's words from its input until the desk closes the
// pipe, then switches off every register the desk announced unless the desk said "end"
// (portio/portwatchdog.h). While the desk lives, a desk that stops beating is taken for hung:
// each run it left on past its paid end goes off here.
#include "core/ownerfiles.h"
#include "portio/hangnotes.h"
#include "portio/portbackendchoice.h"
#include "portio/portrequest.h"
#include "portio/runstamps.h"
#include "portio/unitswitch.h"
#include "portio/watchdogwire.h"

#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <poll.h>
#include <unistd.h>

namespace {

// The back end's complaints while the claim is retried; shown only if the watchdog gives up.
QStringList heldMessages;

void holdMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    heldMessages.append(text);
}

qint64 monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// A parport stays claimed by the desk until the kernel has closed all of its descriptors, which
// may be just after the pipe: retry for most of the second the switch-off may take.
bool prepareWithRetries(PortBackend &backend, quint32 port)
{
    constexpr int Attempts = 45;
    const timespec pause{0, 20'000'000};
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (backend.prepare(port))
            return true;
        nanosleep(&pause, nullptr);
    }
    return false;
}

bool writeRegister(PortBackend &backend, quint32 port, quint32 value)
{
    QByteArray answer;
    return backend.deviceControl(PortWire::WriteCode, PortWire::encodeRequest({port, 0, value}),
                                 &answer);
}

std::optional<quint32> readRegister(PortBackend &backend, quint32 port)
{
    QByteArray answer;
    if (!backend.deviceControl(PortWire::ReadCode, PortWire::encodeRequest({port, 0, 0}), &answer))
        return std::nullopt;
    return PortWire::decodeAnswer(answer) & 0xFF;
}

qint64 epochMs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// The desk and this watchdog: what it said, and the back end, opened only when needed.
class Watch
{
public:
    explicit Watch(PortBackendKind kind) : m_kind(kind), m_orders(monotonicMs()) {}

    // Reads and acts until the desk has gone; false when a register could not be switched off.
    bool run();

private:
    PortBackend &backend();
    void switchOffOverdueRuns();
    bool switchOffUnit(const WatchdogWire::PaidRun &run);
    bool switchOffEverything();
    bool switchOff(quint32 port);

    PortBackendKind m_kind;
    std::unique_ptr<PortBackend> m_backend;
    WatchdogWire::Orders m_orders;
    bool m_deskKilled = false;
};

PortBackend &Watch::backend()
{
    if (!m_backend) {
        qInstallMessageHandler(holdMessage);
        m_backend = createPortBackend(m_kind);
    }
    return *m_backend;
}

bool Watch::run()
{
    constexpr int PollMs = 250;
    char buffer[256];
    for (;;) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&input, 1, PollMs);
        if (ready > 0) {
            const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN))
                return switchOffEverything();
            if (count > 0)
                m_orders.feed(QByteArray(buffer, count), monotonicMs());
        } else if (ready < 0 && errno != EINTR) {
            return switchOffEverything();
        }
        switchOffOverdueRuns();
    }
}

void Watch::switchOffOverdueRuns()
{
    const qint64 now = monotonicMs();
    for (const WatchdogWire::PaidRun &run : m_orders.overdueRuns(now)) {
        if (!switchOffUnit(run))
            continue; // the next round tries again, or the desk's death switches off
        m_orders.forgetRun(run.port, run.unit);
        HangNotes::append(QStringLiteral("program neodpovídal %1 s, hlídač portu vypnul solárko "
                                         "[%2] %3 s po zaplaceném konci")
                              .arg(m_orders.silentFor(now) / 1000)
                              .arg(run.unit)
                              .arg((now - run.endMs) / 1000));
    }
}

bool Watch::switchOffUnit(const WatchdogWire::PaidRun &run)
{
    PortBackend &port = backend();
    if (!port.prepare(run.port)) {
        // A parport that the hung desk holds exclusively: the desk goes first, its death then
        // switches everything off.
        if (!m_deskKilled) {
            m_deskKilled = true;
            HangNotes::append(QStringLiteral("program neodpovídal a držel port, hlídač portu ho "
                                             "ukončil, aby mohl vypnout solárko [%1]")
                                  .arg(run.unit));
            ::kill(getppid(), SIGKILL);
        }
        return false;
    }
    const std::optional<quint32> value = readRegister(port, run.port);
    if (!value || !writeRegister(port, run.port, *value & ~unitMask(run.unit)))
        return false;
    RunStamps::appendOffStamps(m_orders.runFile(run.port), *value & unitMask(run.unit), epochMs(),
                               false);
    return true;
}

// The units found on, and those with a paid run that the desk's own handler may have switched
// off just before it died, are stamped in the desk's run file: its next start books each
// interrupted run up to now.
bool Watch::switchOff(quint32 port)
{
    PortBackend &device = backend();
    if (!prepareWithRetries(device, port))
        return false;
    const quint32 before = readRegister(device, port).value_or(0);
    if (!writeRegister(device, port, 0))
        return false;
    RunStamps::appendOffStamps(m_orders.runFile(port), before | m_orders.paidUnits(port), epochMs(),
                               true);
    return true;
}

bool Watch::switchOffEverything()
{
    const QList<quint32> registers = m_orders.registersToSwitchOff();
    bool allOff = true;
    for (const quint32 port : registers) {
        if (!switchOff(port)) {
            allOff = false;
            std::fprintf(stderr, "velmora-watchdog: port %04X nelze vypnout\n", port);
        }
    }
    if (!allOff) {
        for (const QString &message : std::as_const(heldMessages))
            std::fprintf(stderr, "velmora-watchdog: %s\n", qPrintable(message));
    }
    return allOff;
}

} // namespace

int main(int argc, char *argv[])
{
    // What ends the desk's terminal, group or session must not end this before it has acted.
    for (const int signalNumber : {SIGINT, SIGHUP, SIGTERM, SIGQUIT, SIGPIPE})
        signal(signalNumber, SIG_IGN);
    if (argc != 2)
        return 2;
    keepNewFilesToOwner();
    Watch watch(portBackendFromName(QString::fromLocal8Bit(argv[1])));
    return watch.run() ? 0 : 1;
}
