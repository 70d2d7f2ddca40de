#pragma once

// Switches every unit off when the process dies from a fatal signal or is asked to end: a bed
// left on with no countdown running burns the customer.
//
// Back ends arm a target (an open descriptor or a port number) before their first write to it,
// with a writer that puts 0 into that data register using async-signal-safe calls only. The
// handler writes 0 to every armed target, then dies of the same signal.
namespace EmergencyOff {

using ZeroWriter = void (*)(int handle) noexcept;

// SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGTERM, SIGINT and SIGHUP (the last three only
// when not ignored already); with an alternate stack on the calling thread, so that a stack
// overflow still reaches the handler.
void installHandlers();
void removeHandlers(); // puts the earlier handlers back

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
