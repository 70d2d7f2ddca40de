#include "startup/startupsequence.h"

#include "console/formvelmora.h"
#include "core/engineconfig.h"
#include "core/ownerfiles.h"
#include "core/paths.h"
#include "core/programvalues.h"
#include "data/tablekeys.h"
#include "desk/configtool.h"
#include "desk/deskbackups.h"
#include "desk/interruptedruns.h"
#include "desk/runfile.h"
#include "desk/salesjournal.h"
#include "desk/salonschema.h"
#include "portio/endrequest.h"
#include "portio/hangnotes.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "portio/unitswitch.h"
#include "settings/formbackup.h"
#include "settings/formdatabase.h"
#include "settings/formrestore.h"
#include "startup/databasemaintenance.h"
#include "startup/forminitialization.h"
#include "startup/loginloop.h"
#include "startup/singleinstance.h"
#include "startup/tablerestore.h"
#include "ui/common/messagedialogs.h"
#include "ui/common/uifonts.h"
#include "ui/common/versioninfo.h"
#include "ui/config/windowstore.h"
#include "users/access.h"
#include "users/formuser.h"
#include "users/secrets.h"

#include <QApplication>
#include <QScopeGuard>

#include <sodium.h>

namespace {

// The table password registered with the table engine; no deciphered copy stays behind here.
void registerTablePassword()
{
    QString password = tablePassword();
    TableKeys::registerPassword(password);
    sodium_memzero(password.data(), std::size_t(password.size()) * sizeof(QChar));
}

void showStartFailure()
{
    ShowDatabaseError(false);
    ShowWarning(QStringLiteral("Chyba při spouštění..."),
                QStringLiteral("Poslední operace skončila s chybou..."));
}

} // namespace

StartupSequence::StartupSequence()
    : m_instance(std::make_unique<SingleInstance>()), m_launchConfigTool(launchConfigurationTool),
      m_commandLine(QCoreApplication::arguments().join(QLatin1Char(' ')))
{}

StartupSequence::~StartupSequence() = default;

void StartupSequence::setInstanceName(const QString &name)
{
    m_instance = std::make_unique<SingleInstance>(name);
}

void StartupSequence::setConfigToolLauncher(std::function<bool()> launcher)
{
    m_launchConfigTool = std::move(launcher);
}

void StartupSequence::setCommandLine(const QString &commandLine)
{
    m_commandLine = commandLine;
}

StartupSequence::Outcome StartupSequence::fail(Outcome outcome)
{
    // Past the single-instance test no other desk drives the port: whatever a crashed run left
    // on goes off, at the configured address and through the chosen back end, when it reaches it.
    // The start fails either way: a register that does not read back 0 changes nothing here.
    if (outcome != Outcome::AnotherInstance)
        resetPortRegister(PortAddress());
    // The progress window, with its last "Error", goes with the sequence at the program's end.
    m_console.reset();
    return outcome;
}

void StartupSequence::switchLeftoversOff()
{
    // Before anything can wait for an answer: a bed a crashed run left on must not stay on
    // while a warning is open, nor for good when the start ends there. Whatever fails here is
    // reported by the driver's own step below.
    if (DriverStarted())
        resetPortRegister(PortAddress());
}

