#include "core/engineconfig.h"

#include "core/paths.h"

#include <QDir>
#include <QSettings>

namespace EngineConfig {

namespace {

const QString AliasesGroup = QStringLiteral("Aliases");
const QString NetDirKey = QStringLiteral("Engine/NetDir");
const QString PortBackendKey = QStringLiteral("Port/Backend");

QString readValue(const QString &key)
{
    return QSettings(filePath(), QSettings::IniFormat).value(key).toString();
}

bool writeValues(const QList<std::pair<QString, QString>> &values, QString *error)
{
    if (!QDir().mkpath(configDirectory())) {
        *error = QStringLiteral("Nelze vytvořit adresář %1").arg(configDirectory());
        return false;
    }
    QSettings settings(filePath(), QSettings::IniFormat);
    for (const auto &[key, value] : values)
        settings.setValue(key, value);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        *error = QStringLiteral("Nelze zapsat soubor %1").arg(filePath());
        return false;
    }
    return true;
}

} // namespace

QString filePath()
{
    return JoinPath(configDirectory(), QStringLiteral("engine.conf"));
}

bool aliasExists(const QString &alias)
{
    return !aliasDirectory(alias).isEmpty();
}

QString aliasDirectory(const QString &alias)
{
    return readValue(AliasesGroup + QLatin1Char('/') + alias);
}

QString netDirectory()
{
    const QString own = readValue(NetDirKey);
    return own.isEmpty() ? aliasDirectory(AliasName) : own;
}

QString portBackend()
{
    return readValue(PortBackendKey);
}

bool registerAlias(const QString &alias, const QString &directory, const QString &netDirectory,
                   QString *error)
{
    return writeValues({{AliasesGroup + QLatin1Char('/') + alias, directory},
                        {NetDirKey, netDirectory.isEmpty() ? directory : netDirectory}},
                       error);
}

bool setPortBackend(const QString &backend, QString *error)
{
    return writeValues({{PortBackendKey, backend}}, error);
}

} // namespace EngineConfig
