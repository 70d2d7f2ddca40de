#include "deskfixture.h"

#include "core/programvalues.h"
#include "core/textfile.h"
#include "data/query.h"
#include "data/table.h"
#include "data/tablekeys.h"
#include "desk/cashbalance.h"
#include "desk/salonschema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <unistd.h>

// The sale of a stopped run: its figures, its three writes in one transaction, and what stays
// after a failure or a kill; and the balance changed by hand.
class TestSale : public QObject
{
    Q_OBJECT

private slots:
    void pricing_data();
    void pricing();
    void receiptFieldsCountersAndBalance();
    void numberingContinuesFromHighest();
    void closeWithoutReceiptWritesJournal();
    void printKeepsReceiptAndPrints();
    void secondStopDialogOnTop();
    void countdownEndRecordsEvenWithBitCleared();
    void killedInsideSaleLeavesNothing();
    void failedWriteLeavesNothingForTheNextSale_data();
    void failedWriteLeavesNothingForTheNextSale();
    void startupsStopAtTheirMaximum();
    void saleDuringFailedSalesMessageIsStored();
    void salesKilledAtRandomStayConsistent_data();
    void salesKilledAtRandomStayConsistent();
    void handChangeOfTheBalance_data();
    void handChangeOfTheBalance();
};

void TestSale::pricing_data()
{
    QTest::addColumn<int>("usedSeconds");
    QTest::addColumn<double>("total");
    QTest::newRow("90 s rounds 12.75 up") << 90 << 13.0;
    QTest::newRow("60 s keeps the half") << 60 << 8.5;
}

void TestSale::pricing()
{
    QFETCH(int, usedSeconds);
    QFETCH(double, total);
    RunsFixture desk;
    desk.m_questions.m_start = StartInput{"02", "00", "15"};
    desk.command(4);
    desk.countDown(4, usedSeconds);
    desk.command(4);
    const StopFigures figures = desk.m_questions.m_stops.first();
    QCOMPARE(figures.discountedMinutePrice, 8.5);
    QCOMPARE(figures.total, total);
    QCOMPARE(desk.money(), total);
}

void TestSale::receiptFieldsCountersAndBalance()
{
    RunsFixture desk;
    desk.m_questions.m_start = StartInput{"10", "00", "15"};
    desk.command(3);
    desk.m_installation.m_clock.m_tick += 12; // the sale takes 12 ms by the clock
    desk.countDown(3, 600);
    QCOMPARE(desk.m_questions.m_stops.size(), 1);

    Table &receipts = desk.m_desk.tableSaleSolars();
    QVERIFY(receipts.last());
    QCOMPARE(receipts.value("PARAGON").toInt(), 1);
    QCOMPARE(receipts.value("DATE").toDate(), QDate(2026, 12, 9));
    QCOMPARE(receipts.value("TIME").toTime(), QTime(9, 5, 0));
    QCOMPARE(receipts.value("SOLAR").toInt(), 3);
    QCOMPARE(receipts.value("STOP").toBool(), false);
    QCOMPARE(receipts.value("TAX").toInt(), 21);
    QCOMPARE(receipts.value("PRICE").toDouble(), 10.0);
    QCOMPARE(receipts.value("OFF").toInt(), 15);
    QCOMPARE(receipts.value("PERIOD").toInt(), 600);
    QCOMPARE(receipts.value("USER").toString(), QString("Administrator"));
    QCOMPARE(receipts.value("PERIOD_MMSS").toString(), QString("10:00"));
    QCOMPARE(receipts.value("PRICE_TOTAL").toDouble(), 85.0);
    QCOMPARE(desk.solarsValue(3, "COUNTER").toInt(), 600);
    QCOMPARE(desk.solarsValue(3, "STARTUP").toInt(), 1);
    QCOMPARE(desk.money(), 85.0);
    QCOMPARE(logTexts(desk.m_desk.eventLog()),
             QStringList({"Transakce solárko[3]: OK [0 ms] [000000001]", "Databáze uložena"}));
}

