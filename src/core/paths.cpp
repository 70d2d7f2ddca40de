#include "core/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

bool isWritableFolder(const QString &path)
{
    const QFileInfo folder(path);
    return folder.isDir() && folder.permissions().testFlag(QFileDevice::WriteOwner) &&
           ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

} // namespace

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

QString writableFileName(const QString &bareName)
{
    if (isWritableFolder(QDir::currentPath()))
        return bareName;
    const QString folder =
        JoinPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                 QStringLiteral("velmora"));
    QDir().mkpath(folder); // a failure shows when the file is written
    return JoinPath(folder, bareName);
}
