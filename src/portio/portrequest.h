#pragma once

#include <QByteArray>

#include <optional>

// The two device-control requests between the port layer and a back end. The layout is fixed so
// that a back end in another process can receive the very same bytes.
namespace PortWire {

// The standard device-control code layout: device type, access, function number, transfer method.
constexpr quint32 controlCode(quint32 deviceType, quint32 function)
{
    constexpr quint32 BufferedTransfer = 0;
    constexpr quint32 AnyAccess = 0;
    return (deviceType << 16) | (AnyAccess << 14) | (function << 2) | BufferedTransfer;
}

constexpr quint32 DeviceType = 0x80FF;
constexpr quint32 ReadCode = controlCode(DeviceType, 1);  // answer: 4 bytes, the value read
constexpr quint32 WriteCode = controlCode(DeviceType, 2); // no answer
static_assert(ReadCode == 0x80FF0004 && WriteCode == 0x80FF0008);

constexpr qsizetype RequestSize = 12;
constexpr qsizetype AnswerSize = 4;

// Width codes: 0 = 8 bits, 1 = 16 bits, 2 = 32 bits.
struct PortRequest
{
    quint32 port = 0;
    quint32 width = 0;
    quint32 value = 0; // unused by a read

    friend bool operator==(const PortRequest &, const PortRequest &) = default;
};

// Three little-endian 32-bit words: port, width, value.
QByteArray encodeRequest(const PortRequest &request);
std::optional<PortRequest> decodeRequest(const QByteArray &input); // nullopt unless 12 bytes

QByteArray encodeAnswer(quint32 value);
quint32 decodeAnswer(const QByteArray &output); // 0 unless 4 bytes

} // namespace PortWire
