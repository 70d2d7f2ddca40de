#include "portio/simulatorbackend.h"

#include "portio/emergencyoff.h"
#include "portio/simulatorfiles.h"

#include <QDir>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeZeroByte(int fd) noexcept
{
    const unsigned char zero = 0;
    [[maybe_unused]] const ssize_t written = pwrite(fd, &zero, 1, 0);
}

int openOrCreate(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    constexpr int Flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW;
    const int created = ::open(name.constData(), Flags | O_CREAT | O_EXCL, 0600);
    if (created >= 0) {
        writeZeroByte(created);
        return created;
    }
    return errno == EEXIST ? ::open(name.constData(), Flags) : -1;
}

} // namespace

SimulatorBackend::~SimulatorBackend()
{
    for (const int fd : std::as_const(m_files))
        ::close(fd);
}

bool SimulatorBackend::prepare(quint32 port)
{
    return !isSimulatedPort(port) || registerFile(port) >= 0;
}

quint32 SimulatorBackend::readRegister(quint32 port, quint32 width)
{
    if (width != 0)
        return 0;
    const int fd = isSimulatedPort(port) ? registerFile(port) : -1;
    if (fd < 0)
        return absentRegisterValue(width);
    unsigned char value = 0;
    return pread(fd, &value, 1, 0) == 1 ? value : absentRegisterValue(width);
}

bool SimulatorBackend::writeRegister(quint32 port, quint32 width, quint32 value)
{
    if (width != 0 || !isSimulatedPort(port))
        return false;
    const int fd = registerFile(port);
    if (fd < 0)
        return false;
    EmergencyOff::arm(writeZeroByte, fd);
    // A register file nobody may write is a board whose relays stick: its writes fail, also
    // for root, as a real board's failing write would.
    struct stat status = {};
    if (fstat(fd, &status) != 0 || (status.st_mode & 0222) == 0)
        return false;
    const unsigned char byte = value & 0xFF;
    // One byte at offset 0: a watcher never sees a half-written register.
    return pwrite(fd, &byte, 1, 0) == 1;
}

int SimulatorBackend::registerFile(quint32 port)
{
    if (const auto found = m_files.constFind(port); found != m_files.cend())
        return *found;
    QString problem;
    if (!prepareSimulatorDirectory(&problem)) {
        qWarning("Port: %s", qPrintable(problem));
        return -1;
    }
    const int fd = openOrCreate(simulatorFilePath(port));
    if (fd >= 0)
        m_files.insert(port, fd);
    return fd;
}
