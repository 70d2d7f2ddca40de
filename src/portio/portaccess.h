#pragma once

#include "portio/portbackend.h"

#include <memory>

class PortWatchdog;

// The port access layer: read and write the I/O port registers through the back end chosen in
// engine.conf or $VELMORA_PORT_BACKEND (portio/portbackendchoice.h). Used only from the
// user-interface thread.
//
// While the layer runs, every signal that ends the program first writes 0 to every register the
// program has written (portio/emergencyoff.h), and shutting down does the same. For what no
// handler can catch (SIGKILL, an out-of-memory kill), the program's own start also starts the
// port watchdog (portio/portwatchdog.h), which does it from outside.

// Start at program start, before the start-up sequence: the back end chosen in the
// configuration, with its watchdog. The second form takes a given back end, without a watchdog.
void initializePortAccess();
void initializePortAccess(std::unique_ptr<PortBackend> backend);
// Switches off the registers written during the run and releases the back end.
void shutdownPortAccess();

// Initialises on construction and shuts down on destruction.
class PortAccessSession
{
public:
    PortAccessSession() { initializePortAccess(); }
    ~PortAccessSession() { shutdownPortAccess(); }
    PortAccessSession(const PortAccessSession &) = delete;
    PortAccessSession &operator=(const PortAccessSession &) = delete;
};

// Port access works at the current PortAddress(). Asked at the start-up's check, after the
// settings have been restored, so that the configured address is the one tried; the back end
// opens and claims what it needs then.
bool DriverStarted();

// The watchdog the layer started, running or not; nullptr when it has none (a given back end).
PortWatchdog *portWatchdog();
// A unit's run at PortAddress(), paid for remainingMs from now, and its end: the watchdog
// switches off on its own what a hung desk leaves on past its paid time.
void announcePaidRun(int unit, qint64 remainingMs);
void announceFreeUnit(int unit);
// The desk's run file for the units at PortAddress(), where the watchdog stamps what it
// switches off on its own.
void announceRunFile(const QString &path);

// Width codes: 0 = 8 bits, 1 = 16 bits, 2 = 32 bits. Without an initialised layer a read
// answers as an absent device (all bits high) and a write does nothing. A write tells whether
// the value reached the register; the read-back tells what it holds.
quint32 ReadPort(quint32 port, quint32 width);
bool WritePort(quint32 port, quint32 width, quint32 value);