StartupSequence::Outcome StartupSequence::start()
{
    QApplication::setFont(UiFonts::sansSerif(11)); // the size every window is laid out for
    ProgramValues &program = Program();
    program.ProductText =
        QStringLiteral("%1 %2").arg(GetVersionInfo(QStringLiteral("ProductName")),
                                    GetVersionInfo(QStringLiteral("ProductVersion")));
    program.ProgramDir = JoinPath(QCoreApplication::applicationDirPath(), QString());

    if (!m_instance->claim()) {
        ShowWarning(QStringLiteral("Program %1 je již spuštěn...").arg(program.ProductText),
                    QStringLiteral("Program nesmí být spouštěn vícekrát..."));
        return fail(Outcome::AnotherInstance);
    }
    m_hooks.useStoredPort(); // until the settings window, created later, takes over
    switchLeftoversOff();

    m_progress = std::make_unique<TFormInitialization>();
    m_progress->show();
    AddProgress(QStringLiteral("Startuje se program ") + program.ProductText);
    ProgressOk();

    if (!EngineConfig::aliasExists(EngineConfig::AliasName)) {
        ShowWarning(QStringLiteral("Nebyl nalezen alias Databáze..."),
                    QStringLiteral("Je třeba provést konfiguraci BDE. Program bude ukončen..."));
        m_launchConfigTool();
        return fail(Outcome::NoAlias);
    }

    m_console = std::make_unique<TFormVelmora>();
    connect(m_instance.get(), &SingleInstance::raiseRequested, m_console.get(),
            [this] { bringDeskToFront(m_console.get(), m_progress.get()); });
    Database &database = m_console->database();
    if (!database.connect()) {
        showStartFailure();
        return fail(Outcome::Failed);
    }
    program.DatabaseDir = database.directory();
    program.NetFileDir = database.netDirectory();
    removeInterruptedRewrites();

    restoreEventLog();
    keepWatchdog();
    restoreJournal();

    AddProgress(QStringLiteral("Start nastavení programu"));
    m_console->createSettingsWindows();
    m_hooks.followSettings(m_console->setupSolar());
    ProgressOk();

    AddProgress(QStringLiteral("Start I/O ovladače"));
    QCoreApplication::processEvents(); // draw the window before the slower steps
    if (!DriverStarted()) {
        ProgressError();
        ShowWarning(QStringLiteral("Chyba při inicializaci I/O ovladače..."),
                    QStringLiteral("Program bude ukončen, pokuste se ho spustit znovu..."));
        return fail(Outcome::NoDriver);
    }
    ProgressOk();
    AddProgress(QStringLiteral("Reset portu I/O ovladačem"));
    if (!resetPortRegister(PortAddress())) {
        ProgressError();
        ShowWarning(QStringLiteral("Chyba při resetování portu I/O ovladačem..."),
                    QStringLiteral("Program bude ukončen, zkontrolujte nastavení portu..."));
        return fail(Outcome::PortNotReset);
    }
    ProgressOk();

    if (!runLoginLoop(m_console->users()->users(), m_console->eventLog()))
        return fail(Outcome::LoginCancelled);

    program.CommandLine = m_commandLine;
    program.Restored = false;
    // The upkeep registers the table password; once the tables are open for the run, every key
    // they need is derived and the password goes.
    const auto forgetPassword = qScopeGuard([] { TableKeys::forgetPassword(); });
    const Outcome maintained = maintainTables();
    if (maintained != Outcome::Run)
        return fail(maintained);
    if (!openTables()) {
        showStartFailure();
        return fail(Outcome::Failed);
    }
    bookInterruptedRuns();

    const bool askToContinue = m_console->databaseSettings()->waitAtStart() ||
                               hasSwitch(QStringLiteral("/REPAIR")) ||
                               hasSwitch(QStringLiteral("/RESET")) || program.Restored;
    if (askToContinue &&
        !showQuestionWithoutSound(QStringLiteral("Pokračovat ve spouštění aplikace?"),
                                  QStringLiteral("Volbou [Ne] ukončíte aplikaci...")))
        return fail(Outcome::NotContinued);
    return Outcome::Run;
}

void StartupSequence::removeInterruptedRewrites()
{
    // Only the program's own files: a run killed while it replaced one left its half-written
    // copy beside it.
    const QString data = Program().DatabaseDir;
    for (const QString &file :
         {m_console->eventLog().fileName(), WindowStore::defaultFileName(),
          EngineConfig::filePath(), JoinPath(data, QStringLiteral("SalesSolars.txt")),
          JoinPath(data, QStringLiteral("Velmora.usr"))})
        ::removeInterruptedRewrites(file);
}

void StartupSequence::restoreEventLog()
{
    EventLog &log = m_console->eventLog();
    Program().LogFileName = log.fileName();
    if (!log.load())
        return;
    const FileResult saved = log.DeleteLog();
    if (!saved.ok())
        ShowWarning(QStringLiteral("Log soubor nelze uložit..."),
                    QStringLiteral("Error [%1]...").arg(saved.errorCode));
    log.AddLog(QStringLiteral("Start programu"));
}

void StartupSequence::keepWatchdog()
{
    EventLog &log = m_console->eventLog();
    for (const QString &note : HangNotes::take())
        log.AddLog(QStringLiteral("Hlídač portu: ") + note);
    m_watchdogKeeper = std::make_unique<WatchdogKeeper>(portWatchdog());
    TFormVelmora *console = m_console.get();
    connect(m_watchdogKeeper.get(), &WatchdogKeeper::watchdogReplaced, console,
            [&log] { log.AddLog(QStringLiteral("Hlídač portu skončil, běží nový")); });
    connect(m_watchdogKeeper.get(), &WatchdogKeeper::protectionLost, console, [&log, console] {
        log.AddLog(QStringLiteral("Hlídač portu skončil a nový nelze spustit: spadne-li "
                                  "program, solária zůstanou zapnutá"));
        console->showPortProtection(false);
    });
    console->showPortProtection(m_watchdogKeeper->protecting());
}

void StartupSequence::bookInterruptedRuns()
{
    const QString runFile = JoinPath(Program().DatabaseDir, RunFile::FileName);
    const QList<InterruptedRun> booked =
        ::bookInterruptedRuns(m_console->desk(), runFile, m_console->solarSettings());
    m_console->runs().keepRunsIn(runFile);
    if (booked.isEmpty())
        return;
    QStringList lines;
    for (const InterruptedRun &run : booked)
        lines << describeInterruptedRun(run);
    ShowInformation(QStringLiteral("Zaúčtovány přerušené běhy solárek..."),
                    lines.join(QLatin1Char('\n')));
}

void StartupSequence::restoreJournal()
{
    Program().JournalFileName = JoinPath(Program().DatabaseDir, QStringLiteral("SalesSolars.txt"));
    const FileResult trimmed = SalesJournal::loadAndTrim();
    if (!trimmed.ok())
        ShowWarning(QStringLiteral("Deník prodejů nelze zpracovat..."), trimmed.message);
}

