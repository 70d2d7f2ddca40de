#include "deskfixture.h"

#include "console/formvelmora.h"
#include "console/solarrow.h"
#include "core/programvalues.h"
#include "core/textfile.h"
#include "data/query.h"
#include "data/table.h"
#include "ui/common/messagedialogs.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace Hook = MessageDialogsTestHook;

namespace {

void tick(TFormVelmora &console, int unit, int seconds)
{
    for (int i = 0; i < seconds; ++i)
        console.TimerSolarTimer(unit);
}

bool runSql(Database &database, const QString &sql)
{
    Query query(&database);
    query.setSql(sql);
    return query.exec();
}

QStringList logTexts(TFormVelmora &console)
{
    QStringList texts;
    for (const QString &line : console.eventLog().lines())
        texts << line.section(' ', 2); // without the date and time
    return texts;
}

} // namespace

class TestRuns : public QObject
{
    Q_OBJECT

private slots:
    void startCountdownAndEnd();
    void unitChangesOnlyItsBit();
    void stopContinueStopAgain();
    void ninetyNineSeconds();
    void pricing_data();
    void pricing();
    void receiptFieldsCountersAndBalance();
    void numberingContinuesFromHighest();
    void closeWithoutReceiptWritesJournal();
    void printKeepsReceiptAndPrints();
    void failingMoneyPostRollsBack();
    void directInputStartsFromTheRow_data();
    void directInputStartsFromTheRow();
    void secondStopDialogOnTop();
    void countdownEndRecordsEvenWithBitCleared();
    void killedInsideSaleLeavesNothing();
    void failedWriteLeavesNothingForTheNextSale_data();
    void failedWriteLeavesNothingForTheNextSale();
    void startupsStopAtTheirMaximum();
    void saleDuringFailedSalesMessageIsStored();
    void salesKilledAtRandomStayConsistent();
};

void TestRuns::startCountdownAndEnd()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    SolarRow *row = console.row(1);
    console.MenuItemSolarClick(1);
    QCOMPARE(desk.m_dialogs.m_startedUnits, QList<int>({1}));
    QCOMPARE(desk.m_desk.portRegister(), quint8(0x01));
    QCOMPARE(row->EditSolarOdd()->text(), QString("01:30"));
    QCOMPARE(row->EditSolarMin()->text(), QString("01"));
    QCOMPARE(row->BitBtnSolar()->text(), QString("Stop [F1]"));
    QCOMPARE(console.MenuItemSolar(1)->text(), QString("Solárko 1 [Stop]"));
    QVERIFY(row->ImageSolar()->isVisibleTo(row));
    QVERIFY(!console.findChild<QAction *>("MenuItemSetupSolar")->isEnabled());

    tick(console, 1, 1);
    QCOMPARE(row->EditSolarOdd()->text(), QString("01:29"));
    tick(console, 1, 88);
    QVERIFY(desk.m_dialogs.m_stops.isEmpty());
    tick(console, 1, 1);
    QCOMPARE(desk.m_dialogs.m_stops.size(), 1);
    const StopFigures figures = desk.m_dialogs.m_stops.first();
    QVERIFY(!figures.stoppedEarly); // "Pokračovat" disabled
    QCOMPARE(figures.usedSeconds, 90);
    QCOMPARE(desk.m_desk.portRegister(), quint8(0));
    QVERIFY(!console.isCounting(1));
    QCOMPARE(row->BitBtnSolar()->text(), QString("Start [F1]"));
    QCOMPARE(console.MenuItemSolar(1)->text(), QString("Solárko 1 [Start]"));
    QCOMPARE(row->EditSolarOdd()->text(), QString("00:00")); // the row reset after "Zavřít"
    QVERIFY(console.findChild<QAction *>("MenuItemSetupSolar")->isEnabled());
    QCOMPARE(desk.receiptCount(), 1);
}

void TestRuns::unitChangesOnlyItsBit()
{
    ConsoleFixture desk;
    desk.m_desk.setPortRegister(0x81); // units 1 and 8 are on already
    desk.console().MenuItemSolarClick(3);
    QCOMPARE(desk.m_desk.portRegister(), quint8(0x85));
    desk.console().MenuItemSolarClick(3);
    QCOMPARE(desk.m_desk.portRegister(), quint8(0x81));
    desk.m_desk.setPortRegister(0);
}

