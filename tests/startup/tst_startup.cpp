#include "consolefixture.h"

#include "console/formvelmora.h"
#include "core/engineconfig.h"
#include "core/programvalues.h"
#include "core/textfile.h"
#include "data/database.h"
#include "data/query.h"
#include "data/tablekeys.h"
#include "desk/salonschema.h"
#include "fakes/whenmodal.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "portio/simulatorbackend.h"
#include "settings/formrestore.h"
#include "startup/forminitialization.h"
#include "startup/singleinstance.h"
#include "startup/startupsequence.h"
#include "ui/common/messagedialogs.h"
#include "userdialogs/formlogin.h"
#include "users/secrets.h"
#include "users/userregister.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocalServer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace Hook = MessageDialogsTestHook;
using Outcome = StartupSequence::Outcome;

namespace {

// The start-up settings that leave the tables as they are.
const QStringList NoUpkeep = {"[Database]", "CheckBoxRegenerationIndex_Checked=False",
                              "CheckBoxPackTable_Checked=False"};

// One name per test process, so checkouts tested at the same time do not meet.
const QString InstanceName =
    QStringLiteral("velmora-test-instance-%1").arg(QCoreApplication::applicationPid());

void answerLogin(const QString &name, const QString &password)
{
    whenModal<TFormLogin>([name, password](TFormLogin *dialog) {
        if (!name.isNull())
            dialog->findChild<QComboBox *>("ComboBoxUser")->setEditText(name);
        dialog->findChild<QLineEdit *>("EditPass")->setText(password);
        dialog->accept();
    });
}

QStringList texts(const QList<Hook::Message> &messages)
{
    QStringList result;
    for (const Hook::Message &message : messages)
        result << message.text + " | " + message.detail;
    return result;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsToTheConsole();
    void purgesOldBackups();
    void switches_data();
    void switches();
    void protectionFollowsTheSetting();
    void failurePaths_data();
    void failurePaths();
    void leftoversGoOffBeforeAnyMessage();
    void secondInstanceIsRefused();
    void secondStartRestoresOnlyAMinimizedConsole_data();
    void secondStartRestoresOnlyAMinimizedConsole();
    void secondStartDuringLoginFrontsTheLogin();
    void staleSocketDoesNotBlock();
    void loginCancelledEndsSilently();
    void wrongPasswordKeepsTheName();
    void failedWriteOfLoginNameWarns();
    void waitQuestion_data();
    void waitQuestion();
    void eventLogAtStart();
    void readOnlyEventLogWarns();

private:
    void writeUsers(const QList<User> &users);
    Outcome startWith(StartupSequence &startup);
    void writeIni(const QStringList &lines);

    DeskFixture *m_desk = nullptr;
    int m_toolLaunches = 0;
};

void TestStartup::init()
{
    m_desk = new DeskFixture;
    MessageDialogsTestHook::engage();
    m_toolLaunches = 0;
    Program() = ProgramValues();
}

void TestStartup::cleanup()
{
    MessageDialogsTestHook::release();
    delete m_desk;
}

void TestStartup::writeUsers(const QList<User> &users)
{
    UserRegister users_;
    for (const User &user : users)
        users_.add(user);
    QVERIFY(users_.save(m_desk->dataDirectory() + "/Velmora.usr").ok());
}

Outcome TestStartup::startWith(StartupSequence &startup)
{
    startup.setInstanceName(InstanceName);
    startup.setConfigToolLauncher([this] {
        ++m_toolLaunches;
        return true;
    });
    startup.setCommandLine(QString());
    return startup.start();
}

void TestStartup::startsToTheConsole()
{
    answerLogin(QString(), MasterPassword());
    StartupSequence startup;
    QCOMPARE(startWith(startup), Outcome::Run);
    QCOMPARE(startup.progressWindow()->lines(), QStringList({"Startuje se program Velmora 1.0.2.3",
                                                             "Ok",
                                                             "Start nastavení programu",
                                                             "Ok",
                                                             "Start I/O ovladače",
                                                             "Ok",
                                                             "Reset portu I/O ovladačem",
                                                             "Ok",
                                                             "Přihlášení uživatele",
                                                             "Ok",
                                                             "Obnova indexů: MONEY.DB",
                                                             "Ok",
                                                             "Obnova indexů: SOLARS.DB",
                                                             "Ok",
                                                             "Obnova indexů: SALESOLARS.DB",
                                                             "Ok",
                                                             "Komprimace: MONEY.DB",
                                                             "Ok",
                                                             "Komprimace: SOLARS.DB",
                                                             "Ok",
                                                             "Komprimace: SALESOLARS.DB",
                                                             "Ok",
                                                             "Otevírání databází",
                                                             "Ok",
                                                             "Nastavení výchozích indexů databází",
                                                             "Ok"}));
    QCOMPARE(texts(Hook::takeMessages()),
             QStringList({"Nenalezen soubor uživatelských práv... | Nyní se může přihlásit pouze "
                          "Administrator... Volejte podpora@velmora.cz"}));
    QCOMPARE(Program().ProductText, QString("Velmora 1.0.2.3"));
    QCOMPARE(Program().CurrentUser, QString("Administrator"));
    QCOMPARE(Program().DatabaseDir, m_desk->dataDirectory());
    QCOMPARE(Program().JournalFileName, m_desk->dataDirectory() + "/SalesSolars.txt");
    QVERIFY(!QFile::exists(Program().JournalFileName));
    QVERIFY(startup.console());
    Desk &desk = startup.session()->desk();
    QCOMPARE(desk.tableSaleSolars().indexName(), QString("_PARAGON"));
    QVERIFY(desk.tableMoney().isOpen() && desk.tableSolars().isOpen() &&
            desk.tableSaleSolarsCalc().isOpen());
    // No log file before: the login line is the first of the run.
    QCOMPARE(desk.eventLog().lines(),
             QStringList({"9.12.2026 9:05:00 Přihlášen uživatel: [Administrator]"}));
    QCOMPARE(m_desk->portRegister(), quint8(0));
    // No display name: the window system appends nothing to the windows' captions.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

void TestStartup::purgesOldBackups()
{
    // Seen from a day ahead, the folder made now is older than the limit of 0 days.
    FakeClock &clock = m_desk->m_clock;
    clock.m_now = QDateTime::currentDateTime().addDays(1);
    const QString backups = m_desk->path("zálohy");
    QVERIFY(QDir().mkpath(backups + "/2026-12-08_10-00-00"));
    writeIni(NoUpkeep + QStringList{"[Backup]", "CheckBoxBackupDelete_Checked=True",
                                    "IntegerEditBackupDelete_Value=0",
                                    "EditBackupPathTime_Text=" + backups});
    answerLogin(QString(), MasterPassword());
    StartupSequence startup;
    QCOMPARE(startWith(startup), Outcome::Run);
    const QStringList lines = startup.progressWindow()->lines();
    QCOMPARE(lines.mid(lines.indexOf("Přihlášení uživatele") + 2, 2),
             (QStringList{"Vymazání záloh: 1", "Ok"}));
    QVERIFY(!QFile::exists(backups + "/2026-12-08_10-00-00"));
}

void TestStartup::writeIni(const QStringList &lines)
{
    QVERIFY(Cp1250Lines::write(m_desk->path("config/Velmora.ini"), lines).ok());
}

void TestStartup::switches_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("special"); // the user holds right 3
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QStringList>("upkeep"); // the progress lines between the login and the end
    QTest::addColumn<int>("receipts");
    const QStringList regenerate = {"Obnova indexů: MONEY.DB",      "Ok",
                                    "Obnova indexů: SOLARS.DB",     "Ok",
                                    "Obnova indexů: SALESOLARS.DB", "Ok"};
    const QStringList pack = {"Komprimace: MONEY.DB",      "Ok", "Komprimace: SOLARS.DB", "Ok",
                              "Komprimace: SALESOLARS.DB", "Ok"};
    const QStringList opened = {"Otevírání databází", "Ok", "Nastavení výchozích indexů databází",
                                "Ok"};
    QTest::newRow("/STOP") << "velmora /STOP" << true << Outcome::Stopped << regenerate + pack << 2;
    QTest::newRow("/stop is no switch")
        << "velmora /stop" << true << Outcome::Run << regenerate + pack + opened << 2;
    QTest::newRow("/RESET without right 3")
        << "velmora /RESET /STOP" << false << Outcome::Stopped << regenerate + pack << 2;
    QTest::newRow("/RESET") << "velmora /RESET /STOP" << true << Outcome::Stopped
                            << QStringList{"Vymazání: SALESOLARS.DB", "Ok"} + regenerate + pack
                            << 0;
    QStringList repair;
    for (const QString &folder : QStringList{"PROGRAM", "DATA", "DATA"})
        repair << "Vymazání řídících souborů z adresáře: " + folder << "Ok";
    repair << "Vymazání všech indexů pro: MONEY.DB"
           << "Ok"
           << "Vymazání všech indexů pro: SOLARS.DB"
           << "Ok"
           << "Vymazání všech indexů pro: SALESOLARS.DB"
           << "Ok"
           << "Odebrání a vytvoření indexů pro: MONEY.DB"
           << "Ok"
           << "Odebrání a vytvoření indexů pro: SOLARS.DB"
           << "Ok"
           << "Odebrání a vytvoření indexů pro: SALESOLARS.DB"
           << "Ok";
    QTest::newRow("/REPAIR") << "velmora /REPAIR /STOP" << true << Outcome::Stopped << repair + pack
                             << 2;
    QTest::newRow("/RESTORE, Storno")
        << "velmora /RESTORE /STOP" << true << Outcome::Stopped << regenerate + pack << 2;
    QTest::newRow("/RESTORE of a daily backup")
        << "velmora /RESTORE Pondeli /STOP" << true << Outcome::Stopped
        << QStringList{"Obnova databáze...", "Ok"} + repair + pack << 0;
}

void TestStartup::switches()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, special);
    QFETCH(Outcome, outcome);
    QFETCH(QStringList, upkeep);
    QFETCH(int, receipts);
    writeUsers({User{"Eva", "heslo", {true, true, true, special}}});
    const QString days = m_desk->path("dny");
    QVERIFY(QDir().mkpath(days + "/Pondeli"));
    for (const QString &file :
         QStringList{"Money.DB", "Solars.DB", "SaleSolars.DB"}) // before the receipts
        QVERIFY(QFile::copy(m_desk->dataDirectory() + "/" + file, days + "/Pondeli/" + file));
    writeIni({"[Backup]", "EditBackupPathDay_Text=" + days});
    if (commandLine.contains("/RESTORE")) {
        const bool choose = commandLine.contains("Pondeli");
        whenModal<TFormRestore>([choose](TFormRestore *window) {
            window->findChild<QPushButton *>(choose ? "ButtonOk" : "ButtonCancel")->click();
        });
    }
    {
        Database database{deskDatabaseSchema()};
        QVERIFY(database.connectDirectory(m_desk->dataDirectory()));
        Query insert(&database);
        for (int paragon : {1, 2}) {
            insert.setSql(QString("insert into SaleSolars values (%1, '2026-12-01', '10:00:00', 1, "
                                  "0, 21, 10.0, 0, 60, 'Eva')")
                              .arg(paragon));
            QVERIFY(insert.exec());
        }
        // A stray index file beside the tables, for the repair to remove.
        QVERIFY(Cp1250Lines::write(m_desk->dataDirectory() + "/SaleSolars.PX", {}).ok());
    }
    Hook::queueAnswers({true, true}); // the restore question, the wait question
    answerLogin("Eva", "heslo");
    StartupSequence startup;
    startup.setInstanceName(InstanceName);
    startup.setCommandLine(commandLine);
    QCOMPARE(startup.start(), outcome);
    QStringList lines = startup.progressWindow()->lines();
    lines = lines.mid(lines.indexOf("Přihlášení uživatele") + 2);
    const QString root = m_desk->path("").toUpper();
    for (QString &line : lines)
        line.replace(Program().ProgramDir.toUpper(), "PROGRAM").replace(root + "/DATA", "DATA");
    QCOMPARE(lines, upkeep);
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(m_desk->dataDirectory()));
    QCOMPARE(queryValue(database, "select count(*) from SaleSolars").toInt(), receipts);
    QCOMPARE(QFile::exists(m_desk->dataDirectory() + "/SaleSolars.PX"),
             !upkeep.contains("Vymazání všech indexů pro: SALESOLARS.DB"));
}

