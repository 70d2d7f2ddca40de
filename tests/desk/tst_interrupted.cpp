#include "deskfixture.h"

#include "data/query.h"
#include "desk/interruptedruns.h"
#include "desk/runfile.h"
#include "desk/salonschema.h"
#include "fakes/fakesolarsettings.h"
#include "portio/runstamps.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <unistd.h>

Q_DECLARE_METATYPE(InterruptedRun::Ending)

// Runs cut short by a death of the desk, and their booking at the next start.
class TestInterrupted : public QObject
{
    Q_OBJECT

private slots:
    void bookedFromTheRunFile_data();
    void bookedFromTheRunFile();
    void runFileFollowsTheRuns();
    void killedDesksAreBookedOnce_data();
    void killedDesksAreBookedOnce();
    void randomKillsBookEachRunningRunOnce();
};

namespace {

QString runFileOf(const DeskFixture &installation)
{
    return installation.dataDirectory() + "/" + RunFile::FileName;
}

// A desk's next start: what it books.
QList<InterruptedRun> nextStart(DeskFixture &installation)
{
    RecordingDeskReport report;
    Desk desk(report);
    FakeSolarSettings settings;
    if (!desk.database().connectDirectory(installation.dataDirectory()) || !desk.openTables())
        return {};
    return bookInterruptedRuns(desk, runFileOf(installation), settings);
}

qint64 receipts(DeskFixture &installation)
{
    Database database{deskDatabaseSchema()};
    database.connectDirectory(installation.dataDirectory());
    return queryValue(database, "select count(*) from SaleSolars").toLongLong();
}

class Child
{
public:
    explicit Child(DeskFixture &installation, const QString &mode)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VELMORA_PORT_BACKEND", "simulator");
        m_process.setProcessEnvironment(environment);
        m_process.start(QCoreApplication::applicationDirPath() + "/tst_runs_child",
                        {installation.dataDirectory(), mode});
    }
    ~Child()
    {
        m_process.kill();
        m_process.waitForFinished(30000);
    }

    // Waits for a line that starts so; everything told on the way is kept.
    bool waitFor(const QByteArray &start)
    {
        const auto told = [this, &start] {
            return std::any_of(m_told.cbegin(), m_told.cend(),
                               [&start](const QByteArray &line) { return line.startsWith(start); });
        };
        while (!told()) {
            if (!m_process.canReadLine() && !m_process.waitForReadyRead(60000))
                return false;
            while (m_process.canReadLine())
                m_told << m_process.readLine().trimmed();
        }
        return true;
    }
    void kill()
    {
        ::kill(pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished(30000);
        m_told += m_process.readAllStandardOutput().trimmed().split('\n');
    }
    const QList<QByteArray> &told() const { return m_told; }

private:
    QProcess m_process;
    QList<QByteArray> m_told;
};

} // namespace

void TestInterrupted::bookedFromTheRunFile_data()
{
    QTest::addColumn<QByteArray>("trace"); // what the file holds beyond the run of unit 2
    QTest::addColumn<int>("booked");       // seconds; -1: nothing booked
    QTest::addColumn<InterruptedRun::Ending>("ending");
    const QByteArray run = "run\t2\t1000000\t10\t300\t12.5\t10\t4\t900\t";
    QTest::newRow("stop dialog open") << run + "40\t1\tEva\n"
                                      << 40 << InterruptedRun::Ending::Stopped;
    QTest::newRow("watchdog's stamp") << run + "-\t1\tEva\n" + RunStamps::offLine(2, 1025400) << 35
                                      << InterruptedRun::Ending::SwitchedOff;
    QTest::newRow("stamp of an earlier run") << run + "-\t1\tEva\n" + RunStamps::offLine(2, 999000)
                                             << 300 << InterruptedRun::Ending::PaidEnd;
    QTest::newRow("no trace: the paid time") << run + "-\t1\tEva\n"
                                             << 300 << InterruptedRun::Ending::PaidEnd;
    QTest::newRow("never more than paid") << run + "-\t1\tEva\n" + RunStamps::offLine(2, 9000000)
                                          << 300 << InterruptedRun::Ending::SwitchedOff;
    QTest::newRow("died before the bed came on") << run + "-\t1\tEva\ndown\t1000500\n"
                                                 << -1 << InterruptedRun::Ending::PaidEnd;
    QTest::newRow("sold before the death") << QByteArray("run\t2\t1000000\t10\t300\t12.5\t10\t3\t"
                                                         "900\t-\t1\tEva\n")
                                           << -1 << InterruptedRun::Ending::PaidEnd;
}

