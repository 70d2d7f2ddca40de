#include "desk/backupchecksums.h"

#include "core/paths.h"
#include "desk/salonschema.h"

#include <QFile>
#include <QHash>

#include <sodium.h>

#include <optional>

namespace BackupChecksums {

const QString FileName = QStringLiteral("Velmora.sha256");

namespace {

constexpr qint64 PieceSize = 1 << 20; // a few milliseconds of hashing

// The file's SHA-256 in lower-case hex; none when it cannot be read.
std::optional<QByteArray> sha256(const QString &path, const std::function<void()> &betweenSteps)
{
    if (sodium_init() < 0)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    QByteArray piece(PieceSize, Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(piece.data(), PieceSize);
        if (read < 0)
            return std::nullopt;
        if (read == 0)
            break;
        crypto_hash_sha256_update(&state, reinterpret_cast<const unsigned char *>(piece.data()),
                                  quint64(read));
        if (betweenSteps)
            betweenSteps();
    }
    QByteArray digest(crypto_hash_sha256_BYTES, Qt::Uninitialized);
    crypto_hash_sha256_final(&state, reinterpret_cast<unsigned char *>(digest.data()));
    return digest.toHex();
}

// The names and hashes of the checksum file; none when it cannot be read.
std::optional<QHash<QString, QByteArray>> readChecksums(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QHash<QString, QByteArray> sums;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const qsizetype gap = line.indexOf("  ");
        if (gap > 0)
            sums.insert(QString::fromUtf8(line.mid(gap + 2)).trimmed(), line.left(gap));
    }
    return sums;
}

} // namespace

bool isChecksumFile(const QString &entryName)
{
    // writeFileAtomically writes ".Velmora.sha256.XXXXXX" first.
    return entryName == FileName || entryName.startsWith(QLatin1Char('.') + FileName + u'.');
}

FileResult write(const QString &folder, const std::function<void()> &betweenSteps)
{
    QByteArray content;
    for (const QString &name : TableNames) {
        const QString file = fileNameOfTable(name);
        const std::optional<QByteArray> sum = sha256(JoinPath(folder, file), betweenSteps);
        if (!sum)
            return FileResult::failure(QStringLiteral("Soubor %1 nelze přečíst").arg(file));
        content += *sum + "  " + file.toUtf8() + '\n';
    }
    return writeFileAtomically(JoinPath(folder, FileName), content, FileAccess::OwnerOnly);
}

Check verify(const QString &folder, const std::function<void()> &betweenSteps)
{
    const QString path = JoinPath(folder, FileName);
    if (!QFile::exists(path))
        return {Check::NoChecksums, QString()};
    const auto sums = readChecksums(path);
    if (!sums)
        return {Check::Unreadable, FileName};
    for (const QString &name : TableNames) {
        const QString file = fileNameOfTable(name);
        if (!sums->contains(file))
            return {Check::Unreadable, FileName};
        const std::optional<QByteArray> sum = sha256(JoinPath(folder, file), betweenSteps);
        if (!sum)
            return {Check::Unreadable, file};
        if (*sum != sums->value(file).toLower())
            return {Check::Mismatch, file};
    }
    return {Check::Matches, QString()};
}

} // namespace BackupChecksums