void TestStartup::protectionFollowsTheSetting()
{
    // Packed protected; opened for the run without any upkeep, as by a new process that has no
    // key yet; packed plain again.
    for (const QString secured : {"True", "", "False"}) {
        writeIni(secured.isEmpty()
                     ? NoUpkeep
                     : QStringList{"[Database]", "CheckBoxSecured_Checked=" + secured});
        TableKeys::registerPassword("jiné heslo"); // drops the keys derived so far
        answerLogin(QString(), MasterPassword());
        StartupSequence startup;
        startup.setInstanceName(InstanceName);
        startup.setCommandLine(secured.isEmpty() ? "velmora" : "velmora /STOP");
        QCOMPARE(startup.start(), secured.isEmpty() ? Outcome::Run : Outcome::Stopped);
        for (const char *file : {"Money.DB", "Solars.DB", "SaleSolars.DB"}) {
            QFile table(m_desk->dataDirectory() + "/" + file);
            QVERIFY(table.open(QIODevice::ReadOnly));
            QCOMPARE(table.read(6) == "SQLite", secured == "False");
        }
        // The keys stay, the password does not: no other salt can be derived now.
        QVERIFY(!TableKeys::keyFor(TableKeys::Salt{1, 2, 3}));
        Database database{deskDatabaseSchema()};
        QVERIFY(database.connectDirectory(m_desk->dataDirectory()));
        QCOMPARE(queryValue(database, "select count(*) from Solars").toInt(), 8);
    }
}

