#pragma once

#include <QString>

#include <optional>

// The simulated relay board keeps each data register as a one-byte file, so that other
// processes (the relay-board viewer, tests) can watch it.

// $VELMORA_PORT_SIM_DIR, else $XDG_RUNTIME_DIR/velmora, else velmora-<uid> in the temporary folder.
QString simulatorDirectory();

// "port-0378" in the simulator directory for the address 0x378.
QString simulatorFilePath(quint32 port);
// Makes the folder when missing; in the shared temporary folder it must be this user's alone.
// False with the reason otherwise.
bool prepareSimulatorDirectory(QString *problem);

// The board has ports at 0x378, 0x278 and 0x3BC; any other address has no device.
bool isSimulatedPort(quint32 port);

// The register as last written; nullopt while the port has never been used.
std::optional<quint8> readSimulatedRegister(quint32 port);
