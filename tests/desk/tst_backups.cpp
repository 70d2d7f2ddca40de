#include "childoutput.h"
#include "deskfixture.h"

#include "data/tablefilecheck.h"
#include "data/tablesnapshot.h"
#include "desk/backupchecksums.h"
#include "desk/deskbackups.h"
#include "desk/salonschema.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

enum class Kind { Time, Now, Day };

bool backUp(DeskBackups &backups, Kind kind, const QString &directory)
{
    switch (kind) {
    case Kind::Time:
        return backups.BackupAfterTime(directory);
    case Kind::Now:
        return backups.BackupNow(directory);
    case Kind::Day:
        break;
    }
    return backups.BackupAfterDay(directory);
}

QStringList folders(const QString &directory)
{
    return QDir(directory).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

} // namespace

class TestBackups : public QObject
{
    Q_OBJECT

private slots:
    void backupFolders_data();
    void backupFolders();
    void failedBackupsAreLogged_data();
    void failedBackupsAreLogged();
    void oneWarningPerKindAndDay();
    void twoEndsOnOneWeekday();
    void purgeRemovesOldFolders();
    void killedBackupsLeaveWholeCopies();
};

void TestBackups::backupFolders_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("folderExists");
    QTest::addColumn<bool>("dailyOn");
    QTest::addColumn<bool>("made");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("logged");
    const QString stamp = "2026-12-09_09-05-00";
    QTest::newRow("hourly") << Kind::Time << false << true << true << stamp
                            << "Zálohování [TIME] [9.12.2026 9:05:00]";
    QTest::newRow("hourly, same second")
        << Kind::Time << true << true << true << stamp << "Zálohování [TIME] [9.12.2026 9:05:00]";
    QTest::newRow("now") << Kind::Now << false << true << true << stamp
                         << "Zálohování [NOW] [9.12.2026 9:05:00]";
    QTest::newRow("weekday") << Kind::Day << false << true << true << "Streda"
                             << "Zálohování [Streda]: Ok";
    QTest::newRow("weekday, switched off") << Kind::Day << false << false << false << "Streda"
                                           << "";
}

void TestBackups::backupFolders()
{
    QFETCH(Kind, kind);
    QFETCH(bool, folderExists);
    QFETCH(bool, dailyOn);
    QFETCH(bool, made);
    QFETCH(QString, folder);
    QFETCH(QString, logged);
    RunsFixture desk;
    FakeBackupSettings settings;
    settings.daily = dailyOn;
    DeskBackups &backups = desk.m_desk.backups();
    backups.setSettings(&settings);
    const QString directory = desk.m_installation.path("zálohy");
    const QDir target(QDir(directory).filePath(folder));
    QVERIFY(QDir().mkpath(folderExists ? target.path() : directory));
    const int logLines = logTexts(desk.m_desk.eventLog()).size();

    QCOMPARE(backUp(backups, kind, directory), made);
    const QStringList files{"Money.DB", "SaleSolars.DB", "Solars.DB", "Velmora.sha256"};
    QCOMPARE(target.entryList(QDir::Files), made ? files : QStringList());
    if (made)
        QCOMPARE(BackupChecksums::verify(target.path()).outcome, BackupChecksums::Check::Matches);
    const QStringList log = logTexts(desk.m_desk.eventLog()).mid(logLines);
    QCOMPARE(log.size(), logged.isEmpty() ? 0 : 1);
    QVERIFY2(log.isEmpty() || log.first().startsWith(logged), qPrintable(log.value(0)));
}

void TestBackups::failedBackupsAreLogged_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("blocker"); // made in the directory before the backup
    QTest::addColumn<QString>("logged");  // the start of the log line, "@" for the directory
    QTest::addColumn<QString>("reported");
    const QString stamp = "@/2026-12-09_09-05-00";
    QTest::newRow("hourly, directory gone")
        << Kind::Time << "-"
        << "Zálohování [TIME] [@/chybí]: CHYBA [Adresář neexistuje]"
        << "without waiting: Hodinová záloha se nezdařila... | Adresář neexistuje [@/chybí]...";
    QTest::newRow("daily, a file in the folder's place")
        << Kind::Day << "file Streda"
        << "Zálohování [DAY] [@/Streda]: CHYBA [Složku nelze vytvořit: stejnojmenný soubor"
        << "Denní záloha se nezdařila... | Složku nelze vytvořit";
    QTest::newRow("now, folder exists")
        << Kind::Now << "folder 2026-12-09_09-05-00"
        << "Zálohování [NOW] [" + stamp + "]: CHYBA [Složka již existuje]"
        << "Záloha se nezdařila... | Složka již existuje [" + stamp + "]...";
    QTest::newRow("hourly, copy refused")
        << Kind::Time << "folder 2026-12-09_09-05-00/Money.DB.part"
        << "Zálohování [TIME] [" + stamp + "]: CHYBA [Do adresáře " + stamp + " nelze zapisovat"
        << "without waiting: Hodinová záloha se nezdařila... | Do adresáře";
}

