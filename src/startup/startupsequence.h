#pragma once

#include "startup/processhooks.h"

#include "console/formvelmora.h"
#include "portio/watchdogkeeper.h"

#include <QObject>

#include <functional>
#include <memory>

class DeskSession;
class TFormInitialization;
class SingleInstance;

// The program's start: from the single-instance test to the console, each step reported in
// the progress window; every failure ends the start with its message.
class StartupSequence : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Run,             // the console is ready to be shown
        AnotherInstance, // another desk runs already
        NoAlias,         // no database alias is configured; the set-up tool was started
        NoDriver,        // the I/O driver did not start
        PortNotReset,    // the port register could not be reset
        LoginCancelled,  // the login was given up
        Failed,          // the database could not be connected or its tables opened
        NotContinued,    // after a repair, reset or restore the user chose to stop
        Stopped,         // "/STOP": the tables maintained, the desk not opened
    };

    StartupSequence();
    ~StartupSequence() override;

    // Where the instance socket lives and how the set-up tool starts (tests replace them).
    void setInstanceName(const QString &name);
    void setConfigToolLauncher(std::function<bool()> launcher);
    // The command line the switches are read from; the process's own by default.
    void setCommandLine(const QString &commandLine);

    // The start from the single-instance test to the opened tables (and, after a repair, reset or
    // restore, the question whether to go on); on Run the console exists, not yet shown. The
    // session exists from the single-instance test on, until the start fails.
    Outcome start();
    DeskSession *session() const { return m_session.get(); }
    TFormVelmora *console() const { return m_console.get(); }
    TFormInitialization *progressWindow() const { return m_progress.get(); }

    // start(), then the console and the message loop; the exit code of the program.
    int run();

private:
    Outcome fail(Outcome outcome);
    // The console and then the session go; the port keeps the address last in force.
    void endSession();
    // The settings' sections and the user register, each failure shown.
    void loadSettings();
    void createConsole();
    void switchLeftoversOff();
    bool openTables();
    // The upkeep of the tables that the settings and the command line's switches ask for.
    Outcome maintainTables();
    // "/RESTORE" with right 3, or a restore an end cut short; false when the database cannot be
    // connected again.
    bool restoreWhenAsked(bool special);
    bool hasSwitch(const QString &name) const;
    // Hourly backup folders past their age, when the backup settings ask for it.
    void purgeOldBackups();
    void removeInterruptedRewrites();
    void restoreEventLog();
    // The beats and the replacement of the port watchdog, shown and logged.
    void keepWatchdog();
    void restoreJournal();
    // The runs a death of the desk cut short, booked and listed; then the runs are kept.
    void bookInterruptedRuns();

    ProcessHooks m_hooks; // first in, last out: the console's end still switches at its port
    std::unique_ptr<SingleInstance> m_instance;
    std::function<bool()> m_launchConfigTool;
    QString m_commandLine;
    WindowDeskReport m_report;
    std::unique_ptr<DeskSession> m_session;
    std::unique_ptr<TFormInitialization> m_progress;
    std::unique_ptr<TFormVelmora> m_console;
    std::unique_ptr<WatchdogKeeper> m_watchdogKeeper;
};
