#include "deskfixture.h"

#include "data/table.h"
#include "data/tablekeys.h"
#include "desk/salonschema.h"
#include "startup/databasemaintenance.h"
#include "startup/forminitialization.h"
#include "ui/common/messagedialogs.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QTest>

#include <sqlite3.h>

namespace {

// Every state of the progress window's last line, as the routines replace it.
class ProgressTrace
{
public:
    ProgressTrace()
    {
        QObject::connect(m_window.Memo(), &QPlainTextEdit::textChanged, &m_window, [this] {
            m_states << m_window.lines().value(m_window.lines().size() - 1);
        });
    }
    QStringList states() const { return m_states; }
    QStringList lines() const { return m_window.lines(); }

private:
    TFormInitialization m_window;
    QStringList m_states;
};

namespace Hook = MessageDialogsTestHook;

QList<Table *> tablesOf(Desk &desk)
{
    return {&desk.tableMoney(), &desk.tableSolars(), &desk.tableSaleSolars()};
}

// The progress lines of the regeneration and the pack, each table's step ending as given.
QStringList upkeepLines(bool regenerate, bool pack, const QString &saleSolarsEnd = "Ok")
{
    QStringList lines;
    for (const auto &[asked, step] :
         {std::pair{regenerate, "Obnova indexů: "}, {pack, "Komprimace: "}})
        for (const char *table : {"MONEY.DB", "SOLARS.DB", "SALESOLARS.DB"})
            if (asked)
                lines << QString(step) + table
                      << (QString(table) == "SALESOLARS.DB" ? saleSolarsEnd : "Ok");
    return lines;
}

} // namespace

class TestMaintenance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        MessageDialogsTestHook::engage();
        setDatabaseErrorSource([] {
            const EngineError error = Engine::lastError();
            return DatabaseError{error.code, error.message};
        });
    }
    void rebuildIndexesReportsFigures();
    void purgeOldReceipts_data();
    void purgeOldReceipts();
    void fileRoutines();
    void purgeShowsARunningCount();
    void heldOrDamagedFileAsksOnlyForItself_data();
    void heldOrDamagedFileAsksOnlyForItself();
    void oneRebuildKeepsTheData_data();
    void oneRebuildKeepsTheData();
};

void TestMaintenance::rebuildIndexesReportsFigures()
{
    RunsFixture desk;
    Table &sales = desk.m_desk.tableSaleSolars();
    const int indexes = int(sales.indexDefinitions().size());
    QCOMPARE(indexes, 17);
    ProgressTrace trace;
    QCOMPARE(RebuildIndexes(sales, SaleSolarsIndexes), Upkeep::Done);
    QCOMPARE(RebuildIndexes(desk.m_desk.tableMoney(), MoneyIndexes), Upkeep::Done);
    const QStringList states = trace.states();
    const QStringList removal = states.filter("Odebírání");
    QCOMPARE(removal.mid(0, 2), (QStringList{"Odebírání: 0%", "Odebírání: 6%"}));
    QCOMPARE(removal.at(17), QString("Odebírání: 100%"));
    QCOMPARE(states.filter("Vytváření").mid(0, 10),
             (QStringList{"Vytváření: 0%", "Vytváření: 11%", "Vytváření: 22%", "Vytváření: 33%",
                          "Vytváření: 44%", "Vytváření: 56%", "Vytváření: 67%", "Vytváření: 78%",
                          "Vytváření: 89%", "Vytváření: 100%"}));
    QCOMPARE(states.filter("Vytváření").last(), QString("Vytváření: 100%")); // Money's one entry
    QCOMPARE(trace.lines(), (QStringList{"Odebrání a vytvoření indexů pro: SALESOLARS.DB", "Ok",
                                         "Odebrání a vytvoření indexů pro: MONEY.DB", "Ok"}));
    QCOMPARE(int(sales.indexDefinitions().size()), indexes);
    QVERIFY(!sales.exclusive() && !sales.isOpen());
}

