#include "desk/deskbackups.h"

#include "core/clock.h"
#include "core/czechformat.h"
#include "core/paths.h"
#include "data/database.h"
#include "data/tables.h"
#include "data/tablesnapshot.h"
#include "desk/backupsettings.h"
#include "desk/eventlog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Sunday first, as the weekday numbers of the folders' names go.
const char *const DayFolderNames[] = {"Nedele",  "Pondeli", "Utery", "Streda",
                                      "Ctvrtek", "Patek",   "Sobota"};

} // namespace

QString DeskBackups::timeFolderName(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

QString DeskBackups::dayFolderName(const QDate &date)
{
    return QString::fromLatin1(DayFolderNames[date.dayOfWeek() % 7]);
}

bool DeskBackups::copyInto(const QString &folder)
{
    TableSnapshot snapshot(m_database);
    snapshot.setBetweenSteps(m_betweenSteps);
    return snapshot.copyTo(folder);
}

bool DeskBackups::BackupAfterDay(const QString &directory)
{
    if (!m_settings || !m_settings->dailyBackups() || !QFileInfo(directory).isDir())
        return false;
    const QString name = dayFolderName(programClock().now().date());
    const QString folder = JoinPath(directory, name);
    QDir().mkdir(folder); // it exists from last week
    if (!QFileInfo(folder).isDir() || !copyInto(folder))
        return false;
    m_log.AddLog(QStringLiteral("Zálohování [%1]: Ok").arg(name));
    return true;
}

bool DeskBackups::BackupAfterTime(const QString &directory)
{
    if (!QFileInfo(directory).isDir())
        return false;
    const QDateTime now = programClock().now();
    const QString folder = JoinPath(directory, timeFolderName(now));
    QDir().mkdir(folder);
    if (!QFileInfo(folder).isDir() || !copyInto(folder))
        return false;
    m_log.AddLog(QStringLiteral("Zálohování [TIME] [%1]").arg(CzechFormat::dateTime(now)));
    return true;
}

bool DeskBackups::BackupNow(const QString &directory)
{
    if (!QFileInfo(directory).isDir())
        return false;
    const QDateTime now = programClock().now();
    const QString folder = JoinPath(directory, timeFolderName(now));
    if (!QDir().mkdir(folder) || !copyInto(folder))
        return false;
    m_log.AddLog(QStringLiteral("Zálohování [NOW] [%1]").arg(CzechFormat::dateTime(now)));
    return true;
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
            const QString table = name + QStringLiteral(".DB");
            QFile::remove(JoinPath(folder, table));
            QFile::remove(JoinPath(folder, TableSnapshot::temporaryName(table)));
        }
        if (backups.rmdir(entry.fileName())) {
            ++count;
            if (removed)
                removed(count);
        }
    }
    return count;
}