bool StartupSequence::hasSwitch(const QString &name) const
{
    return Program().CommandLine.contains(name); // as typed: "/stop" is no switch
}

bool StartupSequence::restoreWhenAsked(bool special)
{
    ProgramValues &program = Program();
    const bool asked = hasSwitch(QStringLiteral("/RESTORE")) && special;
    if (!asked && !restoreLeftovers(program.DatabaseDir))
        return true;
    Database &database = m_console->database();
    database.disconnect();
    registerTablePassword(); // the backup's files may be protected
    // A restore that an end cut short is finished first; its repair follows as after one made
    // now.
    program.Restored = finishInterruptedRestore(program.DatabaseDir);
    if (asked) {
        TFormRestore window(*m_console->backupSettings());
        const bool chosen = window.exec() == QDialog::Accepted &&
                            RestoreTablesFrom(window.EditRestore(), program.DatabaseDir);
        program.Restored = program.Restored || chosen;
    }
    return database.connect();
}

StartupSequence::Outcome StartupSequence::maintainTables()
{
    ProgramValues &program = Program();
    const TFormDatabase &settings = *m_console->databaseSettings();
    Database &database = m_console->database();
    const bool special = HasUserRight(m_console->users()->users(), RightSpecial);
    if (!restoreWhenAsked(special)) {
        showStartFailure();
        return Outcome::Failed;
    }
    const bool repair = hasSwitch(QStringLiteral("/REPAIR")) || program.Restored;
    const QList<std::pair<Table *, QStringList>> tables = {
        {&m_console->tableMoney(), MoneyIndexes},
        {&m_console->tableSolars(), SolarsIndexes},
        {&m_console->tableSaleSolars(), SaleSolarsIndexes}};

    if (settings.deleteControlFiles() || repair) {
        database.disconnect();
        for (const QString &directory :
             {program.ProgramDir, program.DatabaseDir, program.NetFileDir})
            DeleteControlFiles(directory);
        if (!database.connect()) {
            showStartFailure();
            return Outcome::Failed;
        }
    }
    if (repair)
        DeleteIndexFiles(program.DatabaseDir);
    registerTablePassword();
    if (hasSwitch(QStringLiteral("/RESET")) && special) {
        const Upkeep erased = EraseTable(m_console->tableSaleSolars());
        // It leaves the receipts open exclusively; a pack that changes the protection needs
        // every table closed.
        CloseExclusive(m_console->tableSaleSolars());
        if (erased == Upkeep::StartupError) {
            showStartFailure();
            return Outcome::Failed;
        }
    }
    if (settings.createIndexes() || repair) {
        for (const auto &[table, indexSet] : tables) {
            if (RebuildIndexes(*table, indexSet) == Upkeep::StartupError) {
                showStartFailure();
                return Outcome::Failed;
            }
        }
    }
    RegenerateAndPackTables(
        {&m_console->tableMoney(), &m_console->tableSolars(), &m_console->tableSaleSolars()},
        settings.regenerateIndexes() && !repair, settings.packTables() || repair,
        settings.secured());
    if (hasSwitch(QStringLiteral("/STOP")))
        return Outcome::Stopped;
    if (settings.purgeOldReceipts())
        PurgeOldReceipts(m_console->tableSaleSolars(), settings.purgeReceiptsAfterDays(),
                         m_console->databaseSaver());
    purgeOldBackups();
    return Outcome::Run;
}

void StartupSequence::purgeOldBackups()
{
    const TFormBackup &settings = *m_console->backupSettings();
    if (!settings.purgeOldBackups())
        return;
    const auto counted = [](int count) {
        ReplaceProgress(QStringLiteral("Vymazání záloh: %1").arg(count));
    };
    AddProgress(QStringLiteral("Vymazání záloh"));
    counted(DeskBackups::purgeOldBackups(settings.hourlyDirectory(), settings.purgeAfterDays(),
                                         counted));
    ProgressOk();
}

bool StartupSequence::openTables()
{
    AddProgress(QStringLiteral("Otevírání databází"));
    if (!m_console->OpenDatabase())
        return false;
    ProgressOk();
    AddProgress(QStringLiteral("Nastavení výchozích indexů databází"));
    if (!m_console->tableSaleSolars().setIndexName(QStringLiteral("_PARAGON")))
        return false;
    ProgressOk();
    return true;
}

int StartupSequence::run()
{
    const Outcome outcome = start();
    switch (outcome) {
    case Outcome::Run:
        break;
    case Outcome::LoginCancelled:
    case Outcome::NotContinued:
    case Outcome::Stopped:
        return 0; // the user's choice
    default:
        return 1;
    }
    m_progress.reset();
    m_console->show();
    const EndRequestNotifier endRequests;
    connect(&endRequests, &EndRequestNotifier::endRequested, m_console.get(),
            &TFormVelmora::endOnRequest);
    const int code = QApplication::exec();
    m_console.reset();
    return code;
}
