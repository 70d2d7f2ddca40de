#include "core/paths.h"

#include <QDir>

QString JoinPath(const QString &directory, const QString &name)
{
    if (directory.isEmpty())
        return QString();
    if (directory.endsWith(QLatin1Char('/')))
        return directory + name;
    return directory + QLatin1Char('/') + name;
}

QString configDirectory()
{
    const QString own = qEnvironmentVariable("VELMORA_CONFIG_DIR");
    if (!own.isEmpty())
        return own;
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty())
        return JoinPath(xdg, QStringLiteral("velmora"));
    return JoinPath(QDir::homePath(), QStringLiteral(".config/velmora"));
}