void TestBackups::failedBackupsAreLogged()
{
    QFETCH(Kind, kind);
    QFETCH(QString, blocker);
    QFETCH(QString, logged);
    QFETCH(QString, reported);
    RunsFixture desk;
    FakeBackupSettings settings;
    DeskBackups &backups = desk.m_desk.backups();
    backups.setSettings(&settings);
    const QString directory = desk.m_installation.path("zálohy");
    QVERIFY(QDir().mkpath(directory));
    const QString blocked = directory + "/" + blocker.section(' ', 1);
    if (blocker.startsWith("folder"))
        QVERIFY(QDir().mkpath(blocked));
    if (blocker.startsWith("file"))
        QVERIFY(QFile(blocked).open(QIODevice::WriteOnly));
    const int logLines = logTexts(desk.m_desk.eventLog()).size();

    QVERIFY(!backUp(backups, kind, blocker == "-" ? directory + "/chybí" : directory));
    const QStringList log = logTexts(desk.m_desk.eventLog()).mid(logLines);
    QCOMPARE(log.size(), 1);
    QVERIFY2(log.first().startsWith(QString(logged).replace('@', directory)), qPrintable(log[0]));
    QCOMPARE(desk.m_report.m_reports.size(), 1);
    QVERIFY2(desk.m_report.m_reports.first().startsWith(QString(reported).replace('@', directory)),
             qPrintable(desk.m_report.m_reports.first()));
    QVERIFY(!backups.lastSuccess(BackupKind::Time).isValid());
}

void TestBackups::oneWarningPerKindAndDay()
{
    RunsFixture desk;
    FakeBackupSettings settings;
    FakeClock &clock = desk.m_installation.m_clock;
    const QString gone = desk.m_installation.path("chybí");
    const QStringList &reports = desk.m_report.m_reports;
    const auto failuresLogged = [&] {
        return logTexts(desk.m_desk.eventLog()).filter(": CHYBA [").size();
    };
    {
        DeskBackups &backups = desk.m_desk.backups();
        backups.setSettings(&settings);
        for (int hour = 0; hour < 3; ++hour, clock.advance(3600 * 1000))
            QVERIFY(!backups.BackupAfterTime(gone));
        QVERIFY(!backups.BackupAfterDay(gone));
        QVERIFY(!backups.BackupAfterDay(gone));
        QCOMPARE(reports.size(), 2); // one of each kind
        QVERIFY(reports[0].startsWith("without waiting: Hodinová") &&
                reports[1].startsWith("Denní"));
        QVERIFY(!backups.BackupNow(gone)); // the user's own click is answered every time
        QVERIFY(!backups.BackupNow(gone));
        QCOMPARE(reports.size(), 4);
        QCOMPARE(failuresLogged(), 7);
    }
    // A restart on the same day keeps the rule; the next day warns again.
    Desk restarted(desk.m_report);
    QVERIFY(restarted.database().connectDirectory(desk.m_installation.dataDirectory()));
    restarted.backups().setSettings(&settings);
    QVERIFY(!restarted.backups().BackupAfterTime(gone));
    QCOMPARE(reports.size(), 4);
    clock.advance(24 * 3600 * 1000);
    QVERIFY(!restarted.backups().BackupAfterTime(gone));
    QCOMPARE(reports.size(), 5);
}

void TestBackups::twoEndsOnOneWeekday()
{
    RunsFixture desk;
    FakeBackupSettings settings;
    DeskBackups &backups = desk.m_desk.backups();
    backups.setSettings(&settings);
    const QString directory = desk.m_installation.path("dny");
    QVERIFY(QDir().mkpath(directory));
    QVERIFY(backups.BackupAfterDay(directory));
    QVERIFY(runSql(desk.m_desk.database(), "insert into SaleSolars values (1, '2026-12-09', "
                                           "'09:05:00', 1, 0, 21, 10.0, 0, 60, 'Eva')"));
    desk.m_installation.m_clock.advance(8 * 3600 * 1000);
    QVERIFY(backups.BackupAfterDay(directory));
    QCOMPARE(folders(directory), QStringList{"Streda"});
    Database copy{deskDatabaseSchema()};
    QVERIFY(copy.connectDirectory(directory + "/Streda"));
    QCOMPARE(queryValue(copy, "select count(*) from SaleSolars").toInt(), 1); // the later copy
}