void TestStartup::failurePaths_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QStringList>("lastProgress");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("toolLaunches");
    // A crashed run left units 1 and 3 on at 0378 and 0278; what each register holds at the end
    // (-1: the port cannot be reached).
    QTest::addColumn<int>("register0378");
    QTest::addColumn<int>("register0278");
    const QStringList noAlias({"Nebyl nalezen alias Databáze... | Je třeba provést "
                               "konfiguraci BDE. Program bude ukončen..."});
    QTest::newRow("no alias") << "alias" << Outcome::NoAlias
                              << QStringList({"Startuje se program Velmora 1.0.2.3", "Ok"})
                              << noAlias << 1 << 0 << 5;
    QTest::newRow("no alias, port 0278 stored")
        << "alias 0278" << Outcome::NoAlias
        << QStringList({"Startuje se program Velmora 1.0.2.3", "Ok"}) << noAlias << 1 << 5 << 0;
    QTest::newRow("driver not started")
        << "driver" << Outcome::NoDriver << QStringList({"Start I/O ovladače", "Error"})
        << QStringList({"Chyba při inicializaci I/O ovladače... | Program bude ukončen, pokuste "
                        "se ho spustit znovu..."})
        << 0 << -1 << -1;
    QTest::newRow("port reads back 255")
        << "port" << Outcome::PortNotReset << QStringList({"Reset portu I/O ovladačem", "Error"})
        << QStringList({"Chyba při resetování portu I/O ovladačem... | Program bude ukončen, "
                        "zkontrolujte nastavení portu..."})
        << 0 << 5 << 5;
    // The tables open after the login, where the maintenance could mend them.
    const QStringList afterLogin = {"Přihlášení uživatele", "Ok", "Otevírání databází"};
    const QStringList startError = {"Chyba při spouštění... | Poslední operace "
                                    "skončila s chybou..."};
    QTest::newRow("damaged table")
        << "damaged" << Outcome::Failed << afterLogin << startError << 0 << 0 << 5;
    QTest::newRow("missing table")
        << "missing" << Outcome::Failed << afterLogin << startError << 0 << 0 << 5;
    QTest::newRow("two cash balances")
        << "money" << Outcome::Failed << afterLogin << startError << 0 << 0 << 5;
}

