#include "portio/runstamps.h"

#include "portio/unitswitch.h"

#include <QFile>
#include <QList>

#include <fcntl.h>
#include <unistd.h>

namespace RunStamps {

namespace {

const QByteArray OffWord = QByteArrayLiteral("off");
const QByteArray DownWord = QByteArrayLiteral("down");

} // namespace

QByteArray offLine(int unit, qint64 epochMs)
{
    return OffWord + '\t' + QByteArray::number(unit) + '\t' + QByteArray::number(epochMs) + '\n';
}

std::optional<OffStamp> parseOffLine(const QByteArray &line)
{
    const QList<QByteArray> fields = line.trimmed().split('\t');
    if (fields.size() != 3 || fields.at(0) != OffWord)
        return std::nullopt;
    bool unitOk = false, timeOk = false;
    const int unit = fields.at(1).toInt(&unitOk);
    const qint64 epochMs = fields.at(2).toLongLong(&timeOk);
    if (!unitOk || !timeOk || unit < 1 || unit > 8)
        return std::nullopt;
    return OffStamp{unit, epochMs};
}

std::optional<qint64> parseDownLine(const QByteArray &line)
{
    const QList<QByteArray> fields = line.trimmed().split('\t');
    bool ok = false;
    const qint64 epochMs = fields.size() == 2 ? fields.at(1).toLongLong(&ok) : 0;
    if (!ok || fields.at(0) != DownWord)
        return std::nullopt;
    return epochMs;
}

bool appendOffStamps(const QString &runFile, quint32 unitBits, qint64 epochMs, bool deskDied)
{
    QByteArray lines;
    for (int unit = 1; unit <= 8; ++unit) {
        if (unitBits & unitMask(unit))
            lines += offLine(unit, epochMs);
    }
    if (deskDied)
        lines += DownWord + '\t' + QByteArray::number(epochMs) + '\n';
    if (lines.isEmpty() || runFile.isEmpty())
        return true;
    // Appended, not rewritten: the desk that rewrites the file is dead or stopped.
    const int fd = ::open(QFile::encodeName(runFile).constData(),
                          O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const bool written =
        ::write(fd, lines.constData(), size_t(lines.size())) == lines.size() && ::fsync(fd) == 0;
    ::close(fd);
    return written;
}

} // namespace RunStamps
