#include "deskfixture.h"

#include "core/engineconfig.h"
#include "data/tables.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "portio/simulatorbackend.h"
#include "ui/common/messagedialogs.h"

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
    if (!CreateInstallation(dataDirectory(), &error))
        qFatal("installation: %s", qPrintable(error));
    if (!EngineConfig::registerAlias(EngineConfig::AliasName, dataDirectory(), QString(), &error))
        qFatal("alias: %s", qPrintable(error));
    QDir::setCurrent(m_dir.path());
    InitializePortAccess(std::make_unique<SimulatorBackend>());
    setPortTextSource({});
    MessageDialogsTestHook::engage();
    setProgramClock(&m_clock);
}

DeskFixture::~DeskFixture()
{
    setProgramClock(nullptr);
    MessageDialogsTestHook::release();
    ShutdownPortAccess();
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
