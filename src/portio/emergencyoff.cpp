#include "portio/emergencyoff.h"

#include <QtGlobal>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <unistd.h>

namespace EmergencyOff {

namespace {

// Signals whose default action ends the process. Faults come from the program's own
// instructions (or abort()) and end it even when ignored, so they are always handled.
constexpr std::array FaultSignals{SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT};
// The others are handled only while they have their default action: a signal the program was
// started to ignore (nohup, a background job's SIGINT and SIGQUIT) does not end it and keeps
// being ignored, and one that a library caught before us (a profiler's SIGPROF) stays its own.
// The real-time signals, which also end the process by default, are added at installation.
constexpr std::array EndingSignals{
    SIGTERM,   SIGINT, SIGHUP,  SIGQUIT,   SIGALRM, SIGUSR1,
    SIGUSR2,   SIGIO,  SIGPROF, SIGVTALRM, SIGXCPU, SIGPWR,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};
// A reader gone from a pipe or a file-size limit: ignored, so that the write fails with EPIPE or
// EFBIG and is reported where it was made, instead of ending the program.
constexpr std::array IgnoredSignals{SIGPIPE, SIGXFSZ};

bool asksToEnd(int signalNumber)
{
    return signalNumber == SIGTERM || signalNumber == SIGINT || signalNumber == SIGHUP;
}

struct Target
{
    ZeroWriter writer = nullptr;
    int handle = -1;
};

// Three simulated ports, one parport or a few direct ports are the real cases.
constexpr int MaxTargets = 16;
std::array<Target, MaxTargets> targets;
std::atomic<int> targetCount{0};

std::atomic<bool> triggered{false};
std::atomic<pid_t> writingThread{0};
std::atomic<int> endRequestFd{-1};
// The monotonic millisecond of the first request to end; -1 before it.
std::atomic<long long> firstEndRequestMs{-1};
static_assert(std::atomic<pid_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free &&
              std::atomic<bool>::is_always_lock_free &&
              std::atomic<long long>::is_always_lock_free);

// A logout sends SIGHUP and SIGTERM (or SIGTERM twice) within milliseconds: requests this close
// to the first are the same request, and its runs still get booked.
constexpr long long SameRequestMs = 2000;

// How long the orderly end after a request may take before SIGALRM ends the program anyway.
constexpr unsigned EndGraceSeconds = 10;

// Indexed by signal number; changed[n] tells whether n's earlier action is to be put back.
std::array<struct sigaction, NSIG> previousActions;
std::array<bool, NSIG> changed = {};
bool installed = false;

// A stack overflow leaves no room to run the handler on the thread's own stack.
constexpr size_t AltStackSize = 64 * 1024;
alignas(16) char altStack[AltStackSize];
bool ownAltStack = false;

void zeroArmedTargets() noexcept
{
    const int count = targetCount.load(std::memory_order_acquire);
    for (int i = 0; i < count; ++i)
        targets[i].writer(targets[i].handle);
}

void waitForWriterToLeave(pid_t writer) noexcept
{
    constexpr int Attempts = 200; // about a second: a write is one system call
    const timespec pause{0, 5'000'000};
    for (int i = 0; i < Attempts && writingThread.load() == writer; ++i)
        nanosleep(&pause, nullptr);
}

long long monotonicMs() noexcept
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now); // async-signal-safe
    return (long long)(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// The first request to end goes to the event loop, which records the runs and ends; one within
// two seconds of it counts as the same; a later one, or one that cannot be passed on, ends the
// program at once.
bool handOverEndRequest(int signalNumber) noexcept
{
    const int fd = endRequestFd.load();
    if (fd < 0)
        return false;
    const long long now = monotonicMs();
    long long first = -1;
    if (!firstEndRequestMs.compare_exchange_strong(first, now))
        return now - first < SameRequestMs;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    if (write(fd, &number, 1) != 1)
        return false;
    alarm(EndGraceSeconds); // a frozen or failing end still ends
    return true;
}

// AddressSanitizer prepares every call that does not return by reading the thread's stack
// bounds, which allocates: in a signal handler that deadlocks when the signal came in while the
// allocator was locked. The handler's few system calls need no checking.
#define VELMORA_SIGNAL_HANDLER __attribute__((no_sanitize_address))

[[noreturn]] VELMORA_SIGNAL_HANDLER void dieOf(int signalNumber) noexcept
{
    // Die of the same signal, so that whoever waits for the process sees the real cause.
    struct sigaction defaultAction = {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    sigaction(signalNumber, &defaultAction, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signalNumber);
    pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
    raise(signalNumber);
    _exit(128 + signalNumber);
}

VELMORA_SIGNAL_HANDLER void onEndingSignal(int signalNumber)
{
    const int savedErrno = errno; // the handler may return to the interrupted code
    triggered.store(true);
    zeroArmedTargets();

    // A write begun on another thread before the flag was set may land after our 0. A write
    // interrupted on this thread never resumes: the gate stays shut from now on.
    const pid_t writer = writingThread.load();
    if (writer != 0 && writer != gettid()) {
        waitForWriterToLeave(writer);
        zeroArmedTargets();
    }

    if (asksToEnd(signalNumber) && handOverEndRequest(signalNumber)) {
        errno = savedErrno;
        return;
    }
    dieOf(signalNumber);
}

void ensureAltStack()
{
    stack_t current = {};
    if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE))
        return; // the thread has one already
    stack_t own = {};
    own.ss_sp = altStack;
    own.ss_size = AltStackSize;
    ownAltStack = sigaltstack(&own, nullptr) == 0;
}

void dropAltStack()
{
    if (!ownAltStack)
        return;
    stack_t disabled = {};
    disabled.ss_flags = SS_DISABLE;
    sigaltstack(&disabled, nullptr);
    ownAltStack = false;
}

template <typename Visit> void forEachHandledSignal(Visit visit)
{
    for (const int signalNumber : FaultSignals)
        visit(signalNumber, true);
    for (const int signalNumber : EndingSignals)
        visit(signalNumber, false);
    for (int signalNumber = SIGRTMIN; signalNumber <= SIGRTMAX; ++signalNumber)
        visit(signalNumber, false);
}

void replaceAction(int signalNumber, const struct sigaction &action)
{
    if (sigaction(signalNumber, &action, &previousActions[signalNumber]) == 0)
        changed[signalNumber] = true;
}

} // namespace