void TestRuns::stopContinueStopAgain()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    console.MenuItemSolarClick(1);
    tick(console, 1, 10);
    quint8 registerWhileOpen = 0xff;
    desk.m_dialogs.m_whileStopOpen = [&](const StopFigures &) {
        registerWhileOpen = desk.m_desk.portRegister();
    };
    desk.m_dialogs.m_stopAnswers = {TFormStop::Continue};
    console.MenuItemSolarClick(1);
    QCOMPARE(registerWhileOpen, quint8(0)); // off while the dialog is open
    QVERIFY(desk.m_dialogs.m_stops.first().stoppedEarly);
    QCOMPARE(desk.m_desk.portRegister(), quint8(0x01));
    QVERIFY(console.isCounting(1));
    QCOMPARE(console.remainingSeconds(1), 80);
    QCOMPARE(desk.receiptCount(), 0);

    tick(console, 1, 1);
    QCOMPARE(console.row(1)->EditSolarOdd()->text(), QString("01:19"));
    console.MenuItemSolarClick(1);
    QCOMPARE(desk.m_dialogs.m_stops.last().usedSeconds, 11);
    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(desk.m_desk.portRegister(), quint8(0));
}

void TestRuns::ninetyNineSeconds()
{
    ConsoleFixture desk;
    desk.m_dialogs.m_start = StartInput{"00", "99", "0"};
    desk.console().MenuItemSolarClick(2);
    QCOMPARE(desk.console().row(2)->EditSolarOdd()->text(), QString("00:99"));
    tick(desk.console(), 2, 1);
    QCOMPARE(desk.console().row(2)->EditSolarOdd()->text(), QString("01:38"));
    desk.console().MenuItemSolarClick(2);
}

void TestRuns::pricing_data()
{
    QTest::addColumn<int>("usedSeconds");
    QTest::addColumn<double>("total");
    QTest::newRow("90 s rounds 12.75 up") << 90 << 13.0;
    QTest::newRow("60 s keeps the half") << 60 << 8.5;
}

void TestRuns::pricing()
{
    QFETCH(int, usedSeconds);
    QFETCH(double, total);
    ConsoleFixture desk;
    desk.m_dialogs.m_start = StartInput{"02", "00", "15"};
    desk.console().MenuItemSolarClick(4);
    tick(desk.console(), 4, usedSeconds);
    desk.console().MenuItemSolarClick(4);
    const StopFigures figures = desk.m_dialogs.m_stops.first();
    QCOMPARE(figures.discountedMinutePrice, 8.5);
    QCOMPARE(figures.total, total);
    QCOMPARE(desk.money(), total);
}

void TestRuns::receiptFieldsCountersAndBalance()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    desk.m_dialogs.m_start = StartInput{"10", "00", "15"};
    console.MenuItemSolarClick(3);
    desk.m_desk.m_clock.m_tick += 12; // the sale takes 12 ms by the clock
    tick(console, 3, 600);
    QCOMPARE(desk.m_dialogs.m_stops.size(), 1);

    Table &receipts = console.tableSaleSolars();
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
    QCOMPARE(logTexts(console),
             QStringList({"Transakce solárko[3]: OK [0 ms] [000000001]", "Databáze uložena"}));
}

void TestRuns::numberingContinuesFromHighest()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    QVERIFY(
        runSql(console.database(),
               "insert into SaleSolars values (41, '2026-01-01', '10:00:00', 1, 0, 21, 10.0, 0, "
               "60, 'Eva')"));
    QVERIFY(runSql(console.database(),
                   "insert into SaleSolars values (7, '2026-01-02', '10:00:00', 1, 0, 21, 10.0, 0, "
                   "60, 'Eva')"));
    QVERIFY(console.tableSaleSolars().setIndexName("DATE_")); // the browser's order plays no part
    console.MenuItemSolarClick(1);
    console.MenuItemSolarClick(1);
    QCOMPARE(logTexts(console).first(), QString("Transakce solárko[1]: OK [0 ms] [000000042]"));
}

