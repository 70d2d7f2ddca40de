#include "portio/simulatorfiles.h"
#include "portio/watchdogwire.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>

// Runs the child program with the simulated port in a fresh folder.
class ChildRun
{
public:
    explicit ChildRun(const QString &backend)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VELMORA_PORT_BACKEND", backend);
        environment.insert("VELMORA_PORT_SIM_DIR", m_dir.path());
        m_process.setProcessEnvironment(environment);
        qputenv("VELMORA_PORT_SIM_DIR", m_dir.path().toLocal8Bit());
    }

    QProcess &process() { return m_process; }

    void start(const QString &mode) { m_process.start(PORTIO_TEST_CHILD, {mode}); }

    QByteArray readLine()
    {
        while (!m_process.canReadLine() && m_process.waitForReadyRead(30000)) {
        }
        return m_process.readLine().trimmed();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

class TestPortIoChild : public QObject
{
    Q_OBJECT

private slots:
    void deathSwitchesUnitsOff_data();
    void deathSwitchesUnitsOff();
    void ignoredSignalLeavesUnitsOn_data();
    void ignoredSignalLeavesUnitsOn();
    void writePastSizeLimitFails();
    void watchdogSwitchesOffAfterKill();
    void watchdogLeavesNormalEndAlone();
    void killedWatchdogIsReplaced();
    void hungDeskIsCutAtItsPaidEnd_data();
    void hungDeskIsCutAtItsPaidEnd();
    void directAccessNeedsRawIo();
};

void TestPortIoChild::deathSwitchesUnitsOff_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("killedFromOutside");
    QTest::addColumn<QByteArray>("registerBefore");

    // Every signal whose default action ends the process, but SIGKILL (the watchdog's case) and
    // SIGPIPE and SIGXFSZ (ignored).
    QList<int> ending{SIGTERM, SIGINT,  SIGHUP,    SIGQUIT, SIGSEGV, SIGABRT,  SIGBUS,
                      SIGFPE,  SIGILL,  SIGTRAP,   SIGSYS,  SIGALRM, SIGUSR1,  SIGUSR2,
                      SIGIO,   SIGPROF, SIGVTALRM, SIGXCPU, SIGPWR,  SIGSTKFLT};
    for (int number = SIGRTMIN; number <= SIGRTMAX; ++number)
        ending.append(number);
    for (const int number : std::as_const(ending)) {
        const QByteArray name = number >= SIGRTMIN
                                    ? "SIGRTMIN+" + QByteArray::number(number - SIGRTMIN)
                                    : "SIG" + QByteArray(sigabbrev_np(number));
        QTest::addRow("killed with %s", name.constData())
            << "wait" << number << true << QByteArray("a5");
    }

    QTest::newRow("null pointer") << "segv" << SIGSEGV << false << QByteArray("a5");
    QTest::newRow("stack overflow") << "stack" << SIGSEGV << false << QByteArray("a5");
    QTest::newRow("abort") << "abort" << SIGABRT << false << QByteArray("a5");
    QTest::newRow("division by zero") << "fpe" << SIGFPE << false << QByteArray("a5");
    QTest::newRow("illegal instruction") << "ill" << SIGILL << false << QByteArray("a5");
    QTest::newRow("mapping beyond the file") << "bus" << SIGBUS << false << QByteArray("a5");
    QTest::newRow("SIGTERM during writes") << "busy" << SIGTERM << true << QByteArray("ff");
    QTest::newRow("SIGINT during writes") << "busy" << SIGINT << true << QByteArray("ff");
}

void TestPortIoChild::deathSwitchesUnitsOff()
{
    QFETCH(QString, mode);
    QFETCH(int, signal);
    QFETCH(bool, killedFromOutside);
    QFETCH(QByteArray, registerBefore);

    ChildRun child("simulator");
    child.start(mode);
    QCOMPARE(child.readLine(), "ready " + registerBefore);
    if (killedFromOutside)
        QCOMPARE(::kill(child.process().processId(), signal), 0);
    QVERIFY(child.process().waitForFinished(30000));

    QCOMPARE(child.process().exitStatus(), QProcess::CrashExit);
    QCOMPARE(child.process().exitCode(), signal); // it still dies of the same signal
    QCOMPARE(readSimulatedRegister(0x378), std::optional<quint8>(0));
}

void TestPortIoChild::ignoredSignalLeavesUnitsOn_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGHUP under nohup") << "nohup" << SIGHUP;
    QTest::newRow("SIGPIPE") << "answer" << SIGPIPE;
    QTest::newRow("SIGXFSZ") << "answer" << SIGXFSZ;
}

void TestPortIoChild::ignoredSignalLeavesUnitsOn()
{
    QFETCH(QString, mode);
    QFETCH(int, signal);
    ChildRun child("simulator");
    child.start(mode);
    QCOMPARE(child.readLine(), QByteArray("ready a5"));
    QCOMPARE(::kill(child.process().processId(), signal), 0);
    // The signal is delivered before the child returns from reading this line.
    child.process().write("ping\n");
    QCOMPARE(child.readLine(), QByteArray("alive a5"));

    QCOMPARE(::kill(child.process().processId(), SIGTERM), 0);
    QVERIFY(child.process().waitForFinished(30000));
    QCOMPARE(child.process().exitCode(), SIGTERM);
    QCOMPARE(readSimulatedRegister(0x378), std::optional<quint8>(0));
}

