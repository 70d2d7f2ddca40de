#include "portio/emergencyoff.h"

#include <QtGlobal>

#include <array>
#include <atomic>
#include <csignal>
#include <ctime>
#include <unistd.h>

namespace EmergencyOff {

namespace {

constexpr std::array HandledSignals{SIGSEGV, SIGABRT, SIGBUS, SIGFPE,
                                    SIGILL,  SIGTERM, SIGINT, SIGHUP};

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
static_assert(std::atomic<pid_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

std::array<struct sigaction, HandledSignals.size()> previousActions;
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

void onFatalSignal(int signalNumber)
{
    triggered.store(true);
    zeroArmedTargets();

    // A write begun on another thread before the flag was set may land after our 0. A write
    // interrupted on this thread never resumes, since this thread does not return.
    const pid_t writer = writingThread.load();
    if (writer != 0 && writer != gettid()) {
        waitForWriterToLeave(writer);
        zeroArmedTargets();
    }

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

} // namespace

void installHandlers()
{
    if (installed)
        return;
    ensureAltStack();
    struct sigaction action = {};
    action.sa_handler = onFatalSignal;
    action.sa_flags = SA_ONSTACK;
    // The other handled signals wait while this thread runs the handler, which never returns.
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : HandledSignals)
        sigaddset(&action.sa_mask, signalNumber);
    for (size_t i = 0; i < HandledSignals.size(); ++i) {
        sigaction(HandledSignals[i], nullptr, &previousActions[i]);
        // A request to end that the program was started to ignore (nohup) does not end it.
        if (asksToEnd(HandledSignals[i]) && previousActions[i].sa_handler == SIG_IGN)
            continue;
        sigaction(HandledSignals[i], &action, nullptr);
    }
    installed = true;
}

void removeHandlers()
{
    if (!installed)
        return;
    for (size_t i = 0; i < HandledSignals.size(); ++i)
        sigaction(HandledSignals[i], &previousActions[i], nullptr);
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
