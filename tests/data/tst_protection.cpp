// Tables protected with the table password: what is on disk, what the engine gives back.
#include "data/database.h"
#include "data/query.h"
#include "data/table.h"
#include "data/tablekeys.h"
#include "data/tablesnapshot.h"
#include "fakes/tableinstallation.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Password = QStringLiteral("Heslo-tabulek 1");
const QString Customer = QStringLiteral("Jana Nováková");

// Connected, with the helpers of the protection tests.
struct Installation : TableInstallation
{
    Installation()
    {
        if (!connect())
            qFatal("cannot connect to %s", qPrintable(dir.path()));
    }
    QString file(const QString &name) const { return dir.filePath(name); }
    QList<Table *> tables() { return {&money, &solars, &sales}; }

    bool fill(int receipts)
    {
        if (!sales.open())
            return false;
        for (int i = 1; i <= receipts; ++i) {
            if (!sales.append({i, QDate(2026, 1, 1).addDays(i % 300), QTime(9, i % 60), i % 8 + 1,
                               false, 21, 10.0, 0, 60 + i, Customer}))
                return false;
        }
        sales.close();
        return true;
    }
    // Every table packed with the protection asked for.
    bool protect(bool on, const QStringList &names = {"Money.DB", "Solars.DB", "SaleSolars.DB"})
    {
        for (Table *table : tables()) {
            table->close();
            if (names.contains(table->fileName()) && table->restructure(true, on) != 0)
                return false;
        }
        return true;
    }
    QVariantList row(const QString &sql)
    {
        Query query(&database);
        query.setSql(sql);
        return query.exec() && query.first() ? query.values() : QVariantList();
    }
};

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void flipByte(const QString &path, qint64 offset)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(offset));
    char byte = 0;
    QVERIFY(file.getChar(&byte));
    QVERIFY(file.seek(offset));
    QVERIFY(file.putChar(char(byte ^ 0x10)));
}

const char *const Summary = "select count(*), sum(PERIOD), min(USER), max(PARAGON) from SaleSolars";

} // namespace

class TestProtection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TableKeys::registerPassword(Password); }
    void protectedFilesHideEverything();
    void protectedAndPlainFilesShareATransaction();
    void packOnOffOnKeepsRecordsAndIndexes();
    void damageOrWrongKeyIsAnError_data();
    void damageOrWrongKeyIsAnError();
    void backupsOfProtectedTablesStayProtected();
};

void TestProtection::protectedFilesHideEverything()
{
    Installation installation;
    QVERIFY(installation.fill(300));
    const QVariantList before = installation.row(Summary);
    QVERIFY(installation.protect(true));
    for (const char *name : {"Money.DB", "Solars.DB", "SaleSolars.DB"}) {
        const QByteArray bytes = bytesOf(installation.file(name));
        QVERIFY(!bytes.isEmpty());
        QVERIFY2(!bytes.contains("SQLite") && !bytes.contains("SaleSolars") &&
                     !bytes.contains(Customer.toUtf8()) && !bytes.contains("PARAGON"),
                 qPrintable(name));
        QProcess shell;
        shell.start(QStringLiteral("sqlite3"),
                    {installation.file(name), QStringLiteral("select * from sqlite_schema")});
        QVERIFY(shell.waitForFinished(10000));
        QVERIFY(shell.exitCode() != 0);
        QVERIFY(shell.readAllStandardError().contains("not a database"));
    }
    QCOMPARE(installation.row(Summary), before);
    // The receipts stay writable, the new pages as hidden as the old.
    QVERIFY(installation.sales.open());
    QVERIFY(installation.sales.append(
        {301, QDate(2026, 12, 10), QTime(10, 0), 1, false, 21, 10.0, 0, 60, "Věra Malá"}));
    installation.sales.close();
    QVERIFY(!bytesOf(installation.file("SaleSolars.DB")).contains("Malá"));
    QCOMPARE(installation.row(Summary).value(0).toInt(), 301);
}

