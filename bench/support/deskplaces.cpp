#include "deskplaces.h"

#include "core/paths.h"
#include "core/programvalues.h"
#include "portio/portaccess.h"
#include "portio/simulatorbackend.h"
#include "ui/common/messagedialogs.h"

#include <QDir>

SalePlace::SalePlace(const QString &directory) : m_previousDirectory(QDir::currentPath())
{
    qputenv("VELMORA_CONFIG_DIR", m_place.filePath(QStringLiteral("config")).toUtf8());
    qputenv("VELMORA_PORT_SIM_DIR", m_place.filePath(QStringLiteral("port")).toUtf8());
    QDir::setCurrent(m_place.path()); // where the event log goes
    MessageDialogsTestHook::engage();
    initializePortAccess(std::make_unique<SimulatorBackend>());
    Program().CurrentUser = QStringLiteral("Administrator");
    Program().DatabaseDir = directory;
    Program().JournalFileName = JoinPath(directory, QStringLiteral("SalesSolars.txt"));
}

SalePlace::~SalePlace()
{
    shutdownPortAccess();
    MessageDialogsTestHook::release();
    QDir::setCurrent(m_previousDirectory);
}

FakeSolarSettings defaultSettings()
{
    FakeSolarSettings settings;
    settings.m_discounts = {QStringLiteral("0")};
    return settings;
}