void TestInterrupted::bookedFromTheRunFile()
{
    QFETCH(QByteArray, trace);
    QFETCH(int, booked);
    QFETCH(InterruptedRun::Ending, ending);
    DeskFixture installation;
    {
        Database database{deskDatabaseSchema()};
        QVERIFY(database.connectDirectory(installation.dataDirectory()));
        QVERIFY(runSql(database, "update Solars set STARTUP = 4, COUNTER = 900 where SOLAR = 2"));
    }
    QFile file(runFileOf(installation));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(trace) == trace.size());
    file.close();
    const QList<InterruptedRun> runs = nextStart(installation);
    QCOMPARE(runs.size(), booked < 0 ? 0 : 1);
    QVERIFY(!QFile::exists(runFileOf(installation)));
    QCOMPARE(receipts(installation), booked < 0 ? 0 : 1);
    if (booked < 0)
        return;
    QCOMPARE(runs.first().sale.seconds, booked);
    QCOMPARE(runs.first().ending, ending);
    QCOMPARE(runs.first().sale.user, QString("Eva"));
    QVERIFY(nextStart(installation).isEmpty()); // once
}

void TestInterrupted::runFileFollowsTheRuns()
{
    RunsFixture desk;
    const QString path = runFileOf(desk.m_installation);
    desk.m_runs.keepRunsIn(path);
    desk.command(3);
    QCOMPARE(RunFile::read(path).size(), 1);
    QCOMPARE(RunFile::read(path).first().paidSeconds, 90);
    desk.countDown(3, 30);
    QList<RunRecord> whileAsked;
    desk.m_questions.m_stopAnswers = {StopAnswer::Continue, StopAnswer::Close};
    desk.m_questions.m_whileStopOpen = [&](const StopFigures &) {
        whileAsked << RunFile::read(path);
    };
    desk.command(3); // stop, then "Pokračovat"
    QCOMPARE(whileAsked.first().stoppedAt, std::optional<int>(30));
    const RunRecord resumed = RunFile::read(path).first();
    QCOMPARE(resumed.usedBefore, 30);
    QVERIFY(!resumed.stoppedAt);
    desk.countDown(3, 10);
    desk.command(3); // stop, "Zavřít": the sale is stored and the run gone
    QVERIFY(RunFile::read(path).isEmpty());
    QCOMPARE(desk.receiptCount(), 1);
}

void TestInterrupted::killedDesksAreBookedOnce_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("killAfter");
    QTest::addColumn<InterruptedRun::Ending>("ending");
    QTest::newRow("during the run")
        << "run" << QByteArray("running") << InterruptedRun::Ending::SwitchedOff;
    QTest::newRow("stop dialog open")
        << "stop-open" << QByteArray("stop open") << InterruptedRun::Ending::Stopped;
    QTest::newRow("inside the sale's commit")
        << "stopping" << QByteArray("stopping") << InterruptedRun::Ending::Stopped;
}

