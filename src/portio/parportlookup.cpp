#include "portio/parportlookup.h"

#include "core/paths.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

// The file holds the base address and the extended base address, in decimal: "888\t1912".
std::optional<quint32> readBaseAddress(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = file.readAll().simplified().split(' ');
    bool ok = false;
    const quint32 base = fields.value(0).toUInt(&ok, 10);
    return ok ? std::optional(base) : std::nullopt;
}

} // namespace

std::optional<int> findParportNumber(quint32 baseAddress, const QString &procRoot)
{
    const QString listing = JoinPath(procRoot, QStringLiteral("sys/dev/parport"));
    static const QRegularExpression ParportName(QStringLiteral("^parport(\\d+)$"));
    const QStringList entries = QDir(listing).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        const QRegularExpressionMatch match = ParportName.match(entry);
        if (!match.hasMatch())
            continue;
        const QString path = JoinPath(JoinPath(listing, entry), QStringLiteral("base-addr"));
        if (readBaseAddress(path) == baseAddress)
            return match.captured(1).toInt();
    }
    return std::nullopt;
}
