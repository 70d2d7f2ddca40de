#include "reports/engine/pagestore.h"
#include "reports/printmonitor.h"
#include "reports/reportprinting.h"
#include "ui/common/messagedialogs.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// A CUPS program on the PATH or where the distribution keeps the daemon's.
QString cupsTool(const QString &name)
{
    const QString onPath = QStandardPaths::findExecutable(name);
    return onPath.isEmpty() ? QStandardPaths::findExecutable(name, {"/usr/sbin"}) : onPath;
}

// Its newest job is 7; one letter of the script a look (the last one repeats), in the order of
// PrintQueue::JobState: P pending, H held, R processing, X cancelled, A aborted, C completed; S
// pending in a stopped queue.
struct ScriptedQueue : PrintQueue
{
    std::optional<QueueStatus> queueStatus(const QString &) override { return status; }
    std::optional<int> newestJob(const QString &) override { return 7; }
    std::optional<JobStatus> jobStatus(int) override
    {
        const char letter = script.at(std::min(looks++, int(script.size()) - 1));
        status.stopped = letter == 'S';
        return JobStatus{JobState(std::max(0, int(QByteArray("PHR-XAC").indexOf(letter)))), {}};
    }

    QByteArray script;
    QueueStatus status;
    int looks = 0;
};

// A CUPS server of the test's own in a temporary folder, on a free port of localhost. Its own
// back end fails every job as a jammed printer would.
class PrivateCupsd
{
public:
    ~PrivateCupsd()
    {
        m_cupsd.terminate();
        m_cupsd.waitForFinished();
    }

    QString server() const { return QString("localhost:%1").arg(m_port); }

    bool start()
    {
        const QString base = m_dir.path();
        const auto everyone = QFile::Permissions(0x7555); // back ends run as the User below
        QFile::setPermissions(base, everyone);
        for (const char *folder : {"bin/backend", "spool/temp", "log", "cache", "state"})
            QDir(base).mkpath(folder);
        QFile::link("/usr/lib/cups/daemon", base + "/bin/daemon"); // cups-exec starts back ends
        write("bin/backend/velmorafail",
              "#!/bin/sh\n[ $# -eq 0 ] && exit 0\necho 'ERROR: Papír se zasekl' >&2\nexit 1\n");
        QFile::setPermissions(base + "/bin/backend/velmorafail", everyone);
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        m_port = probe.serverPort();
        probe.close();
        write("cupsd.conf", "Listen " + server() +
                                "\nBrowsing Off\nDefaultAuthType None\n<Policy default>\n"
                                "<Limit All>\nOrder allow,deny\nAllow all\n</Limit>\n</Policy>\n");
        write(
            "cups-files.conf",
            QString("FileDevice Yes\nUser %1\nServerRoot %2\nServerBin %2/bin\nStateDir %2/state\n"
                    "CacheDir %2/cache\nRequestRoot %2/spool\nTempDir %2/spool/temp\n"
                    "ErrorLog %2/log/error_log\nAccessLog %2/log/access_log\n"
                    "PageLog %2/log/page_log\n")
                .arg(geteuid() == 0 ? "lp" : qEnvironmentVariable("USER"), base));
        m_cupsd.start(cupsTool("cupsd"),
                      {"-f", "-c", base + "/cupsd.conf", "-s", base + "/cups-files.conf"});
        for (int attempt = 0; attempt < 600 && m_cupsd.state() != QProcess::NotRunning; ++attempt) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(100))
                return true;
            QTest::qWait(50);
        }
        return false;
    }

    bool run(const QStringList &command) const
    {
        return QProcess::execute(cupsTool(command.first()),
                                 QStringList{"-h", server()} + command.mid(1)) == 0;
    }

private:
    void write(const QString &name, const QString &text) const
    {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0);
    }

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    quint16 m_port = 0;
};

} // namespace

class TestPrintQueue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { m_cupsd.reset(); }
    void init() { MessageDialogsTestHook::engage(); }
    void cleanup() { MessageDialogsTestHook::release(); }
    void followsTheJob_data();
    void followsTheJob();
    void realQueue_data();
    void realQueue();

private:
    // The failure's warning and log line, or none.
    void compareFailure(const QString &queue, const QString &reason);

    std::unique_ptr<PrivateCupsd> m_cupsd;
    QStringList m_log;
};

void TestPrintQueue::initTestCase()
{
    if (cupsTool("cupsd").isEmpty())
        return;
    m_cupsd = std::make_unique<PrivateCupsd>();
    QVERIFY2(m_cupsd->start(), "the private cupsd did not start");
    // Qt and the program ask the server that CUPS_SERVER names, never the machine's own.
    qputenv("CUPS_SERVER", m_cupsd->server().toUtf8());
}

