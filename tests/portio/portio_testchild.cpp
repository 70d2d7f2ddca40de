// A program that switches units on through the simulated port and then dies in the way its
// argument names, so that the test can look at the register afterwards. The back end comes
// from the environment, as in the real program; only the modes "watched", "kept" and "paid-MS"
// start the watchdog, so that the others show the signal handler's own work. "kept" and
// "paid-MS" run an event loop that keeps the watchdog, as the desk does.

#include "core/textfile.h"
#include "portio/portaccess.h"
#include "portio/portbackendchoice.h"
#include "portio/watchdogkeeper.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr quint32 Port = 0x378;
constexpr quint32 UnitsOn = 0xA5;

void reportReady()
{
    std::printf("ready %x\n", ReadPort(Port, 0));
    std::fflush(stdout);
}

[[noreturn]] void waitForSignal()
{
    for (;;)
        pause();
}

volatile int depthLimit = INT_MAX;

int recurse(int depth)
{
    volatile char frame[1024];
    frame[0] = char(depth);
    if (depth >= depthLimit)
        return frame[0];
    return recurse(depth + 1) + frame[0];
}

void touchBeyondEndOfFile()
{
    char path[] = "/tmp/portio-bus-XXXXXX";
    const int fd = mkstemp(path);
    unlink(path);
    auto *mapped = static_cast<volatile char *>(
        mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0)); // the file is empty
    std::printf("%d\n", mapped[0]);
}

// Keeps writing from a second thread that never takes the signal, so that the signal meets a
// write in progress on another thread.
void writeWithoutPause()
{
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    for (;;)
        WritePort(Port, 0, 0xFF);
}

bool dropRawIo()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    const unsigned bit = 1u << (CAP_SYS_RAWIO % 32);
    data[CAP_SYS_RAWIO / 32].effective &= ~bit;
    data[CAP_SYS_RAWIO / 32].permitted &= ~bit;
    return syscall(SYS_capset, &header, data) == 0;
}

// Past a file-size limit the write fails instead of the program ending.
void writeBeyondSizeLimit()
{
    const rlimit limit{16, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
    char folder[] = "/tmp/portio-limit-XXXXXX";
    const QString path = QString::fromLocal8Bit(mkdtemp(folder)) + QStringLiteral("/big");
    const FileResult result = writeFileAtomically(path, QByteArray(4096, 'x'));
    QDir(QString::fromLocal8Bit(folder)).removeRecursively();
    std::printf("write %d %x\n", result.errorCode, ReadPort(Port, 0));
    std::fflush(stdout);
}

// Unit 1 runs, paid for the given milliseconds, while the desk's event loop beats; the watchdog
// that replaces a killed one is reported.
int keepWatchdog(int argc, char *argv[], qint64 paidMs)
{
    QCoreApplication app(argc, argv);
    initializePortAccess();
    WatchdogKeeper keeper(portWatchdog());
    QObject::connect(&keeper, &WatchdogKeeper::watchdogReplaced, &app, [] {
        std::printf("replaced\n");
        std::fflush(stdout);
    });
    WritePort(Port, 0, 0x01);
    if (paidMs > 0)
        announcePaidRun(1, paidMs);
    reportReady();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    const QByteArray mode = argv[1];
    if (mode == "kept")
        return keepWatchdog(argc, argv, 0);
    if (mode.startsWith("paid-"))
        return keepWatchdog(argc, argv, mode.mid(5).toLongLong());
    prctl(PR_SET_DUMPABLE, 0); // no core files from the deliberate crashes

    if (mode == "direct-without-rawio") {
        if (!dropRawIo())
            return 3;
        const PortAccessSession session;
        std::printf("%s %x\n", DriverStarted() ? "started" : "refused", ReadPort(Port, 0));
        return 0;
    }

    if (mode == "nohup")
        signal(SIGHUP, SIG_IGN);
    if (mode.startsWith("watched"))
        initializePortAccess();
    else
        initializePortAccess(createPortBackend(chosenPortBackend()));
    WritePort(Port, 0, UnitsOn);

    if (mode == "busy") {
        std::thread writer(writeWithoutPause);
        writer.detach();
        while (ReadPort(Port, 0) != 0xFF)
            sched_yield();
        reportReady();
        waitForSignal();
    }

    reportReady();
    if (mode == "watched-end") {
        shutdownPortAccess(); // a normal end
        // The next desk switches a unit on while the watchdog, our only child, finishes.
        initializePortAccess(createPortBackend(chosenPortBackend()));
        WritePort(Port, 0, 0x81);
        const bool watched = wait(nullptr) > 0;
        std::printf("%s %x\n", watched ? "watchdog gone" : "no watchdog", ReadPort(Port, 0));
        return 0;
    }
    if (mode == "wait" || mode == "watched") {
        waitForSignal();
    } else if (mode == "limit") {
        writeBeyondSizeLimit();
        waitForSignal();
    } else if (mode == "nohup" || mode == "answer") {
        // Answers once the test has sent its signal and a line, then waits to be ended.
        char line[16];
        if (std::fgets(line, sizeof line, stdin))
            std::printf("alive %x\n", ReadPort(Port, 0));
        std::fflush(stdout);
        waitForSignal();
    } else if (mode == "segv") {
        volatile int *volatile nowhere = nullptr;
        *nowhere = 1;
    } else if (mode == "stack") {
        return recurse(0);
    } else if (mode == "abort") {
        std::abort();
    } else if (mode == "fpe") {
        volatile int dividend = 7;
        volatile int zero = 0;
        return dividend / zero;
    } else if (mode == "ill") {
        __builtin_trap();
    } else if (mode == "bus") {
        touchBeyondEndOfFile();
    }
    return 4; // still alive: the test fails on the exit status
}
