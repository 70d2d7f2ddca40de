#include "core/clock.h"
#include "core/pricing.h"
#include "core/programvalues.h"
#include "data/database.h"
#include "data/table.h"
#include "desk/databasesaver.h"
#include "desk/eventlog.h"
#include "desk/salesjournal.h"
#include "desk/salonrecords.h"
#include "desk/salonschema.h"
#include "desk/transactionlog.h"
#include "fakes/fakeclock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList numberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("řádek %1").arg(i);
    return lines;
}

QStringList fileLines(const QString &path)
{
    QStringList lines;
    Cp1250Lines::read(path, &lines);
    return lines;
}

} // namespace

class TestDesk : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void logTrimsAtStart_data();
    void logTrimsAtStart();
    void logWithoutFileStartsEmpty();
    void logAppendsAndStaysAMirror();
    void logRewritesAfterOutsideChange();
    void readOnlyLogWarnsAtStartOnly();
    void journalTrimsAtStart_data();
    void journalTrimsAtStart();
    void journalWithoutFileCreatesNone();
    void journalLineFormat_data();
    void journalLineFormat();
    void transactionLines();
    void databaseSaver();
    void receiptRecordRoundTrips_data();
    void receiptRecordRoundTrips();
    void unitRecordRoundTrips_data();
    void unitRecordRoundTrips();
    void cashBalanceAddsToTheStoredBalance();

private:
    QTemporaryDir *m_dir = nullptr;
    FakeClock m_clock;
};

void TestDesk::init()
{
    m_dir = new QTemporaryDir;
    QDir::setCurrent(m_dir->path());
    m_clock = FakeClock();
    setProgramClock(&m_clock);
}

void TestDesk::cleanup()
{
    setProgramClock(nullptr);
    QDir::setCurrent(QDir::tempPath());
    delete m_dir;
}

void TestDesk::logTrimsAtStart_data()
{
    QTest::addColumn<int>("linesInFile");
    QTest::addColumn<int>("linesAfterStart");
    QTest::newRow("2048 kept") << 2048 << 2049;
    QTest::newRow("2049 lose one") << 2049 << 2049;
    QTest::newRow("5000") << 5000 << 2049;
}

void TestDesk::logTrimsAtStart()
{
    QFETCH(int, linesInFile);
    QFETCH(int, linesAfterStart);
    QVERIFY(Cp1250Lines::write("Velmora.log", numberedLines(linesInFile)).ok());
    EventLog log("Velmora.log");
    QVERIFY(log.load());
    QVERIFY(log.DeleteLog().ok());
    log.AddLog("Start programu");
    QCOMPARE(log.lines().size(), linesAfterStart);
    QCOMPARE(log.lines().first(), QStringLiteral("řádek %1").arg(linesInFile - 2047));
    QCOMPARE(log.lines().last(), QString("9.12.2026 9:05:00 Start programu"));
    QCOMPARE(fileLines("Velmora.log"), log.lines());
}

void TestDesk::logWithoutFileStartsEmpty()
{
    EventLog log("Velmora.log");
    QVERIFY(!log.load());
    QVERIFY(log.lines().isEmpty());
    QVERIFY(!QFile::exists("Velmora.log"));
    log.AddLog("Přihlášen uživatel: [Administrator]");
    QCOMPARE(fileLines("Velmora.log"),
             QStringList({"9.12.2026 9:05:00 Přihlášen uživatel: [Administrator]"}));
}

void TestDesk::logAppendsAndStaysAMirror()
{
    EventLog log("Velmora.log");
    for (int i = 0; i < 50; ++i) {
        m_clock.m_now = m_clock.m_now.addSecs(1);
        log.AddLog(QStringLiteral("Transakce solárko[1]: OK [%1 ms] [-]").arg(i));
    }
    QCOMPARE(fileLines("Velmora.log"), log.lines());
    QFile file("Velmora.log");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("\r\n"), 50);
}

void TestDesk::logRewritesAfterOutsideChange()
{
    EventLog log("Velmora.log");
    log.AddLog("první");
    QVERIFY(Cp1250Lines::write("Velmora.log", {"cizí obsah", "další"}).ok());
    log.AddLog("druhý");
    QCOMPARE(fileLines("Velmora.log"), log.lines());
    QCOMPARE(log.lines().size(), 2);
    // A character Windows-1250 lacks (typed into an SQL statement) does not stop the log.
    log.AddLog("select '\u20AC\U0001F600'");
    log.AddLog("třetí");
    QCOMPARE(fileLines("Velmora.log"), log.lines());
    QVERIFY(log.lines().at(2).endsWith("select '\u20AC?"
                                       "?'")); // the euro sign has a code
}