void TestPortIoChild::writePastSizeLimitFails()
{
    ChildRun child("simulator");
    child.start("limit");
    QCOMPARE(child.readLine(), QByteArray("ready a5"));
    QCOMPARE(child.readLine(), "write " + QByteArray::number(EFBIG) + " a5");
    QCOMPARE(::kill(child.process().processId(), SIGTERM), 0);
    QVERIFY(child.process().waitForFinished(30000));
    QCOMPARE(readSimulatedRegister(0x378), std::optional<quint8>(0));
}

void TestPortIoChild::watchdogSwitchesOffAfterKill()
{
    ChildRun child("simulator");
    child.start("watched");
    QCOMPARE(child.readLine(), QByteArray("ready a5"));
    QCOMPARE(::kill(child.process().processId(), SIGKILL), 0);
    QVERIFY(child.process().waitForFinished(30000));
    QTRY_COMPARE_WITH_TIMEOUT(readSimulatedRegister(0x378), std::optional<quint8>(0), 1000);
}

void TestPortIoChild::watchdogLeavesNormalEndAlone()
{
    ChildRun child("simulator");
    child.start("watched-end");
    QCOMPARE(child.readLine(), QByteArray("ready a5"));
    QCOMPARE(child.readLine(), QByteArray("watchdog gone 81"));
    QVERIFY(child.process().waitForFinished(30000));
}

namespace {

// The child's own children, as the kernel lists them: its watchdog.
QList<pid_t> childrenOf(qint64 pid)
{
    QFile list(QString("/proc/%1/task/%1/children").arg(pid));
    QList<pid_t> children;
    if (list.open(QIODevice::ReadOnly)) {
        for (const QByteArray &word : list.readAll().split(' '))
            if (!word.trimmed().isEmpty())
                children << pid_t(word.trimmed().toInt());
    }
    return children;
}

} // namespace

void TestPortIoChild::killedWatchdogIsReplaced()
{
    ChildRun child("simulator");
    child.start("kept");
    QCOMPARE(child.readLine(), QByteArray("ready 1"));
    const QList<pid_t> watchdogs = childrenOf(child.process().processId());
    QCOMPARE(watchdogs.size(), 1);
    QCOMPARE(::kill(watchdogs.first(), SIGKILL), 0);
    QCOMPARE(child.readLine(), QByteArray("replaced"));
    QCOMPARE(readSimulatedRegister(0x378), std::optional<quint8>(1)); // nothing switched
    // The new watchdog knows the register: the desk's death still leaves it off.
    QCOMPARE(::kill(child.process().processId(), SIGKILL), 0);
    QVERIFY(child.process().waitForFinished(30000));
    QTRY_COMPARE_WITH_TIMEOUT(readSimulatedRegister(0x378), std::optional<quint8>(0), 10000);
}

void TestPortIoChild::hungDeskIsCutAtItsPaidEnd_data()
{
    QTest::addColumn<int>("paidMs");
    QTest::newRow("paid 5 s") << 5000;
    QTest::newRow("paid 60 s") << 60000;
}

// A stopped desk beats no more: its watchdog switches off what runs past its paid end, and
// nothing that is still paid for.
void TestPortIoChild::hungDeskIsCutAtItsPaidEnd()
{
    QFETCH(int, paidMs);
    QTemporaryDir config;
    qputenv("VELMORA_CONFIG_DIR", config.path().toLocal8Bit());
    ChildRun child("simulator");
    QElapsedTimer started; // before the child announces its run
    started.start();
    child.start("paid-" + QString::number(paidMs));
    QCOMPARE(child.readLine(), QByteArray("ready 1"));
    const qint64 pid = child.process().processId();
    QCOMPARE(::kill(pid_t(pid), SIGSTOP), 0);
    if (paidMs > 20000) {
        // Past the silence and the overrun a short run would have, it is still paid for.
        QTest::qWait(int(WatchdogWire::SilenceMs + WatchdogWire::OverrunMs + 2000));
        QCOMPARE(readSimulatedRegister(0x378), std::optional<quint8>(1));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(readSimulatedRegister(0x378), std::optional<quint8>(0), 60000);
        // Never before the paid end and its overrun, whatever the machine's speed.
        QVERIFY(started.elapsed() >= paidMs + WatchdogWire::OverrunMs);
        qInfo("unit off %lld ms after the start", started.elapsed());
        QFile notes(config.filePath("Velmora.hang"));
        QVERIFY(notes.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(notes.readAll()).contains("solárko [1]"));
    }
    ::kill(pid_t(pid), SIGKILL);
    ::kill(pid_t(pid), SIGCONT);
    QVERIFY(child.process().waitForFinished(30000));
    qunsetenv("VELMORA_CONFIG_DIR");
}

void TestPortIoChild::directAccessNeedsRawIo()
{
    ChildRun child("direct");
    child.start("direct-without-rawio");
    QVERIFY(child.process().waitForFinished(30000));
    QCOMPARE(child.process().exitCode(), 0);
    QCOMPARE(child.readLine(), QByteArray("refused ff"));
}

QTEST_GUILESS_MAIN(TestPortIoChild)
#include "tst_portiochild.moc"
