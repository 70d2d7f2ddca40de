#include "portio/hangnotes.h"

#include "core/czechformat.h"
#include "core/paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace HangNotes {

QString filePath()
{
    return JoinPath(configDirectory(), QStringLiteral("Velmora.hang"));
}

bool append(const QString &text)
{
    QDir().mkpath(configDirectory());
    const QByteArray line =
        (CzechFormat::dateTime(QDateTime::currentDateTime()) + QStringLiteral(": ") + text)
            .toUtf8() +
        '\n';
    // One write of a short line in append mode: notes of two watchdogs never interleave.
    const int fd = ::open(QFile::encodeName(filePath()).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    return written;
}

QStringList take()
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    file.close();
    file.remove();
    return lines;
}

} // namespace HangNotes