void TestDesk::readOnlyLogWarnsAtStartOnly()
{
    QVERIFY(Cp1250Lines::write("Velmora.log", {"starý řádek"}).ok());
    QVERIFY(QFile::setPermissions("Velmora.log", QFileDevice::ReadOwner));
    EventLog log("Velmora.log");
    QVERIFY(log.load());
    const FileResult result = log.DeleteLog();
    QVERIFY(!result.ok());
    QCOMPARE(result.errorCode, EACCES);
    log.AddLog("Start programu"); // silent: stays in the list only
    QCOMPARE(log.lines().size(), 2);
    QCOMPARE(fileLines("Velmora.log"), QStringList({"starý řádek"}));
    QFile::setPermissions("Velmora.log", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    log.AddLog("znovu zapisovatelný");
    QCOMPARE(fileLines("Velmora.log"), log.lines());
}

void TestDesk::journalTrimsAtStart_data()
{
    QTest::addColumn<int>("linesInFile");
    QTest::addColumn<int>("firstKept");
    QTest::newRow("1024 unchanged") << 1024 << 1;
    QTest::newRow("1025 lose the first") << 1025 << 2;
    QTest::newRow("3000 keep 1977 to 3000") << 3000 << 1977;
}

void TestDesk::journalTrimsAtStart()
{
    QFETCH(int, linesInFile);
    QFETCH(int, firstKept);
    Program().JournalFileName = m_dir->filePath("SalesSolars.txt");
    QVERIFY(Cp1250Lines::write(Program().JournalFileName, numberedLines(linesInFile)).ok());
    QVERIFY(SalesJournal::loadAndTrim().ok());
    QCOMPARE(Program().JournalLines.size(), qMin(linesInFile, 1024));
    QCOMPARE(Program().JournalLines.first(), QStringLiteral("řádek %1").arg(firstKept));
    QCOMPARE(Program().JournalLines.last(), QStringLiteral("řádek %1").arg(linesInFile));
    QCOMPARE(fileLines(Program().JournalFileName), Program().JournalLines);
}

void TestDesk::journalWithoutFileCreatesNone()
{
    Program().JournalFileName = m_dir->filePath("SalesSolars.txt");
    Program().JournalLines = {"zbytek"};
    QVERIFY(SalesJournal::loadAndTrim().ok());
    QVERIFY(Program().JournalLines.isEmpty());
    QVERIFY(!QFile::exists(Program().JournalFileName));
}

void TestDesk::journalLineFormat_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("price");
    QTest::addColumn<int>("discount");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unit 3") << 3 << 10.0 << 15 << 600
                            << "9.12.2026  9:05:00  3    10,00 Kč  15 %   600 s  Administrator";
    QTest::newRow("narrow numbers")
        << 1 << 8.5 << 0 << 5 << "9.12.2026  9:05:00  1     8,50 Kč   0 %     5 s  Administrator";
    QTest::newRow("wide price")
        << 8 << 1234.0 << 100 << 6039
        << "9.12.2026  9:05:00  8  1\u00a0234,00 Kč  100 %  6039 s  Administrator";
}

void TestDesk::journalLineFormat()
{
    QFETCH(int, unit);
    QFETCH(double, price);
    QFETCH(int, discount);
    QFETCH(int, seconds);
    QFETCH(QString, expected);
    QCOMPARE(
        SalesJournal::formatLine(m_clock.now(), unit, price, discount, seconds, "Administrator"),
        expected);
}

void TestDesk::transactionLines()
{
    EventLog log("Velmora.log");
    const qint64 start = m_clock.m_tick;
    m_clock.advance(37);
    TransactionLog::TransactionMoneyOk(log, "Editace hotovosti", start, 250);
    TransactionLog::TransactionSolarOk(log, "Nastavení solárka", start, 4);
    TransactionLog::TransactionError(log, "Editace hotovosti");
    TransactionLog::TransactionSaleSolarsOk(log, 3, start, true, 1);
    TransactionLog::TransactionSaleSolarsOk(log, 3, start, false, 1);
    TransactionLog::TransactionSaleSolarsError(log, 3);
    const QString stamp = "9.12.2026 9:05:00 ";
    QCOMPARE(log.lines(),
             QStringList({stamp + "Transakce [Editace hotovosti]: OK [37 ms] [250,00 Kč]",
                          stamp + "Transakce [Nastavení solárka]: OK [37 ms] [4]",
                          stamp + "Transakce [Editace hotovosti]: CHYBA",
                          stamp + "Transakce solárko[3]: OK [37 ms] [000000001]",
                          stamp + "Transakce solárko[3]: OK [37 ms] [-]",
                          stamp + "Transakce [3]: CHYBA"}));
}