void TestStartup::failurePaths()
{
    QFETCH(QString, cause);
    QFETCH(Outcome, outcome);
    QFETCH(QStringList, lastProgress);
    QFETCH(QStringList, messages);
    QFETCH(int, toolLaunches);
    QFETCH(int, register0378);
    QFETCH(int, register0278);
    writeUsers({});
    WritePort(0x378, 0, 5);
    WritePort(0x278, 0, 5);
    if (cause.startsWith("alias")) {
        QVERIFY(QFile::remove(EngineConfig::filePath()));
        if (cause.endsWith("0278"))
            QVERIFY(Cp1250Lines::write(m_desk->path("config/Velmora.ini"),
                                       {"[SetupSolar]", "EditPort_Text=0278"})
                        .ok());
    } else if (cause == "driver") {
        shutdownPortAccess();
        QVERIFY(Cp1250Lines::write(m_desk->path("not-a-folder"), {}).ok());
        qputenv("VELMORA_PORT_SIM_DIR", m_desk->path("not-a-folder").toUtf8());
        initializePortAccess(std::make_unique<SimulatorBackend>());
    } else if (cause == "port") {
        // An address where no device answers, as the settings window stored it.
        QVERIFY(Cp1250Lines::write(m_desk->path("config/Velmora.ini"),
                                   {"[SetupSolar]", "EditPort_Text=0300"})
                    .ok());
    } else if (cause == "damaged") {
        QFile table(m_desk->dataDirectory() + "/SaleSolars.DB");
        QVERIFY(table.open(QIODevice::WriteOnly | QIODevice::Truncate));
        table.write(QByteArray(4096, 'x'));
    } else if (cause == "missing") {
        QVERIFY(QFile::remove(m_desk->dataDirectory() + "/Solars.DB"));
    } else {
        Database database{deskDatabaseSchema()};
        QVERIFY(database.connectDirectory(m_desk->dataDirectory()));
        Query insert(&database);
        insert.setSql("insert into Money values (250.0)");
        QVERIFY(insert.exec());
    }
    const bool tableFault = cause == "damaged" || cause == "missing" || cause == "money";
    if (tableFault) {
        writeIni(NoUpkeep); // the tables fail where they open, not in their upkeep
        answerLogin(QString(), MasterPassword());
    }

    StartupSequence startup;
    const Outcome result = startWith(startup);
    QCOMPARE(result, outcome);
    QVERIFY(!startup.console());
    const QStringList progress = startup.progressWindow()->lines();
    QCOMPARE(progress.mid(progress.size() - lastProgress.size()), lastProgress);
    QStringList shown = texts(Hook::takeMessages());
    if (tableFault) {
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown.first().startsWith("Error ["), qPrintable(shown.first()));
        if (cause == "money") {
            QVERIFY2(shown.first().contains("Tabulka Money musí mít právě jeden záznam"),
                     qPrintable(shown.first()));
        }
        shown.removeFirst();
    }
    QCOMPARE(shown, messages);
    QCOMPARE(m_toolLaunches, toolLaunches);
    if (register0378 >= 0) {
        QCOMPARE(int(ReadPort(0x378, 0)), register0378);
        QCOMPARE(int(ReadPort(0x278, 0)), register0278);
    }
}