void TestRuns::closeWithoutReceiptWritesJournal()
{
    ConsoleFixture desk;
    desk.m_settings.m_recordAll = false;
    desk.m_dialogs.m_start = StartInput{"10", "00", "15"};
    TFormVelmora &console = desk.console();
    console.MenuItemSolarClick(3);
    tick(console, 3, 600);
    QCOMPARE(desk.receiptCount(), 0);
    QStringList journal;
    QVERIFY(Cp1250Lines::read(Program().JournalFileName, &journal).ok());
    QCOMPARE(journal,
             QStringList({"9.12.2026  9:05:00  3    10,00 Kč  15 %   600 s  Administrator"}));
    QCOMPARE(Program().JournalLines, journal);
    QCOMPARE(desk.solarsValue(3, "COUNTER").toInt(), 600);
    QCOMPARE(desk.solarsValue(3, "STARTUP").toInt(), 1);
    QCOMPARE(desk.money(), 85.0);
    QCOMPARE(logTexts(console).first(), QString("Transakce solárko[3]: OK [0 ms] [-]"));
}

void TestRuns::printKeepsReceiptAndPrints()
{
    ConsoleFixture desk;
    desk.m_settings.m_recordAll = false;
    int printed = 0;
    desk.console().setReceiptPrinter([&] { ++printed; });
    desk.m_dialogs.m_stopAnswers = {TFormStop::Print};
    desk.console().MenuItemSolarClick(1);
    desk.console().MenuItemSolarClick(1);
    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(printed, 1);
    QVERIFY(!QFile::exists(Program().JournalFileName));
}

void TestRuns::failingMoneyPostRollsBack()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    QVERIFY(runSql(console.database(), "create trigger refuse before update on Money begin "
                                       "select raise(abort, 'zkušební chyba'); end"));
    int printed = 0;
    console.setReceiptPrinter([&] { ++printed; });
    desk.m_dialogs.m_stopAnswers = {TFormStop::Print};
    console.MenuItemSolarClick(2);
    tick(console, 2, 30);
    console.MenuItemSolarClick(2);

    QCOMPARE(desk.receiptCount(), 0);
    QCOMPARE(desk.solarsValue(2, "COUNTER").toInt(), 0);
    QCOMPARE(desk.solarsValue(2, "STARTUP").toInt(), 0);
    QCOMPARE(desk.money(), 0.0);
    QCOMPARE(printed, 0);
    const QList<Hook::Message> shown = Hook::takeMessages();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).text, QString("Chyba při zápisu do databáze..."));
    QVERIFY2(shown.at(0).detail.startsWith("Post Error: ") &&
                 shown.at(0).detail.endsWith(" [TableMoney]"),
             qPrintable(shown.at(0).detail));
    QVERIFY2(shown.at(1).text.startsWith("Error ["), qPrintable(shown.at(1).text));
    QCOMPARE(logTexts(console),
             QStringList({"Transakce [2]: CHYBA",
                          "Neuložený prodej solárko[2]: 30 s, cena 10,00 Kč/min, sleva 0 %, "
                          "celkem 5,00 Kč, uživatel [Administrator]"}));
    QCOMPARE(console.row(2)->EditSolarOdd()->text(), QString("00:00")); // Ready, the row reset
    QCOMPARE(desk.m_desk.portRegister(), quint8(0));
}

void TestRuns::directInputStartsFromTheRow_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<bool>("starts");
    QTest::newRow("one and a half minutes") << "01"
                                            << "30" << true;
    QTest::newRow("zero") << "00"
                          << "00" << false;
    QTest::newRow("one digit") << "5"
                               << "00" << false;
}

void TestRuns::directInputStartsFromTheRow()
{
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    QFETCH(bool, starts);
    ConsoleFixture desk({}, {}, false);
    desk.m_settings.m_useDialogs = false;
    desk.show();
    SolarRow *row = desk.console().row(5);
    row->EditSolarMin()->setText(minutes);
    row->EditSolarSec()->setText(seconds);
    desk.console().MenuItemSolarClick(5);
    QVERIFY(desk.m_dialogs.m_startedUnits.isEmpty()); // no dialog in direct input
    QCOMPARE(desk.m_desk.portRegister(), quint8(starts ? 0x10 : 0));
    if (!starts)
        return;
    QCOMPARE(row->EditSolarOdd()->text(), QString("01:30"));
    QVERIFY(!row->EditSolarMin()->isEnabled());
    QVERIFY(row->BitBtnSolar()->isEnabled()); // it stops the run now
    desk.console().MenuItemSolarClick(5);
    QCOMPARE(row->EditSolarMin()->text(), QString("00"));
    QVERIFY(row->EditSolarMin()->isEnabled());
    QCOMPARE(desk.receiptCount(), 1);
}

