#include "data/database.h"
#include "data/internal/sqlconnection.h"
#include "data/tablesnapshot.h"
#include "desk/salonschema.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

namespace {

bool exec(Database &database, const QString &sql)
{
    EngineError error;
    return database.connection()->exec(sql, {}, &error);
}

// A sale as the desk records it: the receipt, the unit's counter and the cash, in one
// transaction.
bool sell(Database &database, int paragon)
{
    return database.startTransaction() &&
           exec(database, QString("insert into SaleSolars values (%1, '2026-12-10', '10:00:00', "
                                  "2, 0, 21, 10.0, 0, 60, 'Eva')")
                              .arg(paragon)) &&
           exec(database, "update Solars set COUNTER = COUNTER + 60 where SOLAR = 2") &&
           exec(database, "update Money set MONEY = MONEY + 10") && database.commit();
}

// One number from a copied table file, read without the program's engine.
double single(const QString &file, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    double value = -1;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK &&
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_double(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
}

} // namespace

class TestTableSnapshot : public QObject
{
    Q_OBJECT

private slots:
    void saleDuringTheCopy_data();
    void saleDuringTheCopy();
    void failedCopyLeavesNoFile();
};

void TestTableSnapshot::saleDuringTheCopy_data()
{
    QTest::addColumn<int>("saleAtStep"); // 0: none
    QTest::newRow("no sale") << 0;
    QTest::newRow("sale after the first step") << 1;
    QTest::newRow("sale near the end") << 40;
    QTest::newRow("two sales") << -1; // after the first and the tenth step
}

void TestTableSnapshot::saleDuringTheCopy()
{
    QFETCH(int, saleAtStep);
    QTemporaryDir dir;
    QString error;
    const QString data = dir.filePath("data");
    const QString folder = dir.filePath("backup");
    QVERIFY(QDir().mkpath(data) && QDir().mkpath(folder));
    QVERIFY2(createInstallation(data, &error), qPrintable(error));
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(data) && database.openFiles());
    QVERIFY(database.startTransaction());
    QVERIFY(exec(database, "with recursive n(i) as (select 1 union all select i + 1 from n "
                           "where i < 20000) insert into SaleSolars select i, '2026-01-01', "
                           "'09:00:00', 1, 0, 21, 10.0, 0, 60, 'Petra' from n"));
    QVERIFY(database.commit());
    // An older set in the folder, replaced as a whole.
    for (const QString &file : database.tableFiles())
        QVERIFY(QFile::copy(QDir(data).filePath(file), QDir(folder).filePath(file)));

    TableSnapshot snapshot(database, 4);
    int steps = 0;
    int sold = 0;
    snapshot.setBetweenSteps([&] {
        ++steps;
        if (steps == saleAtStep || (saleAtStep < 0 && (steps == 1 || steps == 10)))
            QVERIFY(sell(database, 30000 + ++sold));
    });
    QVERIFY2(snapshot.copyTo(folder), qPrintable(snapshot.error()));
    QVERIFY2(steps > 40, qPrintable(QString("%1 steps").arg(steps)));
    QCOMPARE(sold, saleAtStep == 0 ? 0 : saleAtStep < 0 ? 2 : 1);

    const QDir copied(folder);
    QCOMPARE(copied.entryList(QDir::Files),
             (QStringList{"Money.DB", "SaleSolars.DB", "Solars.DB"}));
    for (const QString &file : database.tableFiles()) {
        sqlite3 *db = nullptr;
        QVERIFY(sqlite3_open(QFile::encodeName(copied.filePath(file)).constData(), &db) ==
                SQLITE_OK);
        char *result = nullptr;
        char **table = nullptr;
        int rows = 0, columns = 0;
        sqlite3_get_table(db, "PRAGMA quick_check", &table, &rows, &columns, &result);
        QCOMPARE(QString(table && rows == 1 ? table[1] : "?"), QString("ok"));
        sqlite3_free_table(table);
        sqlite3_close(db);
    }
    // Every sale in all three copies.
    QCOMPARE(single(copied.filePath("SaleSolars.DB"), "select count(*) from SaleSolars"),
             20000.0 + sold);
    QCOMPARE(single(copied.filePath("Money.DB"), "select MONEY from Money"), 10.0 * sold);
    QCOMPARE(single(copied.filePath("Solars.DB"), "select COUNTER from Solars where SOLAR = 2"),
             60.0 * sold);
}

void TestTableSnapshot::failedCopyLeavesNoFile()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY2(createInstallation(dir.path(), &error), qPrintable(error));
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(dir.path()));
    TableSnapshot snapshot(database);
    QVERIFY(!snapshot.copyTo(dir.filePath("chybí")));
    const QString expected("Do adresáře %1 nelze zapisovat: Soubor databáze nelze otevřít");
    QCOMPARE(snapshot.error(), expected.arg(dir.filePath("chybí")));
    QVERIFY(!QFile::exists(dir.filePath("chybí")));
}

QTEST_MAIN(TestTableSnapshot)
#include "tst_tablesnapshot.moc"