void TestStartup::leftoversGoOffBeforeAnyMessage()
{
    // A fresh installation warns of its missing users file: the beds are off before it.
    WritePort(0x378, 0, 5);
    QList<int> registerWhileShown;
    Hook::setWhileShown([&registerWhileShown](const Hook::Message &) {
        registerWhileShown << int(ReadPort(0x378, 0));
    });
    answerLogin(QString(), MasterPassword());
    StartupSequence startup;
    QCOMPARE(startWith(startup), Outcome::Run);
    Hook::setWhileShown({});
    QVERIFY(!registerWhileShown.isEmpty());
    QCOMPARE(registerWhileShown, QList<int>(registerWhileShown.size(), 0));
}

void TestStartup::secondInstanceIsRefused()
{
    SingleInstance first(InstanceName);
    QVERIFY(first.claim());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    StartupSequence startup;
    QCOMPARE(startWith(startup), Outcome::AnotherInstance);
    QVERIFY(!FormInitialization());
    QCOMPARE(texts(Hook::takeMessages()),
             QStringList({"Program Velmora 1.0.2.3 je již spuštěn... | Program nesmí být "
                          "spouštěn vícekrát..."}));
    QVERIFY(raised.wait(2000));
}

void TestStartup::secondStartRestoresOnlyAMinimizedConsole_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("afterwards");
    QTest::newRow("maximized stays maximized")
        << int(Qt::WindowMaximized) << int(Qt::WindowMaximized);
    QTest::newRow("minimized is restored") << int(Qt::WindowMinimized) << int(Qt::WindowNoState);
}

