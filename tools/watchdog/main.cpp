// velmora-watchdog BACKEND: reads the desk's words from its input until the desk closes the
// pipe, then switches off every register the desk announced unless the desk said "end"
// (portio/portwatchdog.h).
#include "portio/portbackendchoice.h"
#include "portio/portrequest.h"
#include "portio/watchdogwire.h"

#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

// The back end's complaints while the claim is retried; shown only if the watchdog gives up.
QStringList heldMessages;

void holdMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    heldMessages.append(text);
}

WatchdogWire::Orders readOrders()
{
    WatchdogWire::Orders orders;
    char buffer[256];
    for (;;) {
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count > 0)
            orders.feed(QByteArray(buffer, count));
        else if (count == 0 || errno != EINTR)
            return orders;
    }
}

// A parport stays claimed by the desk until the kernel has closed all of its descriptors, which
// may be just after the pipe: retry for most of the second the switch-off may take.
bool switchOff(PortBackend &backend, quint32 port)
{
    constexpr int Attempts = 45;
    const timespec pause{0, 20'000'000};
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (backend.prepare(port)) {
            QByteArray answer;
            return backend.deviceControl(PortWire::WriteCode, PortWire::encodeRequest({port, 0, 0}),
                                         &answer);
        }
        nanosleep(&pause, nullptr);
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // What ends the desk's terminal, group or session must not end this before it has acted.
    for (const int signalNumber : {SIGINT, SIGHUP, SIGTERM, SIGQUIT, SIGPIPE})
        signal(signalNumber, SIG_IGN);
    if (argc != 2)
        return 2;
    const QList<quint32> registers = readOrders().registersToSwitchOff();
    if (registers.isEmpty())
        return 0; // a normal end, or nothing was ever written

    qInstallMessageHandler(holdMessage);
    const auto backend = createPortBackend(portBackendFromName(QString::fromLocal8Bit(argv[1])));
    bool allOff = true;
    for (const quint32 port : registers) {
        if (!switchOff(*backend, port)) {
            allOff = false;
            std::fprintf(stderr, "velmora-watchdog: port %04X nelze vypnout\n", port);
        }
    }
    if (!allOff) {
        for (const QString &message : std::as_const(heldMessages))
            std::fprintf(stderr, "velmora-watchdog: %s\n", qPrintable(message));
    }
    return allOff ? 0 : 1;
}
