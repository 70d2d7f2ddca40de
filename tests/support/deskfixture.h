#pragma once

#include "desk/backupsettings.h"
#include "desk/desk.h"
#include "desk/deskreport.h"
#include "desk/solarruns.h"
#include "fakes/fakeclock.h"
#include "fakes/fakesolarsettings.h"
#include "fakes/scriptedrundialogs.h"

#include <QTemporaryDir>

#include <functional>

// A fresh installation in a temporary folder, registered as the alias, the simulated relay board
// as the port, the working folder there and a fake clock. Everything is put back on destruction.
class DeskFixture
{
public:
    DeskFixture();
    ~DeskFixture();

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString dataDirectory() const { return path(QStringLiteral("data")); }
    quint8 portRegister() const; // the simulated data register at 0378
    void setPortRegister(quint8 value);

    FakeClock m_clock;

private:
    QTemporaryDir m_dir;
    QString m_previousDirectory;
};

// Backup settings as a test wants them: hourly and daily backups on, no directories.
struct FakeBackupSettings : BackupSettings
{
    bool hourlyBackups() const override { return true; }
    QString hourlyDirectory() const override { return hourly; }
    bool purgeOldBackups() const override { return false; }
    int purgeAfterDays() const override { return 0; }
    bool dailyBackups() const override { return daily; }
    QString dailyDirectory() const override { return dailyFolder; }
    bool daily = true;
    QString hourly;
    QString dailyFolder;
};

// Remembers what the desk reported instead of showing it.
class RecordingDeskReport : public DeskReport
{
public:
    void warn(const QString &caption, const QString &detail) override;
    void warnWithoutWaiting(const QString &caption, const QString &detail) override;
    void databaseError() override;

    // "caption | detail", "without waiting: caption | detail", or "database: <engine message>"
    QStringList m_reports;
    std::function<void()> m_whileReporting; // runs while "the message is shown"
};

// What a sale leaves in the tables, read beside the program's own cursors.
class StoredFigures
{
public:
    virtual ~StoredFigures() = default;
    qint64 receiptCount();
    QVariant solarsValue(int unit, const QString &field);
    double money();

protected:
    virtual Database &database() = 0;
};

// The desk and its runs on a fresh installation, without any window: the tables open, the
// units' offers loaded, fake settings and scripted questions, the built-in administrator.
class RunsFixture : public StoredFigures
{
public:
    RunsFixture();

    // The unit's command, as its key gives it in dialog mode.
    void command(int unit) { m_runs.command(unit, std::nullopt); }
    // The unit's countdown timer ticks that many times, a second apart on the fake clock.
    void countDown(int unit, int seconds);

    DeskFixture m_installation;
    FakeSolarSettings m_settings;
    ScriptedRunDialogs m_questions;
    RecordingDeskReport m_report;
    Desk m_desk;
    SolarRuns m_runs;

protected:
    Database &database() override { return m_desk.database(); }
};

// The event log's texts without their date and time.
QStringList logTexts(const EventLog &log);

// Checks and preparations on the database beside the program's own cursors.
QVariant queryValue(Database &database, const QString &sql); // the first value of the result
bool runSql(Database &database, const QString &sql);