void TestStartup::secondStartRestoresOnlyAMinimizedConsole()
{
    QFETCH(int, state);
    QFETCH(int, afterwards);
    answerLogin(QString(), MasterPassword());
    StartupSequence startup;
    QCOMPARE(startWith(startup), Outcome::Run);
    TFormVelmora *console = startup.console();
    console->show();
    console->setWindowState(Qt::WindowStates(state));
    QWidget elsewhere; // the user works in another window
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    SingleInstance second(InstanceName);
    QVERIFY(!second.claim());
    QTRY_COMPARE(QApplication::activeWindow(), console);
    QCOMPARE(int(console->windowState()), afterwards);
}

void TestStartup::secondStartDuringLoginFrontsTheLogin()
{
    writeUsers({});
    StartupSequence startup;
    bool loginInFront = false;
    bool progressInFront = false;
    whenModal<TFormLogin>([&](TFormLogin *dialog) {
        // The user has clicked the progress window behind the login.
        const bool loginShown = QTest::qWaitForWindowActive(dialog);
        startup.progressWindow()->activateWindow();
        progressInFront = loginShown && QTest::qWaitForWindowActive(startup.progressWindow());
        SingleInstance second(InstanceName);
        if (!second.claim())
            loginInFront =
                QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; });
        dialog->findChild<QLineEdit *>("EditPass")->setText(MasterPassword());
        dialog->accept();
    });
    QCOMPARE(startWith(startup), Outcome::Run);
    QVERIFY(progressInFront);
    QVERIFY(loginInFront);
}

void TestStartup::staleSocketDoesNotBlock()
{
    // A crashed run leaves its socket file behind.
    QFile stale(QDir::tempPath() + "/" + InstanceName);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstance instance(InstanceName);
    QVERIFY(instance.claim());
    SingleInstance second(InstanceName);
    QVERIFY(!second.claim());
}

void TestStartup::loginCancelledEndsSilently()
{
    writeUsers({});
    whenModal<TFormLogin>([](TFormLogin *dialog) { dialog->reject(); });
    StartupSequence startup;
    QCOMPARE(startWith(startup), Outcome::LoginCancelled);
    QVERIFY(Hook::takeMessages().isEmpty());
    QVERIFY(!startup.console());
    QVERIFY(!QFile::exists("Velmora.log"));
}

void TestStartup::wrongPasswordKeepsTheName()
{
    writeUsers({User{"Jana", "heslo", {true, true, true, true}}});
    QString nameOnRetry;
    QString passwordOnRetry;
    bool passwordFocused = false;
    whenModal<TFormLogin>([&](TFormLogin *dialog) {
        dialog->findChild<QComboBox *>("ComboBoxUser")->setEditText("JANA");
        dialog->findChild<QLineEdit *>("EditPass")->setText("špatně");
        dialog->accept();
        whenModal<TFormLogin>([&](TFormLogin *again) {
            auto *password = again->findChild<QLineEdit *>("EditPass");
            nameOnRetry = again->userName();
            passwordOnRetry = password->text();
            passwordFocused = password->hasFocus() || again->focusWidget() == password;
            password->setText("heslo");
            again->accept();
        });
    });
    StartupSequence startup;
    QCOMPARE(startWith(startup), Outcome::Run);
    QCOMPARE(nameOnRetry, QString("JANA"));
    QCOMPARE(passwordOnRetry, QString());
    QVERIFY(passwordFocused);
    QCOMPARE(Program().CurrentUser, QString("JANA"));
    QStringList ini;
    QVERIFY(Cp1250Lines::read(m_desk->path("config/Velmora.ini"), &ini).ok());
    QVERIFY2(ini.contains("ComboBoxUser_Text=JANA"), qPrintable(ini.join('\n')));
}

