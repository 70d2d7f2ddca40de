#include "portio/portwatchdog.h"

#include "portio/watchdogwire.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char **environ;

namespace {

// Beside the running program file; read from /proc, since this runs before the application
// object exists.
QByteArray watchdogProgram()
{
    const QString program = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    return QFile::encodeName(QFileInfo(program).absolutePath() +
                             QStringLiteral("/velmora-watchdog"));
}

qint64 monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// The first pipe's far end becomes the watchdog's input, the second's its output, which it
// never writes: its end of file tells the desk that the watchdog has gone. It keeps our error
// output and starts a session of its own.
int spawnWatchdog(const QByteArray &program, const QByteArray &backend, int input, int output,
                  pid_t *pid)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
    char *arguments[] = {const_cast<char *>(program.constData()),
                         const_cast<char *>(backend.constData()), nullptr};
    const int result =
        posix_spawn(pid, program.constData(), &actions, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

} // namespace

PortWatchdog::~PortWatchdog()
{
    close();
}

bool PortWatchdog::start(PortBackendKind kind)
{
    close();
    m_watched.clear();
    m_runs.clear();
    m_runFiles.clear();
    m_kind = kind;
    return spawn();
}

bool PortWatchdog::restart()
{
    close();
    if (!spawn())
        return false;
    for (const quint32 port : std::as_const(m_watched))
        send(WatchdogWire::portWord(port));
    for (auto file = m_runFiles.cbegin(); file != m_runFiles.cend(); ++file)
        send(WatchdogWire::runsWord(file.key(), file.value()));
    const qint64 now = monotonicMs();
    for (const Run &run : std::as_const(m_runs))
        send(WatchdogWire::paidWord(run.port, run.unit, qMax<qint64>(0, run.endTick - now)));
    return true;
}

bool PortWatchdog::spawn()
{
    int orders[2], hangUp[2];
    if (pipe2(orders, O_CLOEXEC) != 0) {
        qWarning("Port: hlídač portu nelze spustit: %s", strerror(errno));
        return false;
    }
    if (pipe2(hangUp, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Port: hlídač portu nelze spustit: %s", strerror(errno));
        ::close(orders[0]);
        ::close(orders[1]);
        return false;
    }
    const QByteArray program = watchdogProgram();
    pid_t pid = 0;
    const int result = spawnWatchdog(program, portBackendName(m_kind), orders[0], hangUp[1], &pid);
    ::close(orders[0]);
    ::close(hangUp[1]);
    if (result != 0) {
        qWarning("Port: hlídač portu %s nelze spustit: %s", program.constData(), strerror(result));
        ::close(orders[1]);
        ::close(hangUp[0]);
        return false;
    }
    // The desk never waits on the watchdog.
    fcntl(orders[1], F_SETFL, O_NONBLOCK);
    m_pipe = orders[1];
    m_hangUp = hangUp[0];
    return true;
}

void PortWatchdog::watch(quint32 port)
{
    if (m_watched.contains(port))
        return;
    // Kept also without a watchdog, for the one that a restart brings.
    m_watched.insert(port);
    if (m_pipe >= 0)
        send(WatchdogWire::portWord(port));
}

void PortWatchdog::beat()
{
    if (m_pipe >= 0)
        send(WatchdogWire::beatWord());
}

void PortWatchdog::paid(quint32 port, int unit, qint64 remainingMs)
{
    free(port, unit);
    m_runs.append({port, unit, monotonicMs() + remainingMs});
    if (m_pipe >= 0)
        send(WatchdogWire::paidWord(port, unit, remainingMs));
}

void PortWatchdog::free(quint32 port, int unit)
{
    const qsizetype before = m_runs.size();
    m_runs.removeIf([port, unit](const Run &run) { return run.port == port && run.unit == unit; });
    if (m_pipe >= 0 && m_runs.size() != before)
        send(WatchdogWire::freeWord(port, unit));
}

void PortWatchdog::runFile(quint32 port, const QString &path)
{
    m_runFiles.insert(port, path);
    if (m_pipe >= 0)
        send(WatchdogWire::runsWord(port, path));
}

void PortWatchdog::endNormally()
{
    if (m_pipe < 0)
        return;
    send(WatchdogWire::endWord());
    close();
}

bool PortWatchdog::send(const QByteArray &word)
{
    // One short word is written whole or not at all (less than PIPE_BUF).
    if (::write(m_pipe, word.constData(), size_t(word.size())) == word.size())
        return true;
    qWarning("Port: hlídač portu neodpovídá: %s", strerror(errno));
    return false;
}

void PortWatchdog::close()
{
    for (int *fd : {&m_pipe, &m_hangUp}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}
