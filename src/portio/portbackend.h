#pragma once

#include <QByteArray>

// One way of reaching the port registers. The layer speaks to it only through deviceControl()
// with the read and write requests of portio/portrequest.h, so a back end may live elsewhere.
class PortBackend
{
public:
    virtual ~PortBackend() = default;
    PortBackend() = default;
    PortBackend(const PortBackend &) = delete;
    PortBackend &operator=(const PortBackend &) = delete;

    // Makes the register at port reachable (opening or claiming what it needs, once, for the
    // rest of the run) and tells whether it is.
    virtual bool prepare(quint32 port) = 0;

    // One request: ReadCode puts the 4-byte answer into *output, WriteCode clears it.
    // False for an unknown code or a malformed input (nothing is accessed then), and for a write
    // that did not reach the register.
    virtual bool deviceControl(quint32 code, const QByteArray &input, QByteArray *output);

protected:
    virtual quint32 readRegister(quint32 port, quint32 width) = 0;
    // False when the value did not reach the register.
    virtual bool writeRegister(quint32 port, quint32 width, quint32 value) = 0;
};

// What a read returns where no device answers: every bit of the width high, as an open bus
// reads. A width code other than 0, 1 or 2 accesses nothing and gives 0.
quint32 absentRegisterValue(quint32 width);