void TestStartup::failedWriteOfLoginNameWarns()
{
    writeUsers({User{"Jana", "heslo", {true, true, true, true}}});
    const QString ini = m_desk->path("config/Velmora.ini");
    whenModal<TFormLogin>([&](TFormLogin *dialog) {
        if (!QFile::exists(ini))
            QVERIFY(writeFileAtomically(ini, "[User]\r\n").ok());
        QVERIFY(QFile::setPermissions(ini, QFileDevice::ReadOwner));
        dialog->findChild<QComboBox *>("ComboBoxUser")->setEditText("Jana");
        dialog->findChild<QLineEdit *>("EditPass")->setText("heslo");
        dialog->accept();
    });
    StartupSequence startup;
    QCOMPARE(startWith(startup), Outcome::Run); // the login goes on
    const QStringList shown = texts(Hook::takeMessages());
    QVERIFY2(shown.filter("Unable to write to " + ini + " | ").size() >= 1,
             qPrintable(shown.join('\n')));
    QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestStartup::waitQuestion_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("no switch") << "velmora" << QList<bool>() << 0 << Outcome::Run;
    QTest::newRow("/RESET answered no")
        << "velmora /RESET" << QList<bool>({false}) << 1 << Outcome::NotContinued;
    QTest::newRow("/REPAIR answered yes")
        << "velmora /REPAIR" << QList<bool>({true}) << 1 << Outcome::Run;
    QTest::newRow("lower case not a switch")
        << "velmora /reset" << QList<bool>() << 0 << Outcome::Run;
}

void TestStartup::waitQuestion()
{
    QFETCH(QString, commandLine);
    QFETCH(QList<bool>, answers);
    QFETCH(int, questions);
    QFETCH(Outcome, outcome);
    writeUsers({});
    Hook::queueAnswers(answers);
    answerLogin(QString(), MasterPassword());
    StartupSequence startup;
    startup.setInstanceName(InstanceName);
    startup.setCommandLine(commandLine);
    QCOMPARE(startup.start(), outcome);
    QList<Hook::Message> asked;
    for (const Hook::Message &message : Hook::takeMessages()) {
        if (message.kind == Hook::Kind::Question)
            asked << message;
    }
    QCOMPARE(asked.size(), questions);
    if (questions) {
        QCOMPARE(asked.first().text, QString("Pokračovat ve spouštění aplikace?"));
        QCOMPARE(asked.first().detail, QString("Volbou [Ne] ukončíte aplikaci..."));
        QVERIFY(asked.first().sound.isEmpty());
    }
}

void TestStartup::eventLogAtStart()
{
    writeUsers({});
    QVERIFY(Cp1250Lines::write("Velmora.log", {"1.12.2026 8:00:00 Start programu",
                                               "1.12.2026 8:00:05 Přihlášen uživatel: [Eva]"})
                .ok());
    answerLogin(QString(), MasterPassword());
    StartupSequence startup;
    QCOMPARE(startWith(startup), Outcome::Run);
    QStringList file;
    QVERIFY(Cp1250Lines::read("Velmora.log", &file).ok());
    QCOMPARE(file.size(), 4);
    QCOMPARE(file.at(2), QString("9.12.2026 9:05:00 Start programu"));
    QCOMPARE(file.at(3), QString("9.12.2026 9:05:00 Přihlášen uživatel: [Administrator]"));
    QCOMPARE(startup.session()->desk().eventLog().lines(), file);
}

void TestStartup::readOnlyEventLogWarns()
{
    writeUsers({});
    QVERIFY(Cp1250Lines::write("Velmora.log", {"starý řádek"}).ok());
    QVERIFY(QFile::setPermissions("Velmora.log", QFileDevice::ReadOwner));
    answerLogin(QString(), MasterPassword());
    StartupSequence startup;
    QCOMPARE(startWith(startup), Outcome::Run);
    QCOMPARE(texts(Hook::takeMessages()),
             QStringList({"Log soubor nelze uložit... | Error [13]..."}));
    QCOMPARE(startup.session()->desk().eventLog().lines().size(), 3); // shown, though not written
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
