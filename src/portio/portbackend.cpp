#include "portio/portbackend.h"

#include "portio/portrequest.h"

bool PortBackend::deviceControl(quint32 code, const QByteArray &input, QByteArray *output)
{
    const auto request = PortWire::decodeRequest(input);
    if (!request)
        return false;
    switch (code) {
    case PortWire::ReadCode:
        *output = PortWire::encodeAnswer(readRegister(request->port, request->width));
        return true;
    case PortWire::WriteCode:
        output->clear();
        return writeRegister(request->port, request->width, request->value);
    default:
        return false;
    }
}

quint32 absentRegisterValue(quint32 width)
{
    switch (width) {
    case 0:
        return 0xFF;
    case 1:
        return 0xFFFF;
    case 2:
        return 0xFFFFFFFF;
    default:
        return 0;
    }
}
