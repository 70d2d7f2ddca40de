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

// Answers as a queue would, one letter of the script a look (the last one repeats): P pending,
// R processing, C completed, A aborted, X cancelled, H held, S pending in a stopped queue.
struct ScriptedQueue : PrintQueue
{
    std::optional<QueueStatus> queueStatus(const QString &) override { return status; }
    std::optional<int> newestJob(const QString &) override { return 7; }
    std::optional<JobStatus> jobStatus(int) override
    {
        const char letter = script.at(std::min(looks++, int(script.size()) - 1));
        status = QueueStatus{true, letter == 'S', letter == 'S' ? message : QString()};
        static const QMap<char, JobState> states{
            {'P', JobState::Pending}, {'R', JobState::Processing}, {'C', JobState::Completed},
            {'A', JobState::Aborted}, {'X', JobState::Canceled},   {'H', JobState::Held},
            {'S', JobState::Pending}};
        return JobStatus{states.value(letter), letter == 'A' ? message : QString()};
    }

    QByteArray script;
    QString message;
    std::optional<QueueStatus> status = QueueStatus{};
    int looks = 0;
};

QStringList shownWarnings()
{
    QStringList shown;
    for (const auto &message : MessageDialogsTestHook::takeMessages())
        shown << message.text << message.detail;
    return shown;
}

QStringList failure(const QString &reason)
{
    return reason.isEmpty() ? QStringList{} : QStringList{"Tisk se nezdařil...", reason};
}

