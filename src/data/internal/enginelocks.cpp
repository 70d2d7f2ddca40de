#include "data/internal/enginelocks.h"

#include "core/paths.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

const QString EngineLocks::TableLockFile = QStringLiteral("PARADOX.LCK");
const QString EngineLocks::UsersLockFile = QStringLiteral("PDOXUSRS.LCK");
const QString EngineLocks::NetControlFile = QStringLiteral("PDOXUSRS.NET");

namespace {

// Stable across programs and runs: FNV-1a of the upper-cased name, past a reserved first byte.
off_t lockOffset(const QString &key)
{
    quint32 hash = 2166136261u;
    for (const char byte : key.toUtf8()) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return off_t(1) + off_t(hash % 0x3FFFFFFFu);
}

bool setLock(int fd, short type, off_t offset)
{
    struct flock lock;
    std::memset(&lock, 0, sizeof lock);
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = offset;
    lock.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

int openControlFile(const QString &path, EngineError *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        *error = EngineError(EngineErrorCode::LockFileError,
                             QStringLiteral("Řídící soubor %1 nelze otevřít (%2)")
                                 .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    return fd;
}

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

EngineLocks::~EngineLocks()
{
    close();
}

bool EngineLocks::open(const QString &dataDirectory, const QString &netDirectory,
                       EngineError *error)
{
    close();
    m_tableFd = openControlFile(JoinPath(dataDirectory, TableLockFile), error);
    if (m_tableFd >= 0)
        m_usersFd = openControlFile(JoinPath(dataDirectory, UsersLockFile), error);
    if (m_usersFd >= 0)
        m_netFd = openControlFile(JoinPath(netDirectory, NetControlFile), error);
    if (m_netFd < 0) {
        close();
        return false;
    }
    // The connection's own marks; they only fail under an unknown program's write lock.
    if (!setLock(m_usersFd, F_RDLCK, 0) || !setLock(m_netFd, F_RDLCK, 0)) {
        *error =
            EngineError(EngineErrorCode::LockFileError,
                        QStringLiteral("Řídící soubory databáze jsou zamčeny jiným programem"));
        close();
        return false;
    }
    return true;
}

void EngineLocks::close()
{
    closeFd(m_tableFd);
    closeFd(m_usersFd);
    closeFd(m_netFd);
    m_holds.clear();
}

bool EngineLocks::applyLock(const QString &key, const Holds &holds)
{
    const short type = holds.exclusive > 0 ? F_WRLCK : holds.shared > 0 ? F_RDLCK : F_UNLCK;
    return setLock(m_tableFd, type, lockOffset(key));
}

bool EngineLocks::acquire(const QString &tableFileName, bool exclusive, EngineError *error)
{
    if (m_tableFd < 0) {
        *error =
            EngineError(EngineErrorCode::NotConnected, QStringLiteral("Databáze není připojena"));
        return false;
    }
    const QString key = tableFileName.toUpper();
    Holds wanted = m_holds.value(key);
    (exclusive ? wanted.exclusive : wanted.shared) += 1;
    if (!applyLock(key, wanted)) {
        *error = EngineError(
            EngineErrorCode::TableInUse,
            exclusive ? QStringLiteral("Tabulku %1 nelze otevřít výhradně: používá ji jiný program")
                            .arg(tableFileName)
                      : QStringLiteral("Tabulka %1 je výhradně otevřena jiným programem")
                            .arg(tableFileName));
        return false;
    }
    m_holds.insert(key, wanted);
    return true;
}

void EngineLocks::release(const QString &tableFileName, bool exclusive)
{
    const QString key = tableFileName.toUpper();
    auto found = m_holds.find(key);
    if (found == m_holds.end() || m_tableFd < 0)
        return;
    int &count = exclusive ? found->exclusive : found->shared;
    count = qMax(0, count - 1);
    // Lowering a lock never conflicts with another program.
    applyLock(key, *found);
    if (found->shared == 0 && found->exclusive == 0)
        m_holds.erase(found);
}
