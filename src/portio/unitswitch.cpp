#include "portio/unitswitch.h"

#include "portio/portaccess.h"
#include "portio/portaddress.h"

namespace {

constexpr quint32 ByteWidth = 0;

template <typename Change> quint32 changeRegister(Change change)
{
    const quint32 port = PortAddress();
    WritePort(port, ByteWidth, change(ReadPort(port, ByteWidth)) & 0xFF);
    return ReadPort(port, ByteWidth);
}

} // namespace

quint32 switchUnitOn(int unit)
{
    return changeRegister([unit](quint32 value) { return value | unitMask(unit); });
}

quint32 switchUnitOff(int unit)
{
    // Clearing rather than toggling: a toggle of a bit that is unexpectedly clear would switch
    // the bed on.
    return changeRegister([unit](quint32 value) { return value & ~unitMask(unit); });
}

bool resetPortRegister(quint32 port)
{
    WritePort(port, ByteWidth, 0);
    return ReadPort(port, ByteWidth) == 0;
}