void TestRuns::secondStopDialogOnTop()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    desk.m_dialogs.m_start = StartInput{"00", "20", "0"};
    console.MenuItemSolarClick(1);
    desk.m_dialogs.m_start = StartInput{"00", "10", "10"};
    console.MenuItemSolarClick(2);
    tick(console, 1, 5);
    tick(console, 2, 5);
    // While unit 1's stop dialog is open, unit 2's countdown runs out.
    bool nested = false;
    desk.m_dialogs.m_whileStopOpen = [&](const StopFigures &figures) {
        if (figures.unit == 1 && !nested) {
            nested = true;
            tick(console, 2, 5);
        }
    };
    console.MenuItemSolarClick(1);
    QCOMPARE(desk.m_dialogs.m_stops.size(), 2);
    QCOMPARE(desk.m_dialogs.m_stops.at(0).unit, 1);
    QCOMPARE(desk.m_dialogs.m_stops.at(0).usedSeconds, 5);
    QCOMPARE(desk.m_dialogs.m_stops.at(1).unit, 2);
    QCOMPARE(desk.m_dialogs.m_stops.at(1).usedSeconds, 10);
    QCOMPARE(desk.m_dialogs.m_stops.at(1).discountedMinutePrice, 9.0);
    QCOMPARE(desk.receiptCount(), 2);
    QCOMPARE(desk.money(), 1.0 + 1.5); // 0,83 rounds to 1; 1,50 keeps its half
}

void TestRuns::countdownEndRecordsEvenWithBitCleared()
{
    ConsoleFixture desk;
    desk.console().MenuItemSolarClick(6);
    desk.m_desk.setPortRegister(0); // cleared behind the program's back
    tick(desk.console(), 6, 90);
    QCOMPARE(desk.m_dialogs.m_stops.size(), 1);
    QVERIFY(desk.m_dialogs.m_startedUnits == QList<int>({6}));
    QCOMPARE(desk.receiptCount(), 1);
}

void TestRuns::killedInsideSaleLeavesNothing()
{
    DeskFixture desk;
    {
        Database database;
        QVERIFY(database.connectDirectory(desk.dataDirectory()));
        // The unit's counters are updated inside the sale; this trigger keeps that busy.
        QVERIFY(runSql(database, "create trigger Solars.slow before update on Solars begin select "
                                 "count(*) from Solars a, Solars b, Solars c, Solars d, Solars e, "
                                 "Solars f, Solars g, Solars h, Solars i; end"));
    }
    QProcess child;
    child.start(QCoreApplication::applicationDirPath() + "/tst_runs_salechild",
                {desk.dataDirectory()});
    QVERIFY(child.waitForReadyRead(10000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("selling"));
    QTest::qWait(400); // inside the transaction: the receipt is written, the counters not yet
    const qint64 pid = child.processId();
    QVERIFY2(child.state() == QProcess::Running && pid > 0, "the sale ended before the kill");
    ::kill(pid_t(pid), SIGKILL);
    QVERIFY(child.waitForFinished(5000));

    Database database;
    QVERIFY(database.connectDirectory(desk.dataDirectory()));
    Query check(&database);
    check.setSql("select (select count(*) from SaleSolars), (select COUNTER from Solars where "
                 "SOLAR = 1), (select MONEY from Money)");
    QVERIFY(check.exec() && check.first());
    QCOMPARE(check.value(0).toInt(), 0);
    QCOMPARE(check.value(1).toInt(), 0);
    QCOMPARE(check.value(2).toDouble(), 0.0);
}

void TestRuns::failedWriteLeavesNothingForTheNextSale_data()
{
    QTest::addColumn<QString>("table"); // the trigger lives in the table's own file
    QTest::addColumn<QString>("write");
    QTest::newRow("receipt") << "SaleSolars"
                             << "insert";
    QTest::newRow("unit counters") << "Solars"
                                   << "update";
    QTest::newRow("cash balance") << "main"
                                  << "update";
}

void TestRuns::failedWriteLeavesNothingForTheNextSale()
{
    QFETCH(QString, table);
    QFETCH(QString, write);
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    const QString target = table == "main" ? "Money" : table;
    QVERIFY(runSql(console.database(), QString("create trigger %1.refuse before %2 on %3 begin "
                                               "select raise(abort, 'zkušební chyba'); end")
                                           .arg(table, write, target)));
    console.MenuItemSolarClick(1);
    tick(console, 1, 30);
    console.MenuItemSolarClick(1); // fails
    QVERIFY(runSql(console.database(), QString("drop trigger %1.refuse").arg(table)));
    console.MenuItemSolarClick(1);
    tick(console, 1, 60);
    console.MenuItemSolarClick(1);

    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(desk.solarsValue(1, "COUNTER").toInt(), 60);
    QCOMPARE(desk.solarsValue(1, "STARTUP").toInt(), 1);
    QCOMPARE(desk.money(), 10.0);
}

void TestRuns::startupsStopAtTheirMaximum()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    QVERIFY(runSql(console.database(), "update Solars set STARTUP = 32766 where SOLAR = 1"));
    for (int run = 0; run < 2; ++run) {
        console.MenuItemSolarClick(1);
        tick(console, 1, 60);
        console.MenuItemSolarClick(1);
    }
    QCOMPARE(desk.solarsValue(1, "STARTUP").toInt(), 32767);
    QCOMPARE(desk.solarsValue(1, "COUNTER").toInt(), 120);
    QCOMPARE(desk.money(), 20.0);
    QCOMPARE(desk.receiptCount(), 2);
    QCOMPARE(logTexts(console).filter("Počet startů").size(), 1);
}