void TestSale::numberingContinuesFromHighest()
{
    RunsFixture desk;
    QVERIFY(
        runSql(desk.m_desk.database(),
               "insert into SaleSolars values (41, '2026-01-01', '10:00:00', 1, 0, 21, 10.0, 0, "
               "60, 'Eva')"));
    QVERIFY(runSql(desk.m_desk.database(),
                   "insert into SaleSolars values (7, '2026-01-02', '10:00:00', 1, 0, 21, 10.0, 0, "
                   "60, 'Eva')"));
    QVERIFY(
        desk.m_desk.tableSaleSolars().setIndexName("DATE_")); // the browser's order plays no part
    desk.command(1);
    desk.command(1);
    QCOMPARE(logTexts(desk.m_desk.eventLog()).first(),
             QString("Transakce solárko[1]: OK [0 ms] [000000042]"));
}

void TestSale::closeWithoutReceiptWritesJournal()
{
    RunsFixture desk;
    desk.m_settings.m_recordAll = false;
    desk.m_questions.m_start = StartInput{"10", "00", "15"};
    desk.command(3);
    desk.countDown(3, 600);
    QCOMPARE(desk.receiptCount(), 0);
    QStringList journal;
    QVERIFY(Cp1250Lines::read(Program().JournalFileName, &journal).ok());
    QCOMPARE(journal,
             QStringList({"9.12.2026  9:05:00  3    10,00 Kč  15 %   600 s  Administrator"}));
    QCOMPARE(Program().JournalLines, journal);
    QCOMPARE(desk.solarsValue(3, "COUNTER").toInt(), 600);
    QCOMPARE(desk.solarsValue(3, "STARTUP").toInt(), 1);
    QCOMPARE(desk.money(), 85.0);
    QCOMPARE(logTexts(desk.m_desk.eventLog()).first(),
             QString("Transakce solárko[3]: OK [0 ms] [-]"));
}

void TestSale::printKeepsReceiptAndPrints()
{
    RunsFixture desk;
    desk.m_settings.m_recordAll = false;
    int printed = 0;
    desk.m_runs.setReceiptPrinter([&] { ++printed; });
    desk.m_questions.m_stopAnswers = {StopAnswer::Print};
    desk.command(1);
    desk.command(1);
    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(printed, 1);
    QVERIFY(!QFile::exists(Program().JournalFileName));
}

void TestSale::secondStopDialogOnTop()
{
    RunsFixture desk;
    desk.m_questions.m_start = StartInput{"00", "20", "0"};
    desk.command(1);
    desk.countDown(1, 5);
    desk.m_questions.m_start = StartInput{"00", "10", "10"};
    desk.command(2);
    desk.countDown(2, 5);
    // While unit 1's stop dialog is open, unit 2's countdown runs out.
    bool nested = false;
    desk.m_questions.m_whileStopOpen = [&](const StopFigures &figures) {
        if (figures.unit == 1 && !nested) {
            nested = true;
            desk.countDown(2, 5);
        }
    };
    desk.command(1);
    QCOMPARE(desk.m_questions.m_stops.size(), 2);
    QCOMPARE(desk.m_questions.m_stops.at(0).unit, 1);
    QCOMPARE(desk.m_questions.m_stops.at(0).usedSeconds, 5);
    QCOMPARE(desk.m_questions.m_stops.at(1).unit, 2);
    QCOMPARE(desk.m_questions.m_stops.at(1).usedSeconds, 10);
    QCOMPARE(desk.m_questions.m_stops.at(1).discountedMinutePrice, 9.0);
    QCOMPARE(desk.receiptCount(), 2);
    QCOMPARE(desk.money(), 1.0 + 1.5); // 0,83 rounds to 1; 1,50 keeps its half
}

void TestSale::countdownEndRecordsEvenWithBitCleared()
{
    RunsFixture desk;
    desk.command(6);
    desk.m_installation.setPortRegister(0); // cleared behind the program's back
    desk.countDown(6, 90);
    QCOMPARE(desk.m_questions.m_stops.size(), 1);
    QVERIFY(desk.m_questions.m_startedUnits == QList<int>({6}));
    QCOMPARE(desk.receiptCount(), 1);
}