void TestDesk::databaseSaver()
{
    QString error;
    QVERIFY2(createInstallation(m_dir->filePath("db"), &error), qPrintable(error));
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(m_dir->filePath("db")));
    Table money(&database, "Money.DB");
    Table solars(&database, "Solars.DB");
    QVERIFY(money.open() && solars.open());

    EventLog log("Velmora.log");
    DatabaseSaver saver(log);
    QVERIFY(saver.SaveDatabase({&money, &solars}));
    saver.setEnabledSource([] { return false; });
    QVERIFY(!saver.SaveDatabase({&money}));
    saver.setEnabledSource([] { return true; });
    QVERIFY(database.startTransaction());
    QVERIFY(!saver.SaveDatabase({&money, &solars}));
    QVERIFY(database.rollback());
    QCOMPARE(log.lines(), QStringList({"9.12.2026 9:05:00 Databáze uložena",
                                       "9.12.2026 9:05:00 Databáze neuložena"}));
}

void TestDesk::receiptRecordRoundTrips_data()
{
    QTest::addColumn<ReceiptRecord>("receipt");
    QTest::addColumn<QString>("periodMmss");
    const auto receipt = [](int seconds, double price, int off, bool stop, const QString &user) {
        return ReceiptRecord{123456789,
                             QDate(2026, 12, 9),
                             QTime(23, 59, 59),
                             8,
                             stop,
                             21,
                             price,
                             off,
                             seconds,
                             user,
                             QString(),
                             0};
    };
    QTest::newRow("whole minutes") << receipt(600, 10.0, 0, false, "admin") << "10:00";
    QTest::newRow("stopped, discounted")
        << receipt(95, 12.5, 10, true, "Žaneta Dvořáková") << "01:35";
    QTest::newRow("longest run") << receipt(32767, 99.99, 100, false, QString()) << "546:07";
}

// What the sale appends is what the windows and reports read back, calculated fields included,
// and the sum in SQL prices the receipt as the cursor does.
void TestDesk::receiptRecordRoundTrips()
{
    QFETCH(ReceiptRecord, receipt);
    QFETCH(QString, periodMmss);
    QString error;
    QVERIFY2(createInstallation(m_dir->filePath("db"), &error), qPrintable(error));
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(m_dir->filePath("db")));
    Table sales(&database, "SaleSolars.DB");
    sales.setCalculatedFields(saleSolarsTable().calculatedFields);
    sales.setCalcFieldsCallback(TableSaleSolarsCalcFields);
    QVERIFY(sales.open() && sales.append(receipt.storedValues()));
    QVERIFY(sales.refresh());

    ReceiptRecord expected = receipt;
    expected.periodMmss = periodMmss;
    expected.priceTotal = receiptPriceTotal(receipt.period, receipt.price, receipt.off);
    QCOMPARE(ReceiptRecord::of(sales.record()), expected);
    qint64 count = 0;
    double sum = 0;
    QVERIFY(sales.countAndSum(SaleSolarsField::PriceTotal, &count, &sum));
    QCOMPARE(sum, expected.priceTotal);
}

void TestDesk::unitRecordRoundTrips_data()
{
    QTest::addColumn<UnitRecord>("edited");
    const UnitRecord before{3, true, "Solárko 3", 10.0, 0, 0};
    UnitRecord renamed = before;
    renamed.description = "Turbo";
    UnitRecord worn = before;
    worn.counter = 2147483647;
    worn.startup = 32767;
    QTest::newRow("nothing changed") << before;
    QTest::newRow("description") << renamed;
    QTest::newRow("counters at their maximum") << worn;
    QTest::newRow("every field") << UnitRecord{3, false, "Vertikál 12 kW", 15.5, 7200, 12};
}

void TestDesk::unitRecordRoundTrips()
{
    QFETCH(UnitRecord, edited);
    QString error;
    QVERIFY2(createInstallation(m_dir->filePath("db"), &error), qPrintable(error));
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(m_dir->filePath("db")));
    Table solars(&database, "Solars.DB");
    QVERIFY(solars.open());
    QVERIFY(!locateUnit(solars, 9));
    QVERIFY(locateUnit(solars, 3) && solars.edit());
    const UnitRecord before = UnitRecord::of(solars.record());
    QCOMPARE(before, (UnitRecord{3, true, "Solárko 3", 10.0, 0, 0}));
    QVERIFY(edited.writeChanges(solars, before) && solars.post());
    QVERIFY(solars.refresh());
    QCOMPARE(UnitRecord::of(solars.record()), edited);
}

// The balance grows from what is stored, whatever the cursor read before.
void TestDesk::cashBalanceAddsToTheStoredBalance()
{
    QString error;
    QVERIFY2(createInstallation(m_dir->filePath("db"), &error), qPrintable(error));
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(m_dir->filePath("db")));
    Table money(&database, "Money.DB");
    Table other(&database, "Money.DB");
    QVERIFY(money.open() && other.open());
    QCOMPARE(cashBalanceOf(money), 0.0);
    QVERIFY(addToCashBalance(other, 250.0));
    QVERIFY(addToCashBalance(money, -50.5));
    QCOMPARE(cashBalanceOf(money), 199.5);
}

QTEST_GUILESS_MAIN(TestDesk)
#include "tst_desk.moc"
