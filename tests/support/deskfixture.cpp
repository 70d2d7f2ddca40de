#include "deskfixture.h"

#include "core/engineconfig.h"
#include "core/programvalues.h"
#include "data/engineerror.h"
#include "data/query.h"
#include "desk/salonschema.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "portio/simulatorbackend.h"

#include <QDir>
#include <QTest>

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
    setProgramClock(&m_clock);
}

DeskFixture::~DeskFixture()
{
    setProgramClock(nullptr);
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

void RecordingDeskReport::warn(const QString &caption, const QString &detail)
{
    m_reports << caption + QStringLiteral(" | ") + detail;
    if (m_whileReporting)
        m_whileReporting();
}

void RecordingDeskReport::warnWithoutWaiting(const QString &caption, const QString &detail)
{
    m_reports << QStringLiteral("without waiting: ") + caption + QStringLiteral(" | ") + detail;
    if (m_whileReporting)
        m_whileReporting();
}

void RecordingDeskReport::databaseError()
{
    m_reports << QStringLiteral("database: ") + Engine::lastError().message;
    if (m_whileReporting)
        m_whileReporting();
}

RunsFixture::RunsFixture() : m_desk(m_report), m_runs(m_desk)
{
    Program() = ProgramValues();
    Program().DatabaseDir = m_installation.dataDirectory();
    Program().JournalFileName = m_installation.dataDirectory() + QStringLiteral("/SalesSolars.txt");
    Program().CurrentUser = QStringLiteral("Administrator");
    if (!m_desk.database().connectDirectory(m_installation.dataDirectory()) || !m_desk.openTables())
        qFatal("open");
    m_runs.setSettings(&m_settings);
    m_runs.setQuestions(&m_questions);
    m_runs.loadOffers();
}

void RunsFixture::countDown(int unit, int seconds)
{
    for (int i = 0; i < seconds; ++i) {
        m_installation.m_clock.m_tick += 1000;
        m_runs.tick(unit);
    }
}

qint64 StoredFigures::receiptCount()
{
    return queryValue(database(), QStringLiteral("select count(*) from SaleSolars")).toLongLong();
}

QVariant StoredFigures::solarsValue(int unit, const QString &field)
{
    return queryValue(
        database(), QStringLiteral("select %1 from Solars where SOLAR = %2").arg(field).arg(unit));
}

double StoredFigures::money()
{
    return queryValue(database(), QStringLiteral("select MONEY from Money")).toDouble();
}

QVariant queryValue(Database &database, const QString &sql)
{
    Query query(&database);
    query.setSql(sql);
    query.exec();
    query.first();
    return query.value(0);
}

bool runSql(Database &database, const QString &sql)
{
    Query query(&database);
    query.setSql(sql);
    return query.exec();
}

QStringList logTexts(const EventLog &log)
{
    QStringList texts;
    for (const QString &line : log.lines())
        texts << line.section(QLatin1Char(' '), 2);
    return texts;
}