void TestSale::killedInsideSaleLeavesNothing()
{
    DeskFixture desk;
    {
        Database database{deskDatabaseSchema()};
        QVERIFY(database.connectDirectory(desk.dataDirectory()));
        // The unit's counters are updated inside the sale; this trigger keeps that busy.
        QVERIFY(runSql(database, "create trigger Solars.slow before update on Solars begin select "
                                 "count(*) from Solars a, Solars b, Solars c, Solars d, Solars e, "
                                 "Solars f, Solars g, Solars h, Solars i; end"));
    }
    QProcess child;
    child.start(QCoreApplication::applicationDirPath() + "/tst_sale_child", {desk.dataDirectory()});
    QVERIFY(child.waitForReadyRead(10000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("selling"));
    QTest::qWait(400); // inside the transaction: the receipt is written, the counters not yet
    const qint64 pid = child.processId();
    QVERIFY2(child.state() == QProcess::Running && pid > 0, "the sale ended before the kill");
    ::kill(pid_t(pid), SIGKILL);
    QVERIFY(child.waitForFinished(5000));

    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(desk.dataDirectory()));
    Query check(&database);
    check.setSql("select (select count(*) from SaleSolars), (select COUNTER from Solars where "
                 "SOLAR = 1), (select MONEY from Money)");
    QVERIFY(check.exec() && check.first());
    QCOMPARE(check.value(0).toInt(), 0);
    QCOMPARE(check.value(1).toInt(), 0);
    QCOMPARE(check.value(2).toDouble(), 0.0);
}

void TestSale::failedWriteLeavesNothingForTheNextSale_data()
{
    QTest::addColumn<QString>("table"); // the trigger lives in the table's own file
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("cursor"); // whose post fails
    QTest::newRow("receipt") << "SaleSolars"
                             << "insert"
                             << "TableSaleSolars";
    QTest::newRow("unit counters") << "Solars"
                                   << "update"
                                   << "TableSolars";
    QTest::newRow("cash balance") << "main"
                                  << "update"
                                  << "TableMoney";
}

void TestSale::failedWriteLeavesNothingForTheNextSale()
{
    QFETCH(QString, table);
    QFETCH(QString, write);
    QFETCH(QString, cursor);
    RunsFixture desk;
    Database &database = desk.m_desk.database();
    const QString target = table == "main" ? "Money" : table;
    QVERIFY(runSql(database, QString("create trigger %1.refuse before %2 on %3 begin "
                                     "select raise(abort, 'zkušební chyba'); end")
                                 .arg(table, write, target)));
    int printed = 0;
    desk.m_runs.setReceiptPrinter([&] { ++printed; });
    desk.m_questions.m_stopAnswers = {StopAnswer::Print};
    desk.command(2);
    desk.countDown(2, 30);
    desk.command(2); // fails

    QCOMPARE(desk.receiptCount(), 0);
    QCOMPARE(desk.solarsValue(2, "COUNTER").toInt(), 0);
    QCOMPARE(desk.solarsValue(2, "STARTUP").toInt(), 0);
    QCOMPARE(desk.money(), 0.0);
    QCOMPARE(printed, 0);
    QCOMPARE(desk.m_installation.portRegister(), quint8(0));
    const QStringList reports = desk.m_report.m_reports;
    QCOMPARE(reports.size(), 2);
    QVERIFY2(reports.at(0).startsWith("Chyba při zápisu do databáze... | Post Error: ") &&
                 reports.at(0).endsWith(QString(" [%1]").arg(cursor)),
             qPrintable(reports.at(0)));
    QVERIFY2(reports.at(1).startsWith("database: "), qPrintable(reports.at(1)));
    QCOMPARE(logTexts(desk.m_desk.eventLog()),
             QStringList({"Transakce [2]: CHYBA",
                          "Neuložený prodej solárko[2]: 30 s, cena 10,00 Kč/min, sleva 0 %, "
                          "celkem 5,00 Kč, uživatel [Administrator]"}));

    QVERIFY(runSql(database, QString("drop trigger %1.refuse").arg(table)));
    desk.command(2);
    desk.countDown(2, 60);
    desk.command(2);
    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(desk.solarsValue(2, "COUNTER").toInt(), 60);
    QCOMPARE(desk.solarsValue(2, "STARTUP").toInt(), 1);
    QCOMPARE(desk.money(), 10.0);
}