void TestRuns::saleDuringFailedSalesMessageIsStored()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    QVERIFY(
        runSql(console.database(),
               "create trigger SaleSolars.refuse before insert on SaleSolars when new.SOLAR = 2 "
               "begin "
               "select raise(abort, 'zkušební chyba'); end"));
    console.MenuItemSolarClick(1);
    console.MenuItemSolarClick(2);
    tick(console, 2, 30);
    // While unit 2's error is shown, unit 1's countdown runs out and its sale is recorded.
    Hook::setWhileShown([&](const Hook::Message &) {
        Hook::setWhileShown({});
        tick(console, 1, 90);
    });
    console.MenuItemSolarClick(2);
    Hook::setWhileShown({});

    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(desk.solarsValue(1, "COUNTER").toInt(), 90);
    QCOMPARE(desk.money(), 15.0);
    QVERIFY(logTexts(console).contains("Transakce solárko[1]: OK [0 ms] [000000001]"));
    QVERIFY(logTexts(console).contains("Transakce [2]: CHYBA"));
    const QList<Hook::Message> shown = Hook::takeMessages();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).text, QString("Chyba při zápisu do databáze..."));
    QVERIFY2(shown.at(1).text.startsWith("Error ["), qPrintable(shown.at(1).text));
}

void TestRuns::salesKilledAtRandomStayConsistent()
{
    // A desk killed at any moment of its sales: every sale is in all three tables or in none.
    DeskFixture desk;
    QRandomGenerator random(20261209);
    qint64 receipts = 0;
    for (int kill = 0; kill < 100; ++kill) {
        QProcess child;
        child.start(QCoreApplication::applicationDirPath() + "/tst_runs_salechild",
                    {desk.dataDirectory(), "loop"});
        QVERIFY(child.waitForReadyRead(10000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("selling"));
        ::usleep(random.bounded(20000));
        QVERIFY2(child.state() == QProcess::Running, "a sale failed");
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(5000));

        // The restart: its first read rolls back what the killed sale left unfinished.
        Database database;
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
        receipts = totals.value(0).toLongLong();
        QCOMPARE(totals.value(1).toLongLong(), 1); // numbered from 1 without gaps
        QCOMPARE(totals.value(2).toLongLong(), receipts);
        QCOMPARE(totals.value(4).toDouble(), totals.value(3).toDouble());
        // Super-journals do not pile up: one may stay while a journal not yet overwritten names it.
        QVERIFY(QDir(desk.dataDirectory()).entryList({"Money.DB-mj*"}).size() <= 1);
    }
    QVERIFY(receipts > 0);
}

QTEST_MAIN(TestRuns)
#include "tst_runs.moc"
