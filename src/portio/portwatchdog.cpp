#include "portio/portwatchdog.h"

#include "portio/watchdogwire.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
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

// The pipe's far end becomes the watchdog's input; it gets no output of ours, keeps our error
// output, and starts a session of its own.
int spawnWatchdog(const QByteArray &program, const QByteArray &backend, int input, pid_t *pid)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
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
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        qWarning("Port: hlídač portu nelze spustit: %s", strerror(errno));
        return false;
    }
    const QByteArray program = watchdogProgram();
    pid_t pid = 0;
    const int result = spawnWatchdog(program, portBackendName(kind), ends[0], &pid);
    ::close(ends[0]);
    if (result != 0) {
        qWarning("Port: hlídač portu %s nelze spustit: %s", program.constData(), strerror(result));
        ::close(ends[1]);
        return false;
    }
    // The desk never waits on the watchdog.
    fcntl(ends[1], F_SETFL, O_NONBLOCK);
    m_pipe = ends[1];
    return true;
}

void PortWatchdog::watch(quint32 port)
{
    if (m_pipe < 0 || m_watched.contains(port))
        return;
    m_watched.insert(port);
    send(WatchdogWire::portWord(port));
}

void PortWatchdog::endNormally()
{
    if (m_pipe < 0)
        return;
    send(WatchdogWire::endWord());
    close();
}

void PortWatchdog::send(const QByteArray &word)
{
    // One short word is written whole or not at all (less than PIPE_BUF).
    if (::write(m_pipe, word.constData(), size_t(word.size())) != word.size())
        qWarning("Port: hlídač portu neodpovídá: %s", strerror(errno));
}

void PortWatchdog::close()
{
    if (m_pipe < 0)
        return;
    ::close(m_pipe);
    m_pipe = -1;
    m_watched.clear();
}
