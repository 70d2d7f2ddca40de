#include "desk/deskbackups.h"

#include "core/clock.h"
#include "core/czechformat.h"
#include "core/filesync.h"
#include "core/paths.h"
#include "data/database.h"
#include "data/tablesnapshot.h"
#include "desk/backupchecksums.h"
#include "desk/backupsettings.h"
#include "desk/deskreport.h"
#include "desk/eventlog.h"
#include "desk/salonschema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Sunday first, as the weekday numbers of the folders' names go.
const char *const DayFolderNames[] = {"Nedele",  "Pondeli", "Utery", "Streda",
                                      "Ctvrtek", "Patek",   "Sobota"};

// As the event log names the kinds.
QString kindLabel(BackupKind kind)
{
    switch (kind) {
    case BackupKind::Time:
        return QStringLiteral("TIME");
    case BackupKind::Day:
        return QStringLiteral("DAY");
    case BackupKind::Now:
        break;
    }
    return QStringLiteral("NOW");
}

QString failureCaption(BackupKind kind)
{
    switch (kind) {
    case BackupKind::Time:
        return QStringLiteral("Hodinová záloha se nezdařila...");
    case BackupKind::Day:
        return QStringLiteral("Denní záloha se nezdařila...");
    case BackupKind::Now:
        break;
    }
    return QStringLiteral("Záloha se nezdařila...");
}

// Makes the backup folder; empty when it is there for the copy, else why not. An existing
// folder is taken only when `reuse`.
QString makeFolder(const QString &folder, bool reuse)
{
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) == 0)
        return {};
    const int error = errno;
    if (error != EEXIST)
        return QStringLiteral("Složku nelze vytvořit: %1")
            .arg(QString::fromLocal8Bit(std::strerror(error)));
    if (!reuse)
        return QStringLiteral("Složka již existuje");
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("Složku nelze vytvořit: stejnojmenný soubor již existuje");
    return {};
}

} // namespace

QString DeskBackups::timeFolderName(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

QString DeskBackups::dayFolderName(const QDate &date)
{
    return QString::fromLatin1(DayFolderNames[date.dayOfWeek() % 7]);
}

BackupHistory &DeskBackups::history()
{
    const QString directory = m_database.directory();
    if (!m_history || m_history->directory() != directory)
        m_history.emplace(directory);
    return *m_history;
}

QDateTime DeskBackups::lastSuccess(BackupKind kind)
{
    return history().lastSuccess(kind);
}

bool DeskBackups::copyInto(const QString &folder, QString *reason)
{
    // The old checksums go before the old copies: a backup cut short is then one without
    // checksums, never one whose checksums belong to other copies.
    const QString checksums = JoinPath(folder, BackupChecksums::FileName);
    if (QFile::exists(checksums)) {
        if (!QFile::remove(checksums)) {
            *reason = QStringLiteral("Soubor %1 nelze odstranit").arg(BackupChecksums::FileName);
            return false;
        }
        syncDirectory(folder);
    }
    TableSnapshot snapshot(m_database);
    snapshot.setBetweenSteps(m_betweenSteps);
    if (!snapshot.copyTo(folder)) {
        *reason = snapshot.error();
        return false;
    }
    const FileResult written = BackupChecksums::write(folder, m_betweenSteps);
    if (!written.ok()) {
        *reason = QStringLiteral("Kontrolní součty nelze zapsat: %1").arg(written.message);
        return false;
    }
    return true;
}

bool DeskBackups::backUp(BackupKind kind, const QString &directory, const QString &folderName,
                         bool reuse, const QDateTime &now)
{
    if (directory.isEmpty())
        return failed(kind, directory, QStringLiteral("Adresář záloh není zadán"));
    if (!QFileInfo(directory).isDir())
        return failed(kind, directory, QStringLiteral("Adresář neexistuje"));
    const QString folder = JoinPath(directory, folderName);
    QString reason = makeFolder(folder, reuse);
    if (!reason.isEmpty() || !copyInto(folder, &reason))
        return failed(kind, folder, reason);
    logSuccess(kind, folderName, now);
    history().recordSuccess(kind, now);
    return true;
}

void DeskBackups::logSuccess(BackupKind kind, const QString &folderName, const QDateTime &now)
{
    if (kind == BackupKind::Day)
        m_log.AddLog(QStringLiteral("Zálohování [%1]: Ok").arg(folderName));
    else
        m_log.AddLog(QStringLiteral("Zálohování [%1] [%2]")
                         .arg(kindLabel(kind), CzechFormat::dateTime(now)));
}

bool DeskBackups::failed(BackupKind kind, const QString &folder, const QString &reason)
{
    m_log.AddLog(
        QStringLiteral("Zálohování [%1] [%2]: CHYBA [%3]").arg(kindLabel(kind), folder, reason));
    const QString caption = failureCaption(kind);
    const QString detail = QStringLiteral("%1 [%2]...").arg(reason, folder);
    const QDate today = programClock().now().date();
    switch (kind) {
    case BackupKind::Time:
        // From a timer over the running desk: nothing that waits, and once a day is enough to
        // be noticed.
        if (history().firstWarningOn(kind, today))
            m_report.warnWithoutWaiting(caption, detail);
        break;
    case BackupKind::Day:
        // The program ends right after it: a warning that did not wait would end with it.
        if (history().firstWarningOn(kind, today))
            m_report.warn(caption, detail);
        break;
    case BackupKind::Now:
        m_report.warn(caption, detail); // the answer to the user's own click, every time
        break;
    }
    return false;
}

bool DeskBackups::BackupAfterDay(const QString &directory)
{
    if (!m_settings || !m_settings->dailyBackups())
        return false;
    const QDateTime now = programClock().now();
    return backUp(BackupKind::Day, directory, dayFolderName(now.date()), true, now);
}

bool DeskBackups::BackupAfterTime(const QString &directory)
{
    const QDateTime now = programClock().now();
    return backUp(BackupKind::Time, directory, timeFolderName(now), true, now);
}

bool DeskBackups::BackupNow(const QString &directory)
{
    const QDateTime now = programClock().now();
    return backUp(BackupKind::Now, directory, timeFolderName(now), false, now);
}

QDateTime DeskBackups::folderCreated(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    struct statx status = {};
    if (::statx(AT_FDCWD, path.constData(), 0, STATX_BTIME | STATX_CTIME, &status) != 0)
        return {};
    const statx_timestamp &stamp =
        (status.stx_mask & STATX_BTIME) ? status.stx_btime : status.stx_ctime;
    return QDateTime::fromSecsSinceEpoch(stamp.tv_sec);
}

int DeskBackups::purgeOldBackups(const QString &directory, int days,
                                 const std::function<void(int)> &removed)
{
    const QDate limit = programClock().now().date().addDays(-days);
    int count = 0;
    const QDir backups(directory);
    if (directory.isEmpty() || !backups.exists())
        return 0;
    for (const QFileInfo &entry : backups.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = entry.absoluteFilePath();
        const QDateTime created = folderCreated(folder);
        if (!created.isValid() || created.date() >= limit)
            continue;
        for (const QString &name : TableNames) {
            const QString table = fileNameOfTable(name);
            QFile::remove(JoinPath(folder, table));
            QFile::remove(JoinPath(folder, TableSnapshot::temporaryName(table)));
        }
        for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
            if (BackupChecksums::isChecksumFile(name))
                QFile::remove(JoinPath(folder, name));
        }
        if (backups.rmdir(entry.fileName())) {
            ++count;
            if (removed)
                removed(count);
        }
    }
    return count;
}
