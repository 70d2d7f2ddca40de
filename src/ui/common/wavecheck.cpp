#include "ui/common/wavecheck.h"

#include <QtEndian>

namespace {

constexpr qsizetype RiffHeaderSize = 12;
constexpr qsizetype ChunkHeaderSize = 8;
constexpr qsizetype PcmFormatSize = 16;

quint32 readLe32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 readLe16(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

bool isSupportedFormat(const QByteArray &bytes, qsizetype body, quint32 size)
{
    if (size < PcmFormatSize)
        return false;
    const quint16 format = readLe16(bytes, body);
    const quint16 channels = readLe16(bytes, body + 2);
    const quint32 rate = readLe32(bytes, body + 4);
    const quint16 bits = readLe16(bytes, body + 14);
    const bool knownFormat = format == 1 || format == 3 || format == 0xFFFE;
    return knownFormat && channels > 0 && rate > 0 && bits > 0 && bits % 8 == 0;
}

} // namespace

bool isCompleteWaveFile(const QByteArray &bytes)
{
    if (bytes.size() < RiffHeaderSize || !bytes.startsWith("RIFF") ||
        bytes.mid(8, 4) != QByteArrayLiteral("WAVE"))
        return false;
    bool hasFormat = false;
    qsizetype at = RiffHeaderSize;
    while (at + ChunkHeaderSize <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = readLe32(bytes, at + 4);
        const qsizetype body = at + ChunkHeaderSize;
        if (qsizetype(size) > bytes.size() - body)
            return false; // the chunk runs past the end of the file
        if (id == QByteArrayLiteral("fmt ")) {
            if (!isSupportedFormat(bytes, body, size))
                return false;
            hasFormat = true;
        } else if (id == QByteArrayLiteral("data")) {
            return hasFormat;
        }
        at = body + qsizetype(size) + (size % 2); // chunks are padded to an even length
    }
    return false;
}
