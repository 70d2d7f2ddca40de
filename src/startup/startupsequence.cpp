#include "startup/startupsequence.h"

#include "core/engineconfig.h"
#include "core/ownerfiles.h"
#include "core/paths.h"
#include "core/programvalues.h"
#include "data/tablekeys.h"
#include "desk/configtool.h"
#include "desk/deskbackups.h"
#include "desk/desksession.h"
#include "desk/interruptedruns.h"
#include "desk/runfile.h"
#include "desk/salesjournal.h"
#include "desk/salonschema.h"
#include "portio/endrequest.h"
#include "portio/hangnotes.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "portio/unitswitch.h"
#include "settings/formrestore.h"
#include "startup/databasemaintenance.h"
#include "startup/forminitialization.h"
#include "startup/loginloop.h"
#include "startup/singleinstance.h"
#include "startup/tablerestore.h"
#include "ui/common/messagedialogs.h"
#include "ui/common/uifonts.h"
#include "ui/common/versioninfo.h"
#include "userdialogs/formuser.h"
#include "users/access.h"
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

StartupSequence::~StartupSequence()
{
    endSession();
}

void StartupSequence::endSession()
{
    m_console.reset();
    m_report.setOwner(nullptr);
    if (!m_session)
        return;
    m_hooks.keepPort(m_session->solarStore().portText());
    m_session.reset();
}

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
    endSession();
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
    m_session = std::make_unique<DeskSession>(m_report);
    // A look at the stored port before anything else: a crashed run may have left beds on there.
    m_session->solarStore().peek();
    m_hooks.followPort(m_session->solarStore());
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

    connect(m_instance.get(), &SingleInstance::raiseRequested, this,
            [this] { bringDeskToFront(m_console.get(), m_progress.get()); });
    Database &database = m_session->desk().database();
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
    loadSettings();
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

    if (!runLoginLoop(m_session->users(), m_session->loginStore(), m_session->desk().eventLog()))
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

    const bool askToContinue = m_session->databaseStore().waitAtStart() ||
                               hasSwitch(QStringLiteral("/REPAIR")) ||
                               hasSwitch(QStringLiteral("/RESET")) || program.Restored;
    if (askToContinue &&
        !showQuestionWithoutSound(QStringLiteral("Pokračovat ve spouštění aplikace?"),
                                  QStringLiteral("Volbou [Ne] ukončíte aplikaci...")))
        return fail(Outcome::NotContinued);
    createConsole();
    return Outcome::Run;
}

void StartupSequence::loadSettings()
{
    for (const ConfigError &error : m_session->loadSettings())
        ShowWarning(error.message, error.detail); // the defaults stay in force
    OpenUsers(m_session->users(), DeskSession::usersFileName());
}

void StartupSequence::createConsole()
{
    m_console = std::make_unique<TFormVelmora>(*m_session);
    m_report.setOwner(m_console.get());
    TFormVelmora *console = m_console.get();
    connect(m_watchdogKeeper.get(), &WatchdogKeeper::protectionLost, console,
            [console] { console->showPortProtection(false); });
    console->showPortProtection(m_watchdogKeeper->protecting());
}

void StartupSequence::removeInterruptedRewrites()
{
    // Only the program's own files: a run killed while it replaced one left its half-written
    // copy beside it.
    const QString data = Program().DatabaseDir;
    for (const QString &file :
         {m_session->desk().eventLog().fileName(), SettingsStore::defaultFileName(),
          EngineConfig::filePath(), JoinPath(data, QStringLiteral("SalesSolars.txt")),
          JoinPath(data, QStringLiteral("Velmora.usr"))})
        ::removeInterruptedRewrites(file);
}

void StartupSequence::restoreEventLog()
{
    EventLog &log = m_session->desk().eventLog();
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
    EventLog &log = m_session->desk().eventLog();
    for (const QString &note : HangNotes::take())
        log.AddLog(QStringLiteral("Hlídač portu: ") + note);
    m_watchdogKeeper = std::make_unique<WatchdogKeeper>(portWatchdog());
    connect(m_watchdogKeeper.get(), &WatchdogKeeper::watchdogReplaced, this,
            [&log] { log.AddLog(QStringLiteral("Hlídač portu skončil, běží nový")); });
    connect(m_watchdogKeeper.get(), &WatchdogKeeper::protectionLost, this, [&log] {
        log.AddLog(QStringLiteral("Hlídač portu skončil a nový nelze spustit: spadne-li "
                                  "program, solária zůstanou zapnutá"));
    });
}

void StartupSequence::bookInterruptedRuns()
{
    const QString runFile = JoinPath(Program().DatabaseDir, RunFile::FileName);
    const QList<InterruptedRun> booked =
        ::bookInterruptedRuns(m_session->desk(), runFile, m_session->solarSettings());
    m_session->runs().keepRunsIn(runFile);
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
    Database &database = m_session->desk().database();
    database.disconnect();
    registerTablePassword(); // the backup's files may be protected
    // A restore that an end cut short is finished first; its repair follows as after one made
    // now.
    program.Restored = finishInterruptedRestore(program.DatabaseDir);
    if (asked) {
        TFormRestore window(m_session->backupStore());
        const bool chosen = window.exec() == QDialog::Accepted &&
                            RestoreTablesFrom(window.EditRestore(), program.DatabaseDir);
        program.Restored = program.Restored || chosen;
    }
    return database.connect();
}

StartupSequence::Outcome StartupSequence::maintainTables()
{
    ProgramValues &program = Program();
    const DatabaseSettingsStore &settings = m_session->databaseStore();
    Desk &desk = m_session->desk();
    Database &database = desk.database();
    const bool special = HasUserRight(m_session->users(), RightSpecial);
    if (!restoreWhenAsked(special)) {
        showStartFailure();
        return Outcome::Failed;
    }
    const bool repair = hasSwitch(QStringLiteral("/REPAIR")) || program.Restored;
    const QList<std::pair<Table *, QStringList>> tables = {
        {&desk.tableMoney(), MoneyIndexes},
        {&desk.tableSolars(), SolarsIndexes},
        {&desk.tableSaleSolars(), SaleSolarsIndexes}};

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
        const Upkeep erased = EraseTable(desk.tableSaleSolars());
        // It leaves the receipts open exclusively; a pack that changes the protection needs
        // every table closed.
        CloseExclusive(desk.tableSaleSolars());
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
    RegenerateAndPackTables({&desk.tableMoney(), &desk.tableSolars(), &desk.tableSaleSolars()},
                            settings.regenerateIndexes() && !repair,
                            settings.packTables() || repair, settings.secured());
    if (hasSwitch(QStringLiteral("/STOP")))
        return Outcome::Stopped;
    if (settings.purgeOldReceipts())
        PurgeOldReceipts(desk.tableSaleSolars(), settings.purgeReceiptsAfterDays(),
                         desk.databaseSaver());
    purgeOldBackups();
    return Outcome::Run;
}

void StartupSequence::purgeOldBackups()
{
    const BackupSettings &settings = m_session->backupStore();
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
    if (!m_session->desk().openTables())
        return false;
    ProgressOk();
    AddProgress(QStringLiteral("Nastavení výchozích indexů databází"));
    if (!m_session->desk().tableSaleSolars().setIndexName(QStringLiteral("_PARAGON")))
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
    endSession();
    return code;
}