void installHandlers()
{
    if (installed)
        return;
    ensureAltStack();
    struct sigaction action = {};
    action.sa_handler = onEndingSignal;
    action.sa_flags = SA_ONSTACK;
    // The other handled signals wait while a thread runs the handler.
    sigemptyset(&action.sa_mask);
    forEachHandledSignal([&](int signalNumber, bool) { sigaddset(&action.sa_mask, signalNumber); });
    forEachHandledSignal([&](int signalNumber, bool fault) {
        struct sigaction current = {};
        sigaction(signalNumber, nullptr, &current);
        if (!fault && current.sa_handler != SIG_DFL)
            return;
        replaceAction(signalNumber, action);
    });
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (const int signalNumber : IgnoredSignals)
        replaceAction(signalNumber, ignore);
    installed = true;
}

void removeHandlers()
{
    if (!installed)
        return;
    for (int signalNumber = 1; signalNumber < NSIG; ++signalNumber) {
        if (changed[signalNumber])
            sigaction(signalNumber, &previousActions[signalNumber], nullptr);
        changed[signalNumber] = false;
    }
    dropAltStack();
    installed = false;
}

void arm(ZeroWriter writer, int handle)
{
    const int count = targetCount.load(std::memory_order_acquire);
    for (int i = 0; i < count; ++i) {
        if (targets[i].writer == writer && targets[i].handle == handle)
            return;
    }
    if (count == MaxTargets) {
        qWarning("Port: příliš mnoho registrů pro nouzové vypnutí, registr %d nebude hlídán",
                 handle);
        return;
    }
    targets[count] = {writer, handle};
    targetCount.store(count + 1, std::memory_order_release);
}

void disarm()
{
    targetCount.store(0, std::memory_order_release);
}

void switchAllOff()
{
    zeroArmedTargets();
}

void passEndRequestsTo(int fd)
{
    endRequestFd.store(fd);
}

WriteGate::WriteGate()
{
    // Announce the write before looking at the flag; the handler sets the flag before it looks
    // at the writer. One of the two sees the other.
    writingThread.store(gettid());
    m_open = !triggered.load();
}

WriteGate::~WriteGate()
{
    writingThread.store(0);
}

} // namespace EmergencyOff
