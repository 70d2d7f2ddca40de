#include "reports/engine/pagefile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstring>

namespace PageFile {

namespace {

// The last bytes catch a transfer that rewrote line ends or stopped at a Ctrl+Z.
constexpr char Magic[] = "VQRP\r\n\x1a\n";
constexpr int MagicSize = 8;
constexpr QCryptographicHash::Algorithm ChecksumAlgorithm = QCryptographicHash::Sha256;
constexpr int ChecksumSize = 32;
constexpr int HeaderSize = MagicSize + 2 + 4 + ChecksumSize;
// Fixed, so that a later Qt writes and reads the same bytes.
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_0;

enum ItemKind : quint8 { TextKind = 0, LineKind = 1 };

// The least bytes a page and an item take: a count read from the file that would need more
// than the bytes left is damage, found before anything is allocated for it.
constexpr qint64 MinPageBytes = 4;
constexpr qint64 MinItemBytes = 1 + 4 * 4 + 4;

// Beyond these no layout goes; larger values only come from damage and would overflow QRect.
constexpr qint32 MaxCoordinate = 10'000'000;
constexpr double MaxPointSize = 1000;

bool coordinate(qint32 value)
{
    return value >= -MaxCoordinate && value <= MaxCoordinate;
}

void writeText(QDataStream &out, const TextItem &text)
{
    out << quint8(TextKind) << qint32(text.box.x()) << qint32(text.box.y())
        << qint32(text.box.width()) << qint32(text.box.height()) << text.font.family
        << text.font.pointSize << quint8(text.font.bold ? 1 : 0) << quint8(text.alignment)
        << text.text;
}

void writeLine(QDataStream &out, const LineItem &line)
{
    out << quint8(LineKind) << qint32(line.line.x1()) << qint32(line.line.y1())
        << qint32(line.line.x2()) << qint32(line.line.y2()) << qint32(line.width);
}

bool readText(QDataStream &in, TextItem *text)
{
    qint32 x = 0, y = 0, width = 0, height = 0;
    quint8 bold = 0, alignment = 0;
    in >> x >> y >> width >> height >> text->font.family >> text->font.pointSize >> bold >>
        alignment >> text->text;
    if (in.status() != QDataStream::Ok || !coordinate(x) || !coordinate(y) || !coordinate(width) ||
        !coordinate(height) || bold > 1 || alignment > quint8(ReportAlignment::Centre) ||
        !std::isfinite(text->font.pointSize) || text->font.pointSize <= 0 ||
        text->font.pointSize > MaxPointSize)
        return false;
    text->box = QRect(x, y, width, height);
    text->font.bold = bold == 1;
    text->alignment = ReportAlignment(alignment);
    return true;
}

bool readLine(QDataStream &in, LineItem *line)
{
    qint32 x1 = 0, y1 = 0, x2 = 0, y2 = 0, width = 0;
    in >> x1 >> y1 >> x2 >> y2 >> width;
    if (in.status() != QDataStream::Ok || !coordinate(x1) || !coordinate(y1) || !coordinate(x2) ||
        !coordinate(y2) || !coordinate(width))
        return false;
    line->line = QLine(x1, y1, x2, y2);
    line->width = width;
    return true;
}

bool readCount(QDataStream &in, qint64 leastBytesEach, int *count)
{
    quint32 value = 0;
    in >> value;
    if (in.status() != QDataStream::Ok ||
        qint64(value) > in.device()->bytesAvailable() / leastBytesEach)
        return false;
    *count = int(value);
    return true;
}

// Pages without a sheet, or no page at all, would show as page 1 of 0 or an empty grey area.
bool showable(const QSize &pageSize, qsizetype pageCount)
{
    return pageCount > 0 && pageSize.width() > 0 && pageSize.height() > 0;
}

QString quoted(const QString &fileName)
{
    return QStringLiteral("„%1“").arg(fileName);
}

FileResult damaged(const QString &fileName)
{
    return FileResult::failure(
        QStringLiteral("Soubor %1 je poškozen, stránky z něj nelze načíst...")
            .arg(quoted(fileName)));
}

FileResult truncated(const QString &fileName)
{
    return FileResult::failure(
        QStringLiteral("Soubor %1 je neúplný, zřejmě nebyl celý uložen nebo zkopírován...")
            .arg(quoted(fileName)));
}

} // namespace

QByteArray encodePayload(const PageStore &store)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << store.title << qint32(store.pageSize.width()) << qint32(store.pageSize.height())
        << quint32(store.pages.size());
    for (const ReportPage &page : store.pages) {
        out << quint32(page.items.size());
        for (const PageItem &item : page.items) {
            if (const auto *text = std::get_if<TextItem>(&item))
                writeText(out, *text);
            else
                writeLine(out, std::get<LineItem>(item));
        }
    }
    return payload;
}