// A CUPS server of the test's own in a temporary folder, on a free port of localhost; its queues
// are made with the CUPS tools. A back end of its own fails every job as a jammed printer would.
class PrivateCupsd
{
public:
    ~PrivateCupsd()
    {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(30000))
            m_cupsd.kill();
    }

    QString server() const { return QString("localhost:%1").arg(m_port); }

    bool start()
    {
        const QString base = m_dir.path();
        // The back ends run as the user named below, who must reach them.
        const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                            QFile::ExeOther;
        QFile::setPermissions(base, everyone);
        for (const char *folder : {"bin/backend", "spool/temp", "log", "cache", "state"})
            QDir(base).mkpath(folder);
        // The distribution's cups-exec starts every back end.
        QFile::link("/usr/lib/cups/daemon", base + "/bin/daemon");
        write("bin/backend/velmorafail", "#!/bin/sh\n[ $# -eq 0 ] && exit 0\n"
                                         "echo 'ERROR: Papír se zasekl' >&2\nexit 1\n");
        QFile::setPermissions(base + "/bin/backend/velmorafail", everyone);
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        m_port = probe.serverPort();
        probe.close();
        const QString user = geteuid() == 0 ? "lp" : qEnvironmentVariable("USER");
        write("cupsd.conf", QString("Listen %1\nBrowsing Off\nDefaultAuthType None\n"
                                    "<Policy default>\n<Limit All>\nOrder allow,deny\nAllow all\n"
                                    "</Limit>\n</Policy>\n")
                                .arg(server()));
        write(
            "cups-files.conf",
            QString("FileDevice Yes\nUser %1\nServerRoot %2\nServerBin %2/bin\nStateDir %2/state\n"
                    "CacheDir %2/cache\nRequestRoot %2/spool\nTempDir %2/spool/temp\n"
                    "AccessLog %2/log/access_log\nErrorLog %2/log/error_log\n"
                    "PageLog %2/log/page_log\n")
                .arg(user, base));
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

    bool run(const QString &tool, const QStringList &arguments) const
    {
        return QProcess::execute(cupsTool(tool), QStringList{"-h", server()} + arguments) == 0;
    }

    QString errorLog() const
    {
        QFile log(m_dir.filePath("log/error_log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll().right(2000)) : "";
    }

private:
    void write(const QString &name, const QString &text) const
    {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
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
    void refusal_data();
    void refusal();
    void followsTheJob_data();
    void followsTheJob();
    void realQueue_data();
    void realQueue();

private:
    std::unique_ptr<PrivateCupsd> m_cupsd;
};

void TestPrintQueue::initTestCase()
{
    if (cupsTool("cupsd").isEmpty())
        return;
    m_cupsd = std::make_unique<PrivateCupsd>();
    QVERIFY2(m_cupsd->start(),
             qPrintable("the private cupsd did not start: " + m_cupsd->errorLog()));
    // Qt and the program ask the server that CUPS_SERVER names, never the machine's own.
    qputenv("CUPS_SERVER", m_cupsd->server().toUtf8());
    const QList<QStringList> steps{
        {"lpadmin", "-p", "VelmoraAccepting", "-E", "-v", "file:/dev/null"},
        {"lpadmin", "-p", "VelmoraRejecting", "-E", "-v", "file:/dev/null"},
        {"cupsreject", "-r", "Došel papír", "VelmoraRejecting"},
        {"lpadmin", "-p", "VelmoraDisabled", "-E", "-v", "file:/dev/null"},
        {"cupsdisable", "-r", "Víko otevřeno", "VelmoraDisabled"},
        {"lpadmin", "-p", "VelmoraAborting", "-E", "-v", "velmorafail:/", "-o",
         "printer-error-policy=abort-job"},
        {"lpadmin", "-p", "VelmoraStopping", "-E", "-v", "velmorafail:/", "-o",
         "printer-error-policy=stop-printer"},
        {"lpadmin", "-p", "VelmoraRetrying", "-E", "-v", "velmorafail:/", "-o",
         "printer-error-policy=retry-job"}};
    for (const QStringList &step : steps)
        QVERIFY2(m_cupsd->run(step.first(), step.mid(1)), qPrintable(step.join(' ')));
}

void TestPrintQueue::refusal_data()
{
    QTest::addColumn<std::optional<PrintQueue::QueueStatus>>("status");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("accepting") << std::optional(PrintQueue::QueueStatus{}) << "";
    QTest::newRow("cannot be asked") << std::optional<PrintQueue::QueueStatus>() << "";
    QTest::newRow("rejecting, its words")
        << std::optional(PrintQueue::QueueStatus{false, false, "Došel papír"}) << "Došel papír";
    QTest::newRow("rejecting, no words") << std::optional(PrintQueue::QueueStatus{false, false, {}})
                                         << "Tiskárna Fronta nepřijímá tiskové úlohy...";
    QTest::newRow("stopped, no words") << std::optional(PrintQueue::QueueStatus{true, true, {}})
                                       << "Tiskárna Fronta je zastavena...";
}

void TestPrintQueue::refusal()
{
    QFETCH(std::optional<PrintQueue::QueueStatus>, status);
    QFETCH(QString, refusal);
    auto queue = std::make_unique<ScriptedQueue>();
    queue->status = status;
    PrintMonitor monitor(std::move(queue), {});
    QCOMPARE(monitor.refusal("Fronta").value_or(QString()), refusal);
    // A job that never reached the queue is a failure at once.
    QCOMPARE(monitor.follow("000000123", "Fronta", 7), false);
    QCOMPARE(shownWarnings(),
             failure(refusal.isEmpty() ? "Tiskárna Fronta úlohu nepřijala..." : refusal));
}

void TestPrintQueue::followsTheJob_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("looks");
    QTest::addColumn<QString>("reason");
    QTest::newRow("printed") << QByteArray("PRC") << "" << 3 << "";
    QTest::newRow("still printing") << QByteArray("PR") << "" << 4 << "";
    QTest::newRow("aborted") << QByteArray("PA") << "Papír se zasekl" << 2 << "Papír se zasekl";
    QTest::newRow("aborted, no words")
        << QByteArray("A") << "" << 1 << "Tisková úloha byla přerušena...";
    QTest::newRow("cancelled") << QByteArray("RX") << "" << 2 << "Tisková úloha byla zrušena...";
    QTest::newRow("held") << QByteArray("H") << "" << 1 << "Tisková úloha byla odložena...";
    QTest::newRow("queue stopped") << QByteArray("PPS") << "Víko otevřeno" << 3 << "Víko otevřeno";
}

void TestPrintQueue::followsTheJob()
{
    QFETCH(QByteArray, script);
    QFETCH(QString, message);
    QFETCH(int, looks);
    QFETCH(QString, reason);
    auto queue = std::make_unique<ScriptedQueue>();
    queue->script = script;
    queue->message = message;
    const ScriptedQueue &scripted = *queue;
    QStringList log;
    PrintMonitor monitor(std::move(queue), [&log](const QString &line) { log << line; }, {4, 0});
    QSignalSpy followed(&monitor, &PrintMonitor::jobFollowed);
    QVERIFY(monitor.follow("000000123", "Fronta", 6));
    QTRY_COMPARE(followed.size(), 1);
    QCOMPARE(followed.first(), (QVariantList{7, !reason.isEmpty()}));
    QCOMPARE(scripted.looks, looks);
    QCOMPARE(shownWarnings(), failure(reason));
    QCOMPARE(log, reason.isEmpty()
                      ? QStringList{}
                      : QStringList{"Tisk [000000123]: CHYBA [Fronta] [" + reason + "]"});
}

void TestPrintQueue::realQueue_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<bool>("handedOver");
    QTest::addColumn<QString>("reason");
    QTest::newRow("accepting") << "VelmoraAccepting" << true << "";
    QTest::newRow("rejecting") << "VelmoraRejecting" << false << "Došel papír";
    QTest::newRow("disabled") << "VelmoraDisabled" << false << "Víko otevřeno";
    QTest::newRow("job aborted") << "VelmoraAborting" << true << "Papír se zasekl";
    QTest::newRow("stopped by the fault") << "VelmoraStopping" << true << "Papír se zasekl";
    QTest::newRow("held for a retry") << "VelmoraRetrying" << true << "Papír se zasekl";
}

void TestPrintQueue::realQueue()
{
    QFETCH(QString, queue);
    QFETCH(bool, handedOver);
    QFETCH(QString, reason);
    if (!m_cupsd)
        QSKIP("cupsd is not installed (package cups): no real print queue to try");
    qputenv("LPDEST", queue.toUtf8()); // the default printer
    QStringList log;
    PrintMonitor monitor(systemPrintQueue(), [&log](const QString &line) { log << line; },
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
        QCOMPARE(followed.first().at(1).toBool(), !reason.isEmpty());
        if (reason.isEmpty()) {
            const auto job = systemPrintQueue()->jobStatus(followed.first().at(0).toInt());
            QVERIFY(job && job->state == PrintQueue::JobState::Completed);
        }
    }
    QCOMPARE(shownWarnings(), failure(reason));
    QCOMPARE(log,
             reason.isEmpty()
                 ? QStringList{}
                 : QStringList{QString("Tisk [000000123]: CHYBA [%1] [%2]").arg(queue, reason)});
}

QTEST_MAIN(TestPrintQueue)
#include "tst_printqueue.moc"
