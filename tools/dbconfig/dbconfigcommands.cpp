#include "dbconfigcommands.h"

#include "core/engineconfig.h"
#include "desk/salonschema.h"

#include <QDir>
#include <QFileInfo>

namespace DbConfig {

namespace {

QString absolute(const QString &directory)
{
    return QDir::cleanPath(QFileInfo(directory).absoluteFilePath());
}

} // namespace

CommandResult setAlias(const QString &directory, const QString &netDirectory)
{
    if (directory.trimmed().isEmpty())
        return {false, QStringLiteral("Adresář databáze není zadán.")};
    const QString data = absolute(directory);
    const QString net = netDirectory.trimmed().isEmpty() ? data : absolute(netDirectory);
    for (const QString &path : {data, net}) {
        if (!QFileInfo(path).isDir())
            return {false, QStringLiteral("Adresář %1 neexistuje.").arg(path)};
    }
    QString error;
    if (!EngineConfig::registerAlias(EngineConfig::AliasName, data, net, &error))
        return {false, error};
    return {true, QStringLiteral("Alias %1 ukazuje na adresář %2 (síťový adresář %3).")
                      .arg(EngineConfig::AliasName, data, net)};
}

CommandResult createInstallation(const QString &directory)
{
    if (directory.trimmed().isEmpty())
        return {false, QStringLiteral("Adresář nové instalace není zadán.")};
    const QString path = absolute(directory);
    QString error;
    if (!::createInstallation(path, &error))
        return {false, error};
    return {true, QStringLiteral("V adresáři %1 byly vytvořeny tabulky %2.")
                      .arg(path, TableNames.join(QStringLiteral(", ")))};
}

CommandResult setPortBackend(const QString &backend)
{
    if (!PortBackends.contains(backend)) {
        return {false, QStringLiteral("Neznámý přístup k portu \"%1\", povoleno: %2.")
                           .arg(backend, PortBackends.join(QStringLiteral(", ")))};
    }
    QString error;
    if (!EngineConfig::setPortBackend(backend, &error))
        return {false, error};
    return {true, QStringLiteral("Přístup k portu: %1.").arg(backend)};
}

} // namespace DbConfig
