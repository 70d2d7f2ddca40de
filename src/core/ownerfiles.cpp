#include "core/ownerfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

void keepNewFilesToOwner()
{
    ::umask(S_IRWXG | S_IRWXO);
}

bool claimOwnFolder(const QString &path, QString *problem)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), S_IRWXU) != 0 && errno != EEXIST) {
        *problem = QStringLiteral("Adresář %1 nelze vytvořit: %2")
                       .arg(path, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    struct stat status = {};
    if (::lstat(name.constData(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        *problem = QStringLiteral("%1 není adresář").arg(path);
        return false;
    }
    if (status.st_uid != ::getuid()) {
        *problem = QStringLiteral("Adresář %1 patří jinému uživateli").arg(path);
        return false;
    }
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        *problem = QStringLiteral("Do adresáře %1 mohou zapisovat i jiní uživatelé").arg(path);
        return false;
    }
    return true;
}

void removeInterruptedRewrites(const QString &path)
{
    const QFileInfo target(path);
    // mkstemp's six characters after the file's own name with a leading dot.
    const QRegularExpression leftover(QStringLiteral("^\\.%1\\.[A-Za-z0-9]{6}$")
                                          .arg(QRegularExpression::escape(target.fileName())));
    QDir folder = target.absoluteDir();
    const QStringList hidden =
        folder.entryList({QLatin1Char('.') + target.fileName() + QStringLiteral(".*")},
                         QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : hidden) {
        if (leftover.match(name).hasMatch())
            folder.remove(name);
    }
}