void TestMaintenance::purgeOldReceipts_data()
{
    QTest::addColumn<QStringList>("dates"); // of the receipts numbered 1, 2, ...
    QTest::addColumn<int>("days");
    QTest::addColumn<QList<int>>("kept");
    // Today is 9.12.2026.
    QTest::newRow("up to the first one of today")
        << QStringList{"2026-12-01", "2026-12-05", "2026-12-09", "2026-12-02"} << 0
        << QList<int>{3, 4};
    QTest::newRow("never the last one")
        << QStringList{"2026-11-01", "2026-11-02", "2026-11-03"} << 0 << QList<int>{3};
    QTest::newRow("a single year-old receipt") << QStringList{"2025-12-01"} << 0 << QList<int>{1};
    QTest::newRow("within the limit")
        << QStringList{"2026-12-01", "2026-12-05"} << 30 << QList<int>{1, 2};
}

void TestMaintenance::purgeOldReceipts()
{
    QFETCH(QStringList, dates);
    QFETCH(int, days);
    QFETCH(QList<int>, kept);
    RunsFixture desk;
    Database &database = desk.m_desk.database();
    for (int i = 0; i < dates.size(); ++i)
        QVERIFY(runSql(database, QString("insert into SaleSolars values (%1, '%2', '10:00:00', 1, "
                                         "0, 21, 10.0, 0, 60, 'Eva')")
                                     .arg(i + 1)
                                     .arg(dates.at(i))));
    ProgressTrace trace;
    QVERIFY(PurgeOldReceipts(desk.m_desk.tableSaleSolars(), days, desk.m_desk.databaseSaver()));
    QList<int> left;
    for (int paragon = 1; paragon <= dates.size(); ++paragon) {
        if (queryValue(database,
                       QString("select count(*) from SaleSolars where PARAGON = %1").arg(paragon))
                .toInt())
            left << paragon;
    }
    QCOMPARE(left, kept);
    QCOMPARE(trace.lines(),
             (QStringList{QString("Vymazání záznamů s doklady: %1").arg(dates.size() - kept.size()),
                          "Ok"}));
}

void TestMaintenance::fileRoutines()
{
    RunsFixture desk;
    const QString data = desk.m_installation.dataDirectory();
    for (const char *file : {"SaleSolars.PX", "SaleSolars.XG0", "SaleSolars.DB-journal"})
        QVERIFY(runSql(desk.m_desk.database(), "select 1") &&
                QFile(data + "/" + file).open(QIODevice::WriteOnly));
    ProgressTrace trace;
    QVERIFY(DeleteControlFiles(desk.m_installation.path("prázdná")));
    DeleteIndexFiles(data);
    QCOMPARE(trace.lines().mid(0, 2),
             (QStringList{"Vymazání řídících souborů z adresáře: " +
                              desk.m_installation.path("prázdná").toUpper(),
                          "Ok"}));
    QCOMPARE(QDir(data).entryList({"SaleSolars.*"}),
             (QStringList{"SaleSolars.DB", "SaleSolars.DB-journal"}));
}

void TestMaintenance::purgeShowsARunningCount()
{
    RunsFixture desk;
    QVERIFY(runSql(desk.m_desk.database(),
                   "insert into SaleSolars with recursive n(i) as (select 1 union all select i + 1 "
                   "from n where i < 12001) select i, iif(i = 12001, '2026-12-09', '2025-01-01'), "
                   "'10:00:00', 1, 0, 21, 10.0, 0, 60, 'Eva' from n"));
    ProgressTrace trace;
    QVERIFY(PurgeOldReceipts(desk.m_desk.tableSaleSolars(), 0, desk.m_desk.databaseSaver()));
    QList<int> counts;
    for (const QString &state : trace.states().filter("Vymazání záznamů s doklady: "))
        counts << state.section(": ", 1).toInt();
    QVERIFY(counts.size() >= 3 && std::is_sorted(counts.begin(), counts.end()));
    QVERIFY(counts.first() < counts.last() && counts.last() == 12000);
}

void TestMaintenance::heldOrDamagedFileAsksOnlyForItself_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<bool>("openBefore"); // the files open before it is held or damaged
    QTest::newRow("held by another connection") << false << false;
    QTest::newRow("held after the files opened") << false << true;
    QTest::newRow("truncated") << true << false;
}