void TestPrintQueue::compareFailure(const QString &queue, const QString &reason)
{
    QStringList shown, logged;
    for (const auto &message : MessageDialogsTestHook::takeMessages())
        shown << message.text << message.detail;
    if (!reason.isEmpty())
        logged << QString("Tisk [000000123]: CHYBA [%1] [%2]").arg(queue, reason);
    QCOMPARE(shown,
             reason.isEmpty() ? QStringList() : QStringList({"Tisk se nezdařil...", reason}));
    QCOMPARE(std::exchange(m_log, {}), logged);
}

void TestPrintQueue::followsTheJob_data()
{
    QTest::addColumn<QByteArray>("script"); // empty: the job never reached the queue
    QTest::addColumn<int>("looks");
    QTest::addColumn<QString>("reason");
    QTest::newRow("printed") << QByteArray("PRC") << 3 << "";
    QTest::newRow("still printing") << QByteArray("PR") << 4 << "";
    QTest::newRow("cancelled") << QByteArray("RX") << 2 << "Tisková úloha byla zrušena...";
    QTest::newRow("queue stopped") << QByteArray("PPS") << 3 << "Tiskárna Fronta je zastavena...";
    QTest::newRow("not taken") << QByteArray() << 0 << "Tiskárna Fronta úlohu nepřijala...";
}

void TestPrintQueue::followsTheJob()
{
    QFETCH(QByteArray, script);
    QFETCH(int, looks);
    QFETCH(QString, reason);
    auto queue = std::make_unique<ScriptedQueue>();
    queue->script = script;
    const ScriptedQueue &scripted = *queue;
    PrintMonitor monitor(std::move(queue), [this](const QString &line) { m_log << line; }, {4, 0});
    QSignalSpy followed(&monitor, &PrintMonitor::jobFollowed);
    QCOMPARE(monitor.follow("000000123", "Fronta", script.isEmpty() ? 7 : 6), !script.isEmpty());
    QTRY_COMPARE(followed.size(), script.isEmpty() ? 0 : 1);
    QCOMPARE(scripted.looks, looks);
    compareFailure("Fronta", reason);
}

void TestPrintQueue::realQueue_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QStringList>("device"); // and the queue's options
    QTest::addColumn<QStringList>("then");   // a CUPS tool run on the queue once it is made
    QTest::addColumn<bool>("handedOver");
    QTest::addColumn<QString>("reason");
    const QStringList none;
    QTest::newRow("accepting") << "VelmoraAccepting" << QStringList{"file:/dev/null"} << none
                               << true << "";
    QTest::newRow("rejecting") << "VelmoraRejecting" << QStringList{"file:/dev/null"}
                               << QStringList{"cupsreject", "-r", "Došel papír"} << false
                               << "Došel papír";
    QTest::newRow("disabled") << "VelmoraDisabled" << QStringList{"file:/dev/null"}
                              << QStringList{"cupsdisable", "-r", "Víko otevřeno"} << false
                              << "Víko otevřeno";
    // The job fails: aborted, the queue stopped, the job held for a later try.
    for (const QString policy : {"abort-job", "stop-printer", "retry-job"}) {
        QTest::addRow("failing, %s", qPrintable(policy))
            << "VelmoraFailing" + policy.section('-', 0, 0)
            << QStringList{"velmorafail:/", "-o", "printer-error-policy=" + policy} << none << true
            << "Papír se zasekl";
    }
}

void TestPrintQueue::realQueue()
{
    QFETCH(QString, queue);
    QFETCH(QStringList, device);
    QFETCH(QStringList, then);
    QFETCH(bool, handedOver);
    QFETCH(QString, reason);
    if (!m_cupsd)
        QSKIP("cupsd is not installed (package cups): no real print queue to try");
    QVERIFY(m_cupsd->run(QStringList{"lpadmin", "-p", queue, "-E", "-v"} + device));
    QVERIFY(then.isEmpty() || m_cupsd->run(then << queue));
    qputenv("LPDEST", queue.toUtf8()); // the default printer
    PrintMonitor monitor(systemPrintQueue(), [this](const QString &line) { m_log << line; },
                         {600, 100});
    PrintMonitor::install(&monitor);
    QSignalSpy followed(&monitor, &PrintMonitor::jobFollowed);
    const PageStore receipt{
        "000000123",
        QSize(14800, 21000),
        {ReportPage{{TextItem{QRect(1000, 1000, 5000, 500), {}, {}, "Pokladní doklad"}}}}};
    QCOMPARE(ReportPrinting::printOnDefaultPrinter(receipt), handedOver);
    if (handedOver) {
        QTRY_COMPARE_WITH_TIMEOUT(followed.size(), 1, 90000);
        const auto job = systemPrintQueue()->jobStatus(followed.first().at(0).toInt());
        QVERIFY(job && (job->state == PrintQueue::JobState::Completed) == reason.isEmpty());
    }
    compareFailure(queue, reason);
}

QTEST_MAIN(TestPrintQueue)
#include "tst_printqueue.moc"
