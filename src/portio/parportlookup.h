#pragma once

#include <QString>

#include <optional>

// The number N of the parport (/dev/parportN) whose base address is baseAddress, as the kernel
// lists it in <procRoot>/sys/dev/parport/parportN/base-addr; nullopt when none has it.
std::optional<int> findParportNumber(quint32 baseAddress,
                                     const QString &procRoot = QStringLiteral("/proc"));
