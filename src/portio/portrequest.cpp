#include "portio/portrequest.h"

#include <QtEndian>

namespace PortWire {

namespace {

void putWord(QByteArray &bytes, qsizetype offset, quint32 word)
{
    qToLittleEndian(word, bytes.data() + offset);
}

quint32 wordAt(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

} // namespace

QByteArray encodeRequest(const PortRequest &request)
{
    QByteArray bytes(RequestSize, '\0');
    putWord(bytes, 0, request.port);
    putWord(bytes, 4, request.width);
    putWord(bytes, 8, request.value);
    return bytes;
}

std::optional<PortRequest> decodeRequest(const QByteArray &input)
{
    if (input.size() != RequestSize)
        return std::nullopt;
    return PortRequest{wordAt(input, 0), wordAt(input, 4), wordAt(input, 8)};
}

QByteArray encodeAnswer(quint32 value)
{
    QByteArray bytes(AnswerSize, '\0');
    putWord(bytes, 0, value);
    return bytes;
}

quint32 decodeAnswer(const QByteArray &output)
{
    return output.size() == AnswerSize ? wordAt(output, 0) : 0;
}

} // namespace PortWire