void TestMaintenance::heldOrDamagedFileAsksOnlyForItself()
{
    QFETCH(bool, damaged);
    QFETCH(bool, openBefore);
    RunsFixture desk;
    const QString receipts = desk.m_installation.dataDirectory() + "/SaleSolars.DB";
    desk.m_desk.closeTables();
    if (!openBefore) {
        desk.m_desk.database().disconnect();
        QVERIFY(desk.m_desk.database().connectDirectory(desk.m_installation.dataDirectory()));
    }
    sqlite3 *other = nullptr;
    if (damaged)
        QVERIFY(QFile::resize(receipts, QFileInfo(receipts).size() / 2));
    else
        QVERIFY(sqlite3_open(QFile::encodeName(receipts).constData(), &other) == SQLITE_OK &&
                sqlite3_exec(other, "begin exclusive", nullptr, nullptr, nullptr) == SQLITE_OK);
    ProgressTrace trace;
    RegenerateAndPackTables(tablesOf(desk.m_desk), true, true, false);
    sqlite3_close(other);
    QCOMPARE(trace.lines(), upkeepLines(true, true, "Error"));
    QStringList shown;
    for (const Hook::Message &message : Hook::takeMessages())
        shown << message.text + " | " + message.detail.section(" [", 0, 0);
    const QString question =
        "SaleSolars.DB nelze otevřít... | Opakovat pokus o otevření s výhradním přístupem ?";
    const QString damage = QString("Error [%1] | SaleSolars.DB: Soubor databáze je poškozen")
                               .arg(quint16(EngineErrorCode::SqliteBase) + SQLITE_CORRUPT);
    QCOMPARE(shown, QStringList(2, damaged ? damage : question));
}

void TestMaintenance::oneRebuildKeepsTheData_data()
{
    QTest::addColumn<bool>("regenerate");
    QTest::addColumn<bool>("pack");
    QTest::addColumn<bool>("secured");
    QTest::addColumn<bool>("protectedAfter");
    QTest::newRow("both, plain") << true << true << false << false;
    QTest::newRow("both, protected") << true << true << true << true;
    // Only the pack sets the protection: a protected file regenerated alone stays protected.
    QTest::newRow("regeneration alone") << true << false << false << true;
}

void TestMaintenance::oneRebuildKeepsTheData()
{
    QFETCH(bool, regenerate);
    QFETCH(bool, pack);
    QFETCH(bool, secured);
    QFETCH(bool, protectedAfter);
    TableKeys::registerPassword("heslo údržby");
    RunsFixture desk;
    Database &database = desk.m_desk.database();
    QVERIFY(runSql(database, "insert into SaleSolars with recursive n(i) as (select 1 union all "
                             "select i + 1 from n where i < 300) select i, '2026-12-01', "
                             "'10:00:00', i % 8 + 1, i % 2, 21, i * 0.5, i % 30, i, 'Eva' || i "
                             "from n"));
    const char *fingerprint = "select count(*) || sum(PARAGON * PERIOD) || total(PRICE) || "
                              "group_concat(USER) from SaleSolars";
    const QString before = queryValue(database, fingerprint).toString();
    database.disconnect();
    QVERIFY(database.connectDirectory(desk.m_installation.dataDirectory()));
    if (!pack)
        RegenerateAndPackTables(tablesOf(desk.m_desk), false, true, true); // protected first
    ProgressTrace trace;
    RegenerateAndPackTables(tablesOf(desk.m_desk), regenerate, pack, secured);
    QCOMPARE(trace.lines(), upkeepLines(regenerate, pack));
    QVERIFY(Hook::takeMessages().isEmpty());
    QFile receipts(desk.m_installation.dataDirectory() + "/SaleSolars.DB");
    QVERIFY(receipts.open(QIODevice::ReadOnly));
    QCOMPARE(receipts.read(6) != "SQLite", protectedAfter);
    QCOMPARE(queryValue(database, fingerprint).toString(), before);
    QCOMPARE(queryValue(database, "select * from pragma_integrity_check('SaleSolars')").toString(),
             QString("ok"));
}

QTEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
