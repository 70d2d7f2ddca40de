#pragma once

#include <QtGlobal>

// Solarium unit n (1 to 8) is switched by bit n - 1 of the data register at PortAddress().

constexpr quint32 unitMask(int unit)
{
    return 1u << (unit - 1);
}

// Read the register, set the unit's bit and write it back; the other bits stay as they are.
// Returns the register as read again after the write.
quint32 switchUnitOn(int unit);

// As switchUnitOn, clearing the unit's bit. A bit that is already clear stays clear.
quint32 switchUnitOff(int unit);

// Writes 0 to the data register at port (every unit off) and reads it back: true when it reads
// 0. A wrong address reads back something else, an absent device all ones.
bool resetPortRegister(quint32 port);
