#pragma once

// Switches every unit off when a signal ends the process: a bed left on with no countdown
// running burns the customer.
//
// Back ends arm a target (an open descriptor or a port number) before their first write to it,
// with a writer that puts 0 into that data register using async-signal-safe calls only. The
// handler writes 0 to every armed target, then dies of the same signal; a request to end
// (SIGTERM, SIGINT, SIGHUP) may instead be passed on to the event loop (passEndRequestsTo).
namespace EmergencyOff {

using ZeroWriter = void (*)(int handle) noexcept;

// Every signal whose default action ends the process: the faults (SIGSEGV, SIGBUS, SIGFPE,
// SIGILL, SIGTRAP, SIGSYS, SIGABRT) always; the others (SIGTERM, SIGINT, SIGHUP, SIGQUIT,
// SIGALRM, SIGUSR1, SIGUSR2, SIGIO, SIGPROF, SIGVTALRM, SIGXCPU, SIGPWR, SIGSTKFLT and the
// real-time signals) while they have their default action. SIGPIPE and SIGXFSZ are
// ignored, so that the write that met them fails with EPIPE or EFBIG and is reported. With an
// alternate stack on the calling thread, so that a stack overflow still reaches the handler.
void installHandlers();
void removeHandlers(); // puts the earlier actions back

// While fd is not -1, the first SIGTERM, SIGINT or SIGHUP writes 0 to the armed targets, then
// writes its signal number as one byte to fd and lets the program go on, so that it can end in
// order; SIGALRM ends it after ten seconds if it has not. A request within two seconds of the
// first is the same one (a logout's SIGHUP and SIGTERM); a later one, or one that cannot be
// written, ends the program at once. The port stays shut to the program's writes either way.
void passEndRequestsTo(int fd);

// Registers a target once; repeated calls with the same writer and handle are ignored.
void arm(ZeroWriter writer, int handle);
// Forgets all targets; call before their descriptors are closed.
void disarm();

// Writes 0 to every armed target (the handler's work, also used when the layer shuts down).
void switchAllOff();

// Brackets one write of the program to the port. A fatal signal that arrives while another
// thread is inside the write waits for it and then writes 0 again, so its 0 is the last word;
// once a signal has arrived the gate stays shut.
class WriteGate
{
public:
    WriteGate();
    ~WriteGate();
    WriteGate(const WriteGate &) = delete;
    WriteGate &operator=(const WriteGate &) = delete;

    bool isOpen() const { return m_open; }

private:
    bool m_open;
};

} // namespace EmergencyOff
