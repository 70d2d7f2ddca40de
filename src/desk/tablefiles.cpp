#include "desk/tablefiles.h"

#include "core/paths.h"
#include "desk/salonschema.h"

#include <QDir>
#include <QFileInfo>

qint64 DatabaseSize(const QString &folder)
{
    qint64 size = 0;
    for (const QString &name : TableNames)
        size += QFileInfo(JoinPath(folder, fileNameOfTable(name))).size();
    return size;
}

bool BackupComplete(const QString &folder)
{
    for (const QString &name : TableNames) {
        if (!QFileInfo(JoinPath(folder, fileNameOfTable(name))).isFile())
            return false;
    }
    return true;
}

qint64 BackupSize(const QString &folder)
{
    qint64 size = 0;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.DB")}, QDir::Files | QDir::CaseSensitive);
    for (const QFileInfo &file : files)
        size += file.size();
    return size;
}
