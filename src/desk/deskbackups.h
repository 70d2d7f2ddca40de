#pragma once

#include "desk/backuphistory.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class BackupSettings;
class Database;
class DeskReport;
class EventLog;

// The copies of the table files in backup folders: every hour into a new folder named after the
// time, at every program end into the weekday's folder, and on demand. Each copy is one
// consistent snapshot of the three tables (see TableSnapshot) with its checksum file (see
// BackupChecksums), written last. Every backup is logged, made or failed with its folder and
// reason; a failure is also reported to the desk, for the hourly and daily kinds once a day.
class DeskBackups
{
public:
    DeskBackups(Database &database, EventLog &log, DeskReport &report)
        : m_database(database), m_log(log), m_report(report)
    {}

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

    // When the kind last succeeded, on this run or an earlier one; invalid when never.
    QDateTime lastSuccess(BackupKind kind);

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
    // The tables and their checksum file into an existing folder; false with the reason.
    bool copyInto(const QString &folder, QString *reason);
    // Into a new folder of the directory, or into one there already when `reuse`.
    bool backUp(BackupKind kind, const QString &directory, const QString &folderName, bool reuse,
                const QDateTime &now);
    bool failed(BackupKind kind, const QString &folder, const QString &reason);
    void logSuccess(BackupKind kind, const QString &folderName, const QDateTime &now);
    // The history of the connected database's directory.
    BackupHistory &history();

    Database &m_database;
    EventLog &m_log;
    DeskReport &m_report;
    const BackupSettings *m_settings = nullptr;
    std::function<void()> m_betweenSteps;
    std::optional<BackupHistory> m_history;
};