void TestBackups::purgeRemovesOldFolders()
{
    RunsFixture desk;
    const QString directory = desk.m_installation.path("hodiny");
    for (const QString &name : QStringList{"2026-12-01_10-00-00", "2026-12-02_10-00-00", "cizí"})
        QVERIFY(QDir().mkpath(directory + "/" + name));
    QVERIFY(TableSnapshot(desk.m_desk.database()).copyTo(directory + "/2026-12-01_10-00-00"));
    QVERIFY(BackupChecksums::write(directory + "/2026-12-01_10-00-00").ok());
    QFile other(directory + "/cizí/poznámka.txt");
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();
    for (const QString &left : {TableSnapshot::temporaryName("Money.DB"),
                                QString(".Velmora.sha256.Ab12Cd")}) { // by a backup cut short
        QFile part(directory + "/2026-12-02_10-00-00/" + left);
        QVERIFY(part.open(QIODevice::WriteOnly));
    }

    // Created today: kept at the limit 0.
    FakeClock &clock = desk.m_installation.m_clock;
    clock.m_now = QDateTime::currentDateTime();
    QCOMPARE(DeskBackups::purgeOldBackups(directory, 0), 0);
    // Seen from tomorrow they are all older, but the folder with another file stays.
    clock.m_now = clock.m_now.addDays(1);
    QList<int> counted;
    QCOMPARE(DeskBackups::purgeOldBackups(directory, 0, [&](int n) { counted << n; }), 2);
    QCOMPARE(counted, (QList<int>{1, 2}));
    QCOMPARE(folders(directory), QStringList{"cizí"});
    QCOMPARE(DeskBackups::purgeOldBackups(directory + "/chybí", 0), 0);
}

void TestBackups::killedBackupsLeaveWholeCopies()
{
    // A desk killed at any moment of its backups, selling meanwhile: every table file in the
    // folder is whole, and a complete set holds every sale in all three files or in none.
    DeskFixture desk;
    {
        Database database{deskDatabaseSchema()};
        QVERIFY(database.connectDirectory(desk.dataDirectory()));
        QVERIFY(runSql(database, "with recursive n(i) as (select 1 union all select i + 1 from n "
                                 "where i < 5000) insert into SaleSolars select i, '2026-01-01', "
                                 "'09:00:00', 1, 0, 21, 60.0, 0, 0, 'Petra' from n"));
    }
    const QString folder = desk.path("záloha");
    QVERIFY(QDir().mkpath(folder));
    QRandomGenerator random(20261210);
    int complete = 0;
    for (int kill = 0; kill < 20; ++kill) {
        QProcess child;
        child.start(QCoreApplication::applicationDirPath() + "/tst_sale_child",
                    {desk.dataDirectory(), "backup", folder});
        // The kills begin once a backup is complete, however long this machine takes for one.
        QVERIFY(waitForLine(child, "copied"));
        ::usleep(random.bounded(0, 200000));
        QVERIFY2(child.state() == QProcess::Running, "a backup or a sale failed");
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(5000));

        const QStringList files = QDir(folder).entryList({"*.DB"}, QDir::Files);
        for (const QString &file : files)
            QVERIFY2(isSoundTableFile(folder + "/" + file, file.chopped(3)), qPrintable(file));
        if (files.size() < 3)
            continue;
        ++complete;
        Database copy{deskDatabaseSchema()};
        QVERIFY(copy.connectDirectory(folder));
        QCOMPARE(queryValue(copy, "select MONEY from Money").toDouble(),
                 queryValue(copy, "select coalesce(sum(PERIOD), 0) from SaleSolars").toDouble());
        QCOMPARE(queryValue(copy, "select sum(STARTUP) from Solars").toLongLong(),
                 queryValue(copy, "select count(*) from SaleSolars where PERIOD > 0").toLongLong());
    }
    QVERIFY(complete > 0);
}

QTEST_MAIN(TestBackups)
#include "tst_backups.moc"
