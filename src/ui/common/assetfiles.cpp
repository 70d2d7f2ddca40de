#include "ui/common/assetfiles.h"

#include "core/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString FindAssetFile(const QString &bareName)
{
    if (bareName.isEmpty())
        return {};
    for (const QString &folder : {QDir::currentPath(), InstalledAssetsDirectory()}) {
        const QFileInfo candidate(JoinPath(folder, bareName));
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

QString InstalledAssetsDirectory()
{
    return JoinPath(QCoreApplication::applicationDirPath(), QStringLiteral("assets"));
}

QPixmap AssetPixmap(const QString &bareName)
{
    const QString path = FindAssetFile(bareName);
    return path.isEmpty() ? QPixmap() : QPixmap(path);
}
