#include "portio/simulatorfiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace {

QByteArray signalName(int number)
{
    return "SIG" + QByteArray(sigabbrev_np(number));
}

} // namespace

// A running desk (units 1 and 3 on, unit 2 in its stop dialog) ended by signals.
class TestDeskEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void requestedEndRecordsRuns_data();
    void requestedEndRecordsRuns();
    void otherSignalEndsAtOnce_data();
    void otherSignalEndsAtOnce();
    void logoutsTwoRequestsAreOne();
    void secondRequestEndsAtOnce();
    void frozenEndEndsByAlarm();

private:
    void startDesk(const QString &mode);
    void waitForDeath(int signal);

    std::unique_ptr<QTemporaryDir> m_board;
    std::unique_ptr<QProcess> m_desk;
};

void TestDeskEnd::init()
{
    m_board = std::make_unique<QTemporaryDir>();
    qputenv("VELMORA_PORT_SIM_DIR", m_board->path().toLocal8Bit());
    m_desk = std::make_unique<QProcess>();
}

void TestDeskEnd::startDesk(const QString &mode)
{
    m_desk->start(DESK_END_CHILD, {mode, m_board->path()});
    QVERIFY(m_desk->waitForStarted());
    QByteArray line;
    while (!line.startsWith("ready") && m_desk->waitForReadyRead(30000))
        line = m_desk->readLine().trimmed();
    QCOMPARE(line, QByteArray("ready 5"));
}

void TestDeskEnd::waitForDeath(int signal)
{
    QVERIFY(m_desk->waitForFinished(30000));
    QCOMPARE(m_desk->exitStatus(), QProcess::CrashExit);
    QCOMPARE(m_desk->exitCode(), signal);
    QCOMPARE(readSimulatedRegister(0x378), std::optional<quint8>(0));
}

void TestDeskEnd::requestedEndRecordsRuns_data()
{
    QTest::addColumn<int>("signal");
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        QTest::newRow(signalName(number)) << number;
}

void TestDeskEnd::requestedEndRecordsRuns()
{
    QFETCH(int, signal);
    startDesk("loop");
    QCOMPARE(::kill(m_desk->processId(), signal), 0);
    QVERIFY(m_desk->waitForFinished(30000));
    QCOMPARE(m_desk->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_desk->exitCode(), 128 + signal);
    QCOMPARE(readSimulatedRegister(0x378), std::optional<quint8>(0));
    // Each run as "Zavřít" records it, the one in the open stop dialog once the dialog is gone.
    const QList<QByteArray> told = m_desk->readAllStandardOutput().trimmed().split('\n');
    QCOMPARE(told, QList<QByteArray>({"sale 1 1 30", "sale 3 1 5", "sale 2 1 10",
                                      "log 9.12.2026 9:05:00 Ukončení programu signálem " +
                                          signalName(signal) + ": [Administrator]"}));
}

void TestDeskEnd::otherSignalEndsAtOnce_data()
{
    QTest::addColumn<int>("signal");
    for (const int number :
         {SIGQUIT, SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGALRM, SIGUSR1,
          SIGUSR2, SIGIO, SIGPROF, SIGVTALRM, SIGXCPU, SIGPWR, SIGSTKFLT})
        QTest::newRow(signalName(number)) << number;
    QTest::newRow("SIGRTMIN") << int(SIGRTMIN);
    QTest::newRow("SIGRTMAX") << int(SIGRTMAX);
}

void TestDeskEnd::otherSignalEndsAtOnce()
{
    QFETCH(int, signal);
    startDesk("loop");
    QCOMPARE(::kill(m_desk->processId(), signal), 0);
    waitForDeath(signal);
}

// A logout's SIGHUP and SIGTERM milliseconds apart are one request: the runs are booked.
void TestDeskEnd::logoutsTwoRequestsAreOne()
{
    startDesk("loop");
    QCOMPARE(::kill(m_desk->processId(), SIGHUP), 0);
    ::usleep(5000);
    QCOMPARE(::kill(m_desk->processId(), SIGTERM), 0);
    QVERIFY(m_desk->waitForFinished(30000));
    QCOMPARE(m_desk->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_desk->exitCode(), 128 + SIGHUP);
    const QList<QByteArray> told = m_desk->readAllStandardOutput().trimmed().split('\n');
    QCOMPARE(told.mid(0, 3), QList<QByteArray>({"sale 1 1 30", "sale 3 1 5", "sale 2 1 10"}));
}

void TestDeskEnd::secondRequestEndsAtOnce()
{
    startDesk("frozen");
    QCOMPARE(::kill(m_desk->processId(), SIGTERM), 0);
    // The handler has begun once the register is 0; the second request meets it or follows it.
    QTRY_COMPARE_WITH_TIMEOUT(readSimulatedRegister(0x378), std::optional<quint8>(0), 30000);
    QTest::qWait(2100); // no longer the same request
    QCOMPARE(::kill(m_desk->processId(), SIGINT), 0);
    QVERIFY(m_desk->waitForFinished(30000));
    QCOMPARE(m_desk->exitStatus(), QProcess::CrashExit);
    // Handled on two threads at once, either request may be the second; neither waits for the
    // alarm.
    QVERIFY2(m_desk->exitCode() == SIGINT || m_desk->exitCode() == SIGTERM,
             qPrintable(signalName(m_desk->exitCode())));
}

void TestDeskEnd::frozenEndEndsByAlarm()
{
    startDesk("frozen");
    QCOMPARE(::kill(m_desk->processId(), SIGTERM), 0);
    waitForDeath(SIGALRM);
}

QTEST_GUILESS_MAIN(TestDeskEnd)
#include "tst_deskend.moc"
