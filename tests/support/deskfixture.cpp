#include "deskfixture.h"

#include "console/formvelmora.h"
#include "core/engineconfig.h"
#include "core/programvalues.h"
#include "data/query.h"
#include "data/tables.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "portio/simulatorbackend.h"
#include "ui/common/messagedialogs.h"
#include "users/userregister.h"

#include <QDir>
#include <QTest>

std::optional<StartInput> ScriptedRunDialogs::askStart(int unit, const SolarSettings &, QWidget *)
{
    m_startedUnits.append(unit);
    return m_start;
}

TFormStop::Result ScriptedRunDialogs::askStop(const StopFigures &figures, QWidget *)
{
    m_stops.append(figures);
    if (m_whileStopOpen)
        m_whileStopOpen(figures);
    return m_stopAnswers.isEmpty() ? TFormStop::Close : m_stopAnswers.takeFirst();
}

DeskFixture::DeskFixture() : m_previousDirectory(QDir::currentPath())
{
    qputenv("VELMORA_CONFIG_DIR", path(QStringLiteral("config")).toUtf8());
    qputenv("VELMORA_PORT_SIM_DIR", path(QStringLiteral("port")).toUtf8());
    QString error;
    if (!createInstallation(dataDirectory(), &error))
        qFatal("installation: %s", qPrintable(error));
    if (!EngineConfig::registerAlias(EngineConfig::AliasName, dataDirectory(), QString(), &error))
        qFatal("alias: %s", qPrintable(error));
    QDir::setCurrent(m_dir.path());
    initializePortAccess(std::make_unique<SimulatorBackend>());
    setPortTextSource({});
    MessageDialogsTestHook::engage();
    setProgramClock(&m_clock);
}

DeskFixture::~DeskFixture()
{
    setProgramClock(nullptr);
    MessageDialogsTestHook::release();
    shutdownPortAccess();
    QDir::setCurrent(m_previousDirectory);
    qunsetenv("VELMORA_CONFIG_DIR");
    qunsetenv("VELMORA_PORT_SIM_DIR");
}

quint8 DeskFixture::portRegister() const
{
    return quint8(ReadPort(DefaultPortAddress, 0));
}

void DeskFixture::setPortRegister(quint8 value)
{
    WritePort(DefaultPortAddress, 0, value);
}

ConsoleFixture::ConsoleFixture(const QList<User> &users, const QString &user, bool showConsole)
{
    Program() = ProgramValues();
    Program().ProductText = QStringLiteral("Velmora 1.0.2.3");
    Program().DatabaseDir = m_desk.dataDirectory();
    Program().JournalFileName = m_desk.dataDirectory() + QStringLiteral("/SalesSolars.txt");
    Program().CurrentUser = user.isEmpty() ? QStringLiteral("Administrator") : user;
    UserRegister registered;
    for (const User &each : users)
        registered.add(each);
    if (!registered.save(m_desk.dataDirectory() + QStringLiteral("/Velmora.usr")).ok())
        qFatal("users file");

    m_console = std::make_unique<TFormVelmora>();
    if (!m_console->database().connectDirectory(m_desk.dataDirectory()))
        qFatal("connect");
    m_console->createSettingsWindows();
    m_console->setSolarSettings(&m_settings);
    m_console->setRunDialogs(&m_dialogs);
    if (!m_console->OpenDatabase() ||
        !m_console->tableSaleSolars().setIndexName(QStringLiteral("_PARAGON")))
        qFatal("open");
    MessageDialogsTestHook::takeMessages();
    if (showConsole)
        show();
}

ConsoleFixture::~ConsoleFixture()
{
    m_console.reset();
}

void ConsoleFixture::show()
{
    m_console->show();
}

qint64 ConsoleFixture::receiptCount()
{
    Query query(&m_console->database());
    query.setSql(QStringLiteral("select count(*) from SaleSolars"));
    query.exec();
    query.first();
    return query.value(0).toLongLong();
}

QVariant ConsoleFixture::solarsValue(int unit, const QString &field)
{
    Query query(&m_console->database());
    query.setSql(QStringLiteral("select %1 from Solars where SOLAR = %2").arg(field).arg(unit));
    query.exec();
    query.first();
    return query.value(0);
}

double ConsoleFixture::money()
{
    Query query(&m_console->database());
    query.setSql(QStringLiteral("select MONEY from Money"));
    query.exec();
    query.first();
    return query.value(0).toDouble();
}
