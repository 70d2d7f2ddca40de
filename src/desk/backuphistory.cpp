#include "desk/backuphistory.h"

#include "core/paths.h"
#include "core/textfile.h"

#include <QFile>

const QString BackupHistory::FileName = QStringLiteral("Velmora.backups");

namespace {

QString kindName(BackupKind kind)
{
    switch (kind) {
    case BackupKind::Time:
        return QStringLiteral("Time");
    case BackupKind::Day:
        return QStringLiteral("Day");
    case BackupKind::Now:
        break;
    }
    return QStringLiteral("Now");
}

QString succeededKey(BackupKind kind)
{
    return kindName(kind) + QStringLiteral("Succeeded");
}

QString warnedKey(BackupKind kind)
{
    return kindName(kind) + QStringLiteral("Warned");
}

} // namespace

BackupHistory::BackupHistory(const QString &directory) : m_directory(directory)
{
    QFile file(JoinPath(directory, FileName));
    if (directory.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            m_values.insert(QString::fromUtf8(line.left(equals)),
                            QString::fromUtf8(line.mid(equals + 1)).trimmed());
    }
}

QDateTime BackupHistory::lastSuccess(BackupKind kind) const
{
    return QDateTime::fromString(m_values.value(succeededKey(kind)), Qt::ISODate);
}

void BackupHistory::recordSuccess(BackupKind kind, const QDateTime &when)
{
    m_values.insert(succeededKey(kind), when.toString(Qt::ISODate));
    save();
}

bool BackupHistory::firstWarningOn(BackupKind kind, const QDate &day)
{
    const QString text = day.toString(Qt::ISODate);
    if (m_values.value(warnedKey(kind)) == text)
        return false;
    m_values.insert(warnedKey(kind), text);
    save();
    return true;
}

void BackupHistory::save() const
{
    if (m_directory.isEmpty())
        return;
    QByteArray content;
    for (const BackupKind kind : {BackupKind::Time, BackupKind::Day, BackupKind::Now}) {
        for (const QString &key : {succeededKey(kind), warnedKey(kind)}) {
            if (m_values.contains(key))
                content += (key + u'=' + m_values.value(key)).toUtf8() + '\n';
        }
    }
    // A history that cannot be written (the disk that failed the backup, full) still holds for
    // this run; the next write puts all of it in the file.
    writeFileAtomically(JoinPath(m_directory, FileName), content, FileAccess::OwnerOnly);
}
