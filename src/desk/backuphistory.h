#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

// The kinds of backup: every hour, at the program's end, on demand.
enum class BackupKind { Time, Day, Now };

// When each kind of backup last succeeded and on which day a failure of it was last shown, kept
// in "Velmora.backups" beside the tables (lines "TimeSucceeded=2026-12-09T09:05:00",
// "TimeWarned=2026-12-09"), so that both survive a restart. The file is replaced atomically and
// is this user's alone; when it cannot be written the values still hold for this run.
class BackupHistory
{
public:
    static const QString FileName;

    // Reads the file in the directory; a missing or unreadable one reads as no history.
    explicit BackupHistory(const QString &directory);

    const QString &directory() const { return m_directory; }

    // Invalid when the kind never succeeded.
    QDateTime lastSuccess(BackupKind kind) const;
    void recordSuccess(BackupKind kind, const QDateTime &when);
    // True the first time a failure of the kind is to be shown on the day; it is then noted.
    bool firstWarningOn(BackupKind kind, const QDate &day);

private:
    void save() const;

    QString m_directory;
    QHash<QString, QString> m_values;
};
