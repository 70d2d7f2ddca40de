#include "ui/common/versioninfo.h"

#include "versioninfotable.h"

QString GetVersionInfo(const QString &key)
{
    for (const VersionInfoTable::Entry &entry : VersionInfoTable::Entries) {
        if (QStringView(entry.key).compare(key, Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(entry.value);
    }
    return {};
}

QString versionLine(const QString &programName)
{
    return programName + QLatin1Char(' ') + GetVersionInfo(QStringLiteral("ProductVersion"));
}

QCommandLineOption helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Vypíše tuto nápovědu."));
}

QCommandLineOption versionOption()
{
    return QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                              QStringLiteral("Vypíše verzi programu."));
}
