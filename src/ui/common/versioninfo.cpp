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
