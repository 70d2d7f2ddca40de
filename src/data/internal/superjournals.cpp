#include "data/internal/superjournals.h"

#include "core/paths.h"
#include "data/internal/protectedvfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace SuperJournals {

namespace {

// The record at the end of a journal: 4 bytes lock-byte page, N bytes name (UTF-8), 4 bytes N,
// 4 bytes checksum, 8 bytes journal magic; the integers big-endian.
constexpr qint64 TrailerSize = 16;
constexpr quint32 MaxNameLength = 4096;
const QByteArray JournalMagic = QByteArray::fromHex("d9d505f920a163d7");

const QString JournalSuffix = QStringLiteral("-journal");
const QString SuperJournalInfix = QStringLiteral("-mj");

} // namespace

QString namedIn(const QString &journalPath, bool *readable)
{
    *readable = true;
    ProtectedVfs::JournalReader journal(journalPath);
    if (!journal.open()) {
        *readable = false;
        return QString();
    }
    const qint64 size = journal.size();
    if (size < TrailerSize)
        return QString();
    // SQLite plays a journal back only once its header is complete, which makes its first byte
    // non-zero; before that the journal and the name at its end are never used.
    QByteArray first;
    QByteArray trailer;
    if (!journal.read(0, 1, &first) || !journal.read(size - TrailerSize, TrailerSize, &trailer)) {
        *readable = false;
        return QString();
    }
    if (first.at(0) == 0 || trailer.mid(8) != JournalMagic)
        return QString();
    const quint32 length = qFromBigEndian<quint32>(trailer.constData());
    if (length == 0 || length > MaxNameLength || qint64(length) > size - TrailerSize)
        return QString();
    // The checksum is not checked: a name kept that SQLite would ignore costs nothing, a
    // super-journal removed that SQLite still needs would break its rollback.
    QByteArray name;
    if (!journal.read(size - TrailerSize - length, length, &name)) {
        *readable = false;
        return QString();
    }
    return QFileInfo(QString::fromUtf8(name)).fileName();
}

void removeStale(const QString &directory, const QStringList &tableFiles)
{
    if (tableFiles.isEmpty())
        return;
    QStringList named;
    for (const QString &file : tableFiles) {
        bool readable = true;
        const QString name = namedIn(JoinPath(directory, file) + JournalSuffix, &readable);
        if (!readable)
            return;
        if (!name.isEmpty())
            named.append(name);
    }
    const QDir dir(directory);
    const QStringList superJournals =
        dir.entryList({tableFiles.first() + SuperJournalInfix + QLatin1Char('*')}, QDir::Files);
    for (const QString &superJournal : superJournals) {
        // A super-journal that cannot be removed now is tried again at the next start.
        if (!named.contains(superJournal))
            QFile::remove(dir.filePath(superJournal));
    }
}

} // namespace SuperJournals