void TestProtection::protectedAndPlainFilesShareATransaction()
{
    Installation installation;
    QVERIFY(installation.fill(10));
    QVERIFY(installation.protect(true, {"SaleSolars.DB"}));
    QVERIFY(bytesOf(installation.file("Money.DB")).startsWith("SQLite format 3"));
    Database &database = installation.database;
    for (const bool commit : {false, true}) {
        QVERIFY(database.startTransaction());
        QVERIFY(installation.row("update Money set MONEY = MONEY + 70 returning MONEY").size() ==
                1);
        QVERIFY(installation.sales.open());
        QVERIFY(installation.sales.append(
            {11, QDate(2026, 12, 10), QTime(10, 0), 1, false, 21, 10.0, 0, 70, Customer}));
        // The rollback journal of the protected file holds its old pages enciphered.
        const QByteArray journal = bytesOf(installation.file("SaleSolars.DB-journal"));
        QVERIFY(journal.startsWith("VLMJ"));
        QVERIFY(!journal.contains(Customer.toUtf8()) && !journal.contains("SQLite"));
        QVERIFY(commit ? database.commit() : database.rollback());
        installation.sales.close();
        QCOMPARE(installation.row("select (select MONEY from Money), count(*) from SaleSolars"),
                 QVariantList({commit ? 70.0 : 0.0, qint64(commit ? 11 : 10)}));
    }
}

void TestProtection::packOnOffOnKeepsRecordsAndIndexes()
{
    Installation installation;
    QVERIFY(installation.fill(500));
    QVERIFY(installation.sales.open());
    const QList<IndexDefinition> indexes = installation.sales.indexDefinitions();
    installation.sales.close();
    const QVariantList before = installation.row(Summary);
    for (const bool on : {true, false, true}) {
        QVERIFY(installation.protect(on));
        QCOMPARE(bytesOf(installation.file("SaleSolars.DB")).startsWith("SQLite format 3"), !on);
        QVERIFY(!QFileInfo::exists(installation.file("SaleSolars.DB.pack")));
        QCOMPARE(installation.row(Summary), before);
        QCOMPARE(installation.row("pragma SaleSolars.integrity_check"), QVariantList({"ok"}));
        QVERIFY(installation.sales.open());
        QCOMPARE(installation.sales.indexDefinitions().size(), indexes.size());
        QVERIFY(installation.sales.setIndexName(QStringLiteral("USER_")));
        QVERIFY(installation.sales.first());
        QCOMPARE(installation.sales.value("USER").toString(), Customer);
        installation.sales.close();
    }
}

void TestProtection::damageOrWrongKeyIsAnError_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<qint64>("flippedAt"); // -1: none
    QTest::newRow("wrong password") << "Heslo-tabulek 2" << qint64(-1);
    QTest::newRow("salt in the header") << Password << qint64(6);
    QTest::newRow("first page") << Password << qint64(100);
    QTest::newRow("tag of the first page") << Password << qint64(4090);
    QTest::newRow("a later page") << Password << qint64(4096 + 2000);
}

void TestProtection::damageOrWrongKeyIsAnError()
{
    QFETCH(QString, password);
    QFETCH(qint64, flippedAt);
    Installation installation;
    QVERIFY(installation.fill(300));
    QVERIFY(installation.protect(true));
    installation.database.disconnect();
    if (flippedAt >= 0)
        flipByte(installation.file("SaleSolars.DB"), flippedAt);
    TableKeys::registerPassword(password);
    QVERIFY(installation.database.connectDirectory(installation.dir.path()));
    Query query(&installation.database);
    // Page 2 is the receipts' root: a scan of the records reads it.
    query.setSql(QStringLiteral("select count(*), sum(PERIOD) from SaleSolars not indexed"));
    const bool read = query.exec() && query.first();
    TableKeys::registerPassword(Password);
    QVERIFY2(!read, qPrintable(query.value(0).toString()));
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::CannotDecipher));
    QVERIFY(Engine::lastError().message.contains(QStringLiteral("Tabulku nelze dešifrovat")));
}

void TestProtection::backupsOfProtectedTablesStayProtected()
{
    Installation installation;
    QVERIFY(installation.fill(50));
    QVERIFY(installation.protect(true, {"Money.DB", "SaleSolars.DB"}));
    QTemporaryDir backup;
    TableSnapshot snapshot(installation.database, 4);
    QVERIFY2(snapshot.copyTo(backup.path()), qPrintable(snapshot.error()));
    QVERIFY(!bytesOf(backup.filePath("SaleSolars.DB")).contains("SQLite"));
    QVERIFY(bytesOf(backup.filePath("Solars.DB")).startsWith("SQLite format 3"));
    Database copy{deskDatabaseSchema()};
    QVERIFY(copy.connectDirectory(backup.path()));
    Query query(&copy);
    query.setSql(QString::fromLatin1(Summary));
    QVERIFY(query.exec() && query.first());
    QCOMPARE(query.value(0).toInt(), 50);
    QCOMPARE(query.value(2).toString(), Customer);
}

QTEST_GUILESS_MAIN(TestProtection)
#include "tst_protection.moc"
