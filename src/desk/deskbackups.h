#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

class BackupSettings;
class Database;
class EventLog;

// The copies of the table files in backup folders: every hour into a new folder named after the
// time, at every program end into the weekday's folder, and on demand. Each copy is one
// consistent snapshot of the three tables (see TableSnapshot). No message is shown; a backup
// made is logged, one that failed is not.
class DeskBackups
{
public:
    DeskBackups(Database &database, EventLog &log) : m_database(database), m_log(log) {}

    void setSettings(const BackupSettings *settings) { m_settings = settings; }
    // Called while a copy runs: the console lets its clock and countdowns go on there.
    void setBetweenSteps(std::function<void()> betweenSteps)
    {
        m_betweenSteps = std::move(betweenSteps);
    }

    // Into the weekday's folder ("Pondeli", ...) of the directory, when daily backups are on.
    bool BackupAfterDay(const QString &directory);
    // Into a folder named after now ("2026-12-10_14-05-00"), reused when it exists.
    bool BackupAfterTime(const QString &directory);
    // Likewise, but only into a folder made for it: one that exists already gets nothing.
    bool BackupNow(const QString &directory);

    // Removes the folders of the directory created on a day before today minus `days`, with the
    // table files in them; a folder that holds anything else stays. Each removal is counted to
    // `removed`; returns the count.
    static int purgeOldBackups(const QString &directory, int days,
                               const std::function<void(int)> &removed = {});
    // When the folder was made: its birth time where the file system keeps one, else the time
    // of its last status change.
    static QDateTime folderCreated(const QString &folder);

    static QString timeFolderName(const QDateTime &time);
    static QString dayFolderName(const QDate &date);

private:
    bool copyInto(const QString &folder);

    Database &m_database;
    EventLog &m_log;
    const BackupSettings *m_settings = nullptr;
    std::function<void()> m_betweenSteps;
};