// Real desks killed by SIGKILL: the watchdog switches off and stamps, the next start books the
// run once.
void TestInterrupted::killedDesksAreBookedOnce()
{
    QFETCH(QString, mode);
    QFETCH(QByteArray, killAfter);
    QFETCH(InterruptedRun::Ending, ending);
    DeskFixture installation;
    const bool slowSale = mode == "stopping";
    if (slowSale) {
        Database database{deskDatabaseSchema()};
        QVERIFY(database.connectDirectory(installation.dataDirectory()));
        // The unit's counters are updated inside the sale; this keeps it there for seconds.
        QVERIFY(runSql(database, "create trigger Solars.slow before update on Solars begin select "
                                 "count(*) from Solars a, Solars b, Solars c, Solars d, Solars e, "
                                 "Solars f, Solars g, Solars h, Solars i, Solars j; end"));
    }
    {
        Child child(installation, mode);
        QVERIFY(child.waitFor(killAfter));
        if (mode == "run")
            QTest::qWait(1200); // a second of the run
        if (slowSale)
            QTest::qWait(300); // into the sale's transaction
        child.kill();
    }
    QTRY_COMPARE_WITH_TIMEOUT(installation.portRegister(), quint8(0), 30000);
    if (slowSale) {
        Database database{deskDatabaseSchema()};
        QVERIFY(database.connectDirectory(installation.dataDirectory()));
        QVERIFY(runSql(database, "drop trigger Solars.slow"));
    }
    const QList<InterruptedRun> booked = nextStart(installation);
    QCOMPARE(booked.size(), 1);
    QCOMPARE(booked.first().ending, ending);
    QVERIFY2(booked.first().sale.seconds >= 1 && booked.first().sale.seconds < 90,
             qPrintable(QString::number(booked.first().sale.seconds)));
    QCOMPARE(receipts(installation), 1);
    QVERIFY(nextStart(installation).isEmpty());
}

// Killed at random moments: the runs booked at the next start are those that were running,
// none twice.
void TestInterrupted::randomKillsBookEachRunningRunOnce()
{
    DeskFixture installation;
    QRandomGenerator random(20261211);
    qint64 before = 0;
    qint64 wereRunningInAll = 0, bookedInAll = 0;
    for (int kill = 0; kill < 100; ++kill) {
        QList<int> running;
        int sold = 0;
        {
            Child child(installation, "loop");
            QVERIFY(child.waitFor("started")); // however slow the machine, a run has begun
            ::usleep(random.bounded(300000));
            child.kill();
            for (const QByteArray &line : child.told()) {
                const int unit = line.mid(line.indexOf(' ') + 1).toInt();
                if (line.startsWith("started"))
                    running << unit;
                else if (line.startsWith("sold") && running.removeOne(unit))
                    ++sold;
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(installation.portRegister(), quint8(0), 30000);
        const QList<InterruptedRun> booked = nextStart(installation);
        QVERIFY(!QFile::exists(runFileOf(installation)));
        QList<int> bookedUnits;
        for (const InterruptedRun &run : booked)
            bookedUnits << run.sale.unit;
        std::sort(running.begin(), running.end());
        std::sort(bookedUnits.begin(), bookedUnits.end());
        // A sale committed but not yet told, or a start switched on but not yet told, is the
        // one the kill met: at most one unit differs, and none is booked twice.
        const QSet<int> wereRunning(running.begin(), running.end());
        const QSet<int> wereBooked(bookedUnits.begin(), bookedUnits.end());
        QVERIFY2((wereRunning - wereBooked).size() + (wereBooked - wereRunning).size() <= 1 &&
                     wereBooked.size() == bookedUnits.size(),
                 qPrintable(QString("kill %1: running %2, booked %3")
                                .arg(kill)
                                .arg(running.size())
                                .arg(bookedUnits.size())));
        wereRunningInAll += running.size();
        bookedInAll += bookedUnits.size();
        const qint64 after = receipts(installation);
        QVERIFY(after - before >= sold + bookedUnits.size() &&
                after - before <= sold + bookedUnits.size() + 1);
        before = after;
    }
    qInfo("100 kills: %lld runs told running, %lld booked", wereRunningInAll, bookedInAll);
}

QTEST_GUILESS_MAIN(TestInterrupted)
#include "tst_interrupted.moc"