bool decodePayload(const QByteArray &payload, PageStore *store)
{
    *store = PageStore();
    QBuffer buffer;
    buffer.setData(payload);
    buffer.open(QIODevice::ReadOnly);
    QDataStream in(&buffer);
    in.setVersion(StreamVersion);

    PageStore read;
    qint32 width = 0, height = 0;
    int pageCount = 0;
    in >> read.title >> width >> height;
    read.pageSize = QSize(width, height);
    if (in.status() != QDataStream::Ok || !coordinate(width) || !coordinate(height) ||
        !readCount(in, MinPageBytes, &pageCount))
        return false;
    if (!showable(read.pageSize, pageCount))
        return false;
    for (int pageIndex = 0; pageIndex < pageCount; ++pageIndex) {
        ReportPage page;
        int itemCount = 0;
        if (!readCount(in, MinItemBytes, &itemCount))
            return false;
        for (int itemIndex = 0; itemIndex < itemCount; ++itemIndex) {
            quint8 kind = 0;
            in >> kind;
            if (kind == TextKind) {
                TextItem text;
                if (!readText(in, &text))
                    return false;
                page.items.append(std::move(text));
            } else if (kind == LineKind) {
                LineItem line;
                if (!readLine(in, &line))
                    return false;
                page.items.append(line);
            } else {
                return false;
            }
        }
        read.pages.append(std::move(page));
    }
    if (in.status() != QDataStream::Ok || !buffer.atEnd())
        return false;
    *store = std::move(read);
    return true;
}

QByteArray encode(const PageStore &store)
{
    const QByteArray payload = encodePayload(store);
    QByteArray content;
    QDataStream out(&content, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out.writeRawData(Magic, MagicSize);
    out << FormatVersion << quint32(payload.size());
    content.append(QCryptographicHash::hash(payload, ChecksumAlgorithm));
    content.append(payload);
    return content;
}

FileResult decode(const QByteArray &content, const QString &fileName, PageStore *store)
{
    *store = PageStore();
    const QByteArray magic(Magic, MagicSize);
    if (!content.startsWith(magic)) {
        if (content.size() < MagicSize && magic.startsWith(content))
            return truncated(fileName);
        return FileResult::failure(
            QStringLiteral("Soubor %1 není soubor uložených stránek sestavy (QRP)...")
                .arg(quoted(fileName)));
    }
    if (content.size() < MagicSize + 2)
        return truncated(fileName);
    QDataStream in(content.mid(MagicSize));
    in.setVersion(StreamVersion);
    quint16 version = 0;
    quint32 payloadSize = 0;
    in >> version;
    if (version > FormatVersion)
        return FileResult::failure(
            QStringLiteral("Soubor %1 uložila novější verze programu (formát %2), tato verze ho "
                           "neumí otevřít...")
                .arg(quoted(fileName))
                .arg(version));
    if (version == 0)
        return damaged(fileName);
    if (content.size() < HeaderSize)
        return truncated(fileName);
    in >> payloadSize;
    const qint64 available = content.size() - HeaderSize;
    if (qint64(payloadSize) > available)
        return truncated(fileName);
    if (qint64(payloadSize) < available)
        return damaged(fileName);
    const QByteArray payload = content.mid(HeaderSize);
    if (QCryptographicHash::hash(payload, ChecksumAlgorithm) !=
            content.mid(HeaderSize - ChecksumSize, ChecksumSize) ||
        !decodePayload(payload, store))
        return damaged(fileName);
    return FileResult::success();
}

FileResult save(const QString &path, const PageStore &store)
{
    if (!showable(store.pageSize, store.pages.size()))
        return FileResult::failure(
            QStringLiteral("Sestava nemá žádnou stránku, do souboru %1 nelze nic uložit...")
                .arg(quoted(path)));
    const FileResult written = writeFileAtomically(path, encode(store));
    if (written.ok())
        return written;
    return {written.errorCode,
            QStringLiteral("Stránky nelze uložit do souboru %1: %2...")
                .arg(quoted(path), QString::fromLocal8Bit(strerror(written.errorCode)))};
}

FileResult load(const QString &path, PageStore *store)
{
    *store = PageStore();
    const QFileInfo info(path);
    if (!info.exists())
        return FileResult::failure(QStringLiteral("Soubor %1 neexistuje...").arg(quoted(path)));
    QFile file(path);
    QByteArray content;
    if (info.isFile() && file.open(QIODevice::ReadOnly))
        content = file.readAll();
    if (!info.isFile() || !file.isOpen() || file.error() != QFileDevice::NoError)
        return FileResult::failure(QStringLiteral("Soubor %1 nelze číst: %2...")
                                       .arg(quoted(path), info.isFile()
                                                              ? file.errorString()
                                                              : QStringLiteral("není to soubor")));
    return decode(content, path, store);
}

} // namespace PageFile