void TestSale::startupsStopAtTheirMaximum()
{
    RunsFixture desk;
    QVERIFY(runSql(desk.m_desk.database(), "update Solars set STARTUP = 32766 where SOLAR = 1"));
    for (int run = 0; run < 2; ++run) {
        desk.command(1);
        desk.countDown(1, 60);
        desk.command(1);
    }
    QCOMPARE(desk.solarsValue(1, "STARTUP").toInt(), 32767);
    QCOMPARE(desk.solarsValue(1, "COUNTER").toInt(), 120);
    QCOMPARE(desk.money(), 20.0);
    QCOMPARE(desk.receiptCount(), 2);
    QCOMPARE(logTexts(desk.m_desk.eventLog()).filter("Počet startů").size(), 1);
}

void TestSale::saleDuringFailedSalesMessageIsStored()
{
    RunsFixture desk;
    QVERIFY(
        runSql(desk.m_desk.database(),
               "create trigger SaleSolars.refuse before insert on SaleSolars when new.SOLAR = 2 "
               "begin "
               "select raise(abort, 'zkušební chyba'); end"));
    desk.command(1);
    desk.command(2);
    desk.countDown(2, 30);
    // While unit 2's error is shown, unit 1's countdown runs out and its sale is recorded.
    desk.m_report.m_whileReporting = [&] {
        desk.m_report.m_whileReporting = {};
        desk.countDown(1, 90);
    };
    desk.command(2);

    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(desk.solarsValue(1, "COUNTER").toInt(), 90);
    QCOMPARE(desk.money(), 15.0);
    QVERIFY(
        logTexts(desk.m_desk.eventLog()).contains("Transakce solárko[1]: OK [0 ms] [000000001]"));
    QVERIFY(logTexts(desk.m_desk.eventLog()).contains("Transakce [2]: CHYBA"));
    const QStringList reports = desk.m_report.m_reports;
    QCOMPARE(reports.size(), 2);
    QVERIFY2(reports.at(0).startsWith("Chyba při zápisu do databáze... | Post Error: "),
             qPrintable(reports.at(0)));
    QVERIFY2(reports.at(1).startsWith("database: "), qPrintable(reports.at(1)));
}

void TestSale::salesKilledAtRandomStayConsistent_data()
{
    QTest::addColumn<bool>("protectedTables");
    QTest::addColumn<int>("kills");
    QTest::addColumn<int>("longestSellingMs"); // after the first sale
    QTest::newRow("plain tables") << false << 100 << 20;
    // Each start derives the key first, so fewer runs.
    QTest::newRow("protected tables") << true << 30 << 50;
}

