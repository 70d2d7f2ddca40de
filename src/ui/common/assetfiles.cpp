#include "ui/common/assetfiles.h"

#include "core/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString findAssetFile(const QString &bareName)
{
    if (bareName.isEmpty())
        return {};
    for (const QString &folder :
         {QDir::currentPath(), installedAssetsDirectory(), sharedAssetsDirectory()}) {
        const QFileInfo candidate(JoinPath(folder, bareName));
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

QString installedAssetsDirectory()
{
    return JoinPath(QCoreApplication::applicationDirPath(), QStringLiteral("assets"));
}

QString sharedAssetsDirectory()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/velmora"));
}

QPixmap assetPixmap(const QString &bareName)
{
    const QString path = findAssetFile(bareName);
    return path.isEmpty() ? QPixmap() : QPixmap(path);
}
