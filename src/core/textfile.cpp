#include "core/textfile.h"

#include "core/cp1250.h"
#include "core/filesync.h"
#include "core/paths.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileResult FileResult::systemError(int code, const QString &path)
{
    return {code,
            QStringLiteral("Soubor %1: %2").arg(path, QString::fromLocal8Bit(strerror(code)))};
}

FileResult FileResult::failure(const QString &message)
{
    return {0, message};
}

namespace {

bool writeAll(int fd, const QByteArray &content)
{
    const char *data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

FileResult writeFileAtomically(const QString &path, const QByteArray &content, FileAccess access,
                               FileSync sync)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat existing = {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    // A file marked read-only stays untouched, also for a user whom the system would let write.
    if (exists && ((existing.st_mode & S_IWUSR) == 0 || ::access(target.constData(), W_OK) != 0))
        return FileResult::systemError(EACCES, path);

    const QString directory = QFileInfo(path).absolutePath();
    QByteArray tempName = QFile::encodeName(
        JoinPath(directory, QStringLiteral(".%1.XXXXXX").arg(QFileInfo(path).fileName())));
    const int fd = ::mkstemp(tempName.data());
    if (fd < 0)
        return FileResult::systemError(errno, path);
    // fchmod is not subject to the umask, so the mode is exactly the one chosen here.
    if (access == FileAccess::OwnerOnly)
        ::fchmod(fd, S_IRUSR | S_IWUSR);
    else
        ::fchmod(fd, exists ? (existing.st_mode & 07777) : S_IRUSR | S_IWUSR);

    const bool written = writeAll(fd, content) && (sync == FileSync::ToCache || ::fsync(fd) == 0);
    const int writeError = errno;
    ::close(fd);
    if (!written || ::rename(tempName.constData(), target.constData()) != 0) {
        const int error = written ? errno : writeError;
        ::unlink(tempName.constData());
        return FileResult::systemError(error, path);
    }
    if (sync == FileSync::ToDisk)
        syncDirectory(directory);
    return FileResult::success();
}

namespace Cp1250Lines {

FileResult read(const QString &path, QStringList *lines)
{
    lines->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(
            QStringLiteral("Soubor %1 nelze číst: %2").arg(path, file.errorString()));
    const QString text = Cp1250::decode(file.readAll());
    if (text.isEmpty())
        return FileResult::success();
    *lines = text.split(QLatin1Char('\n'));
    if (lines->last().isEmpty())
        lines->removeLast();
    for (QString &line : *lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return FileResult::success();
}

FileResult encode(const QStringList &lines, QByteArray *content)
{
    content->clear();
    QByteArray encoded;
    for (const QString &line : lines) {
        if (!Cp1250::encode(line, &encoded))
            return FileResult::failure(
                QStringLiteral("Text obsahuje znak, který nelze uložit v kódování Windows-1250: %1")
                    .arg(line));
        content->append(encoded);
        content->append("\r\n", 2);
    }
    return FileResult::success();
}

FileResult write(const QString &path, const QStringList &lines)
{
    QByteArray content;
    const FileResult encoded = encode(lines, &content);
    if (!encoded.ok())
        return encoded;
    return writeFileAtomically(path, content);
}

} // namespace Cp1250Lines