void TestSale::salesKilledAtRandomStayConsistent()
{
    // A desk killed at any moment of its sales: every sale is in all three tables or in none.
    QFETCH(bool, protectedTables);
    QFETCH(int, kills);
    QFETCH(int, longestSellingMs);
    DeskFixture desk;
    if (protectedTables) {
        TableKeys::registerPassword(QStringLiteral(TestTablePassword));
        Database database{deskDatabaseSchema()};
        QVERIFY(database.connectDirectory(desk.dataDirectory()));
        for (const char *file : {"Money.DB", "Solars.DB", "SaleSolars.DB"})
            QCOMPARE(Table(&database, QString::fromLatin1(file)).restructure(true, true),
                     quint16(0));
    }
    QRandomGenerator random(20261209);
    qint64 receipts = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess child;
        child.start(QCoreApplication::applicationDirPath() + "/tst_sale_child",
                    {desk.dataDirectory(), protectedTables ? "protected-loop" : "loop"});
        // However slow the machine, each child sells at least once before it is killed.
        QByteArray said;
        while (!said.contains("sold") && child.waitForReadyRead(60000))
            said += child.readAllStandardOutput();
        QVERIFY2(said.startsWith("selling\nsold"), said.constData());
        ::usleep(random.bounded(longestSellingMs * 1000));
        QVERIFY2(child.state() == QProcess::Running, "a sale failed");
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(30000));
        said += child.readAllStandardOutput();
        const qint64 reported = said.count("sold");

        // The restart: its first read rolls back what the killed sale left unfinished.
        Database database{deskDatabaseSchema()};
        QVERIFY(database.connectDirectory(desk.dataDirectory()));
        Query units(&database);
        units.setSql("select s.SOLAR, s.STARTUP, s.COUNTER, count(r.PARAGON), "
                     "coalesce(sum(r.PERIOD), 0) from Solars s left join SaleSolars r on "
                     "r.SOLAR = s.SOLAR group by s.SOLAR");
        QVERIFY(units.exec());
        for (units.first(); !units.eof(); units.next()) {
            QCOMPARE(units.value(1).toLongLong(), units.value(3).toLongLong());
            QCOMPARE(units.value(2).toLongLong(), units.value(4).toLongLong());
        }
        Query totals(&database);
        totals.setSql("select count(*), coalesce(min(PARAGON), 1), coalesce(max(PARAGON), 0), "
                      "coalesce(sum(PERIOD), 0), (select MONEY from Money) from SaleSolars");
        QVERIFY(totals.exec() && totals.first());
        // Every sale the child reported is kept; the one it was killed before reporting may be.
        const qint64 kept = totals.value(0).toLongLong() - receipts;
        QVERIFY2(kept == reported || kept == reported + 1,
                 qPrintable(QString("%1 kept, %2 reported").arg(kept).arg(reported)));
        receipts = totals.value(0).toLongLong();
        QCOMPARE(totals.value(1).toLongLong(), 1); // numbered from 1 without gaps
        QCOMPARE(totals.value(2).toLongLong(), receipts);
        QCOMPARE(totals.value(4).toDouble(), totals.value(3).toDouble());
        // Super-journals do not pile up: one may stay while a journal not yet overwritten names it.
        QVERIFY(QDir(desk.dataDirectory()).entryList({"Money.DB-mj*"}).size() <= 1);
    }
}

void TestSale::handChangeOfTheBalance_data()
{
    QTest::addColumn<bool>("refused");
    QTest::addColumn<double>("balance");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("withdrawal") << false << 750.0
                                << QStringList{"Transakce [Editace hotovosti]: OK [0 ms] "
                                               "[-250,00 Kč]",
                                               "Databáze uložena"};
    QTest::newRow("refused by the table")
        << true << 1000.0 << QStringList{"Transakce [Editace hotovosti]: CHYBA"};
}

void TestSale::handChangeOfTheBalance()
{
    QFETCH(bool, refused);
    QFETCH(double, balance);
    QFETCH(QStringList, log);
    RunsFixture desk;
    QVERIFY(runSql(desk.m_desk.database(), "update Money set MONEY = 1000"));
    if (refused)
        QVERIFY(runSql(desk.m_desk.database(), "create trigger refuse before update on Money "
                                               "begin select raise(abort, 'zamknuto'); end"));
    CashBalance cash(desk.m_desk);
    QVERIFY(cash.refresh());
    QCOMPARE(cash.add(-250), !refused);
    QCOMPARE(desk.money(), balance);
    QCOMPARE(cash.balance(), balance);
    QCOMPARE(desk.m_desk.tableMoney().state(), Table::State::Browse);
    QCOMPARE(logTexts(desk.m_desk.eventLog()), log);
    QCOMPARE(desk.m_report.m_reports.size(), refused ? 2 : 0); // the post, then the engine
}

QTEST_GUILESS_MAIN(TestSale)
#include "tst_sale.moc"
