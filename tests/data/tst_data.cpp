#include "core/pricing.h"
#include "data/database.h"
#include "data/internal/sqlconnection.h"
#include "data/internal/superjournals.h"
#include "data/query.h"
#include "data/table.h"
#include "data/tablemodel.h"
#include "fakes/tableinstallation.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <QtEndian>

#include <sqlite3.h>

#include <algorithm>
#include <csignal>

namespace {

QVariantList receipt(int paragon, const QDate &date, const QTime &time, int solar, int price,
                     int off, int period, const QString &user)
{
    return {paragon, date, time, solar, false, 21, double(price), off, period, user};
}

// The rows the navigation tests walk: receipt numbers out of insertion order, many duplicates.
struct Row
{
    int paragon;
    QString date;
    QString time;
    int solar;
    double price;
    int off;
    int period;
    QString user;
};

QList<Row> sampleRows()
{
    const QStringList users = {QStringLiteral("Anna"), QStringLiteral("anna"),
                               QStringLiteral("Bob"), QStringLiteral("Čeněk"),
                               QStringLiteral("bob")};
    QList<Row> rows;
    for (int i = 0; i < 40; ++i) {
        const int paragon = (i * 17) % 41 + 1; // a permutation of 1..41 without one number
        rows.append({paragon, QDate(2026, 3, 1 + i % 4).toString(Qt::ISODate),
                     QTime(8 + i % 3, 0).toString(QStringLiteral("HH:mm:ss")), 1 + i % 3,
                     10.0 + (i % 2) * 2.5, (i % 4) * 5, 60 * (1 + i % 5),
                     users.at(i % users.size())});
    }
    return rows;
}

// Appends the sample receipts in their (shuffled) number order.
bool appendSampleRows(Table &sales)
{
    for (const Row &row : sampleRows()) {
        if (!sales.append(receipt(row.paragon, QDate::fromString(row.date, Qt::ISODate),
                                  QTime::fromString(row.time), row.solar, int(row.price), row.off,
                                  row.period, row.user)))
            return false;
    }
    return true;
}

// SQLite's NOCASE: folds ASCII letters only, then compares the bytes.
QByteArray noCase(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    for (char &byte : bytes) {
        if (byte >= 'A' && byte <= 'Z')
            byte = char(byte - 'A' + 'a');
    }
    return bytes;
}

int compareField(const Row &a, const Row &b, const QString &field)
{
    const auto cmp = [](const auto &x, const auto &y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (field == QLatin1String("PARAGON"))
        return cmp(a.paragon, b.paragon);
    if (field == QLatin1String("DATE"))
        return cmp(a.date, b.date);
    if (field == QLatin1String("TIME"))
        return cmp(a.time, b.time);
    if (field == QLatin1String("SOLAR"))
        return cmp(a.solar, b.solar);
    if (field == QLatin1String("PRICE"))
        return cmp(a.price, b.price);
    if (field == QLatin1String("OFF"))
        return cmp(a.off, b.off);
    if (field == QLatin1String("PERIOD"))
        return cmp(a.period, b.period);
    return cmp(noCase(a.user), noCase(b.user));
}

QList<int> walkForward(Table &table)
{
    QList<int> numbers;
    table.first();
    while (!table.eof()) {
        numbers.append(table.value(QStringLiteral("PARAGON")).toInt());
        table.next();
    }
    return numbers;
}

QList<int> walkBackward(Table &table)
{
    QList<int> numbers;
    table.last();
    while (!table.bof()) {
        numbers.prepend(table.value(QStringLiteral("PARAGON")).toInt());
        table.prior();
    }
    return numbers;
}

} // namespace

using PartCounts = QMap<int, qint64>;
Q_DECLARE_METATYPE(DatePart)

class TestData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void freshInstallation();
    void createRefusesExistingTables();
    void indexSets_data();
    void indexSets();
    void rebuildIndexesKeepsRecords();
    void primaryKeyRefusesDuplicates();
    void navigation_data();
    void navigation();
    void walksUseTheirIndex();
    void positionsAndWindows();
    void walkSeesOwnWritesAhead();
    void bookmarksAfterDeletes();
    void deleteMovesToNextRecord();
    void filterValuesAreLiteral_data();
    void filterValuesAreLiteral();
    void filterByDateText();
    void recordCountFollowsChanges();
    void locate_data();
    void locate();
    void calculatedFields();
    void sumMatchesWalk();
    void countByPart_data();
    void countByPart();
    void valueRefusal_data();
    void valueRefusal();
    void postErrorHandlerCancels();
    void editErrorWithoutRecord();
    void transactionRollsBackAllTables();
    void killedTransactionLeavesNothing();
    void killedSalesLoopStaysConsistent();
    void exclusiveOpenAcrossProcesses_data();
    void exclusiveOpenAcrossProcesses();
    void engineCalls();
    void notificationsSuspendAndResume();
    void tableNamesAreCaseInsensitiveInSql();
    void missingOrDamagedFileFailsOnlyItsTable_data();
    void missingOrDamagedFileFailsOnlyItsTable();
    void onlyStaleSuperJournalsAreRemoved();
    void tableOutlivesDatabase();
    void queryResult();
    void queryStatementsWithoutRows_data();
    void queryStatementsWithoutRows();
    void queryErrors_data();
    void queryErrors();
    void tableModel();
};

void TestData::initTestCase()
{
    static QTemporaryDir config;
    qputenv("VELMORA_CONFIG_DIR", config.path().toUtf8());
}

void TestData::freshInstallation()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    QCOMPARE(installation.money.recordCount(), 1);
    QCOMPARE(installation.money.value(QStringLiteral("MONEY")).toDouble(), 0.0);
    QCOMPARE(installation.sales.recordCount(), 0);
    QVERIFY(installation.sales.isEmpty());
    QVERIFY(installation.sales.bof() && installation.sales.eof());
    QCOMPARE(installation.solars.recordCount(), 8);
    int unit = 0;
    Table &solars = installation.solars;
    for (solars.first(); !solars.eof(); solars.next()) {
        ++unit;
        QCOMPARE(solars.value(QStringLiteral("SOLAR")).toInt(), unit);
        QCOMPARE(solars.value(QStringLiteral("ACTIVE")).toBool(), true);
        QCOMPARE(solars.value(QStringLiteral("DESCRIPTION")).toString(),
                 QStringLiteral("Solárko %1").arg(unit));
        QCOMPARE(solars.value(QStringLiteral("PRICE")).toDouble(), 10.0);
        QCOMPARE(solars.value(QStringLiteral("COUNTER")).toInt(), 0);
        QCOMPARE(solars.value(QStringLiteral("STARTUP")).toInt(), 0);
    }
    QCOMPARE(unit, 8);
}

void TestData::createRefusesExistingTables()
{
    QTemporaryDir dir;
    QFile stray(dir.filePath(QStringLiteral("Solars.DB")));
    QVERIFY(stray.open(QIODevice::WriteOnly));
    stray.write("keep me");
    stray.close();
    QString error;
    QVERIFY(!createInstallation(dir.path(), &error));
    QVERIFY(error.contains(QStringLiteral("Solars.DB")));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Money.DB"))));
    QFile check(dir.filePath(QStringLiteral("Solars.DB")));
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("keep me"));
}

void TestData::indexSets_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("primary");
    QTest::addColumn<QStringList>("secondary");
    QTest::newRow("Money") << "Money.DB"
                           << "MONEY" << QStringList();
    QTest::newRow("Solars") << "Solars.DB"
                            << "SOLAR" << QStringList();
    QTest::newRow("SaleSolars") << "SaleSolars.DB"
                                << "PARAGON"
                                << QStringList{"_PARAGON", "PARAGON_", "_DATE",  "DATE_",
                                               "_TIME",    "TIME_",    "_SOLAR", "SOLAR_",
                                               "_PRICE",   "PRICE_",   "_OFF",   "OFF_",
                                               "_PERIOD",  "PERIOD_",  "_USER",  "USER_"};
}

void TestData::indexSets()
{
    QFETCH(QString, file);
    QFETCH(QString, primary);
    QFETCH(QStringList, secondary);
    TableInstallation installation;
    QVERIFY(installation.database.connectDirectory(installation.dir.path()));
    Table table(&installation.database, file);
    const QList<IndexDefinition> indexes = table.indexDefinitions(); // closed table
    QCOMPARE(indexes.size(), secondary.size() + 1);
    QVERIFY(indexes.first().isPrimary());
    QVERIFY(indexes.first().name.isEmpty());
    QCOMPARE(indexes.first().fieldsText(), primary);
    QStringList names;
    for (int i = 1; i < indexes.size(); ++i) {
        const IndexDefinition &index = indexes.at(i);
        names.append(index.name);
        QVERIFY(!index.isPrimary());
        QVERIFY(index.options.testFlag(IndexDefinition::CaseInsensitive));
        QCOMPARE(index.options.testFlag(IndexDefinition::Descending), index.name.endsWith('_'));
        QCOMPARE(index.fieldsText(), QString(index.name).remove('_'));
    }
    QCOMPARE(names, secondary);
}

void TestData::rebuildIndexesKeepsRecords()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    QVERIFY(appendSampleRows(installation.sales));
    const QList<int> before = walkForward(installation.sales);
    installation.sales.close();

    // The maintenance's way: delete the listed indexes from the last (the primary key last),
    // then add the index set entry by entry on the closed table held exclusively.
    Table table(&installation.database, QStringLiteral("SaleSolars.DB"));
    table.setExclusive(true);
    QList<IndexDefinition> listed = table.indexDefinitions();
    const int count = listed.size();
    while (!listed.isEmpty()) {
        QVERIFY2(table.deleteIndex(listed.last().name), qPrintable(Engine::lastError().message));
        listed = table.indexDefinitions();
    }
    QCOMPARE(count, 17);
    for (int k = 0; k < SaleSolarsIndexes.size(); ++k) {
        for (const IndexDefinition &index : indexSetEntry(SaleSolarsIndexes, k))
            QVERIFY2(table.addIndex(index), qPrintable(Engine::lastError().message));
    }
    QCOMPARE(table.indexDefinitions().size(), 17);
    QVERIFY(table.open());
    QCOMPARE(table.recordCount(), 40);
    QCOMPARE(walkForward(table), before);
}

void TestData::primaryKeyRefusesDuplicates()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    QVERIFY(sales.append(receipt(1, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "a")));
    QVERIFY(!sales.append(receipt(1, QDate(2026, 1, 2), QTime(9, 0), 1, 10, 0, 60, "b")));
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::KeyViolation));
    sales.close();

    Table table(&installation.database, QStringLiteral("SaleSolars.DB"));
    QVERIFY(table.deleteIndex(QString()));
    QVERIFY(table.open());
    QVERIFY(table.append(receipt(1, QDate(2026, 1, 2), QTime(9, 0), 1, 10, 0, 60, "b")));
    table.close();
    QVERIFY(!table.addIndex(indexSetEntry(SaleSolarsIndexes, 0).first()));
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::KeyViolation));
    QVERIFY(!table.indexDefinitions().first().isPrimary());
    QCOMPARE(table.indexDefinitions().size(), 16);
    QVERIFY(table.open());
    QCOMPARE(table.recordCount(), 2); // nothing lost
}

void TestData::navigation_data()
{
    QTest::addColumn<QString>("index");
    QTest::newRow("primary") << QString();
    for (const IndexDefinition &index : indexSetDefinitions(SaleSolarsIndexes)) {
        if (!index.isPrimary())
            QTest::newRow(qPrintable(index.name)) << index.name;
    }
}

void TestData::navigation()
{
    QFETCH(QString, index);
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    const QList<Row> rows = sampleRows();
    for (const Row &row : rows) {
        QVERIFY(sales.append(receipt(row.paragon, QDate::fromString(row.date, Qt::ISODate),
                                     QTime::fromString(row.time), row.solar, 0, row.off, row.period,
                                     row.user)));
        if (row.price != 10.0) { // Money values with a fraction go through edit and post
            QVERIFY(sales.edit());
            QVERIFY(sales.setValue(QStringLiteral("PRICE"), row.price));
            QVERIFY(sales.post());
        } else {
            QVERIFY(sales.edit());
            QVERIFY(sales.setValue(QStringLiteral("PRICE"), 10.0));
            QVERIFY(sales.post());
        }
    }
    QVERIFY(sales.setIndexName(index));

    // Expected: the index's key (descending for "X_"), equal keys in insertion order.
    const QString field = index.isEmpty() ? QStringLiteral("PARAGON") : QString(index).remove('_');
    const bool descending = index.endsWith('_');
    QList<Row> sorted = rows;
    std::stable_sort(sorted.begin(), sorted.end(), [&](const Row &a, const Row &b) {
        const int order = compareField(a, b, field);
        return descending ? order > 0 : order < 0;
    });
    QList<int> expected;
    for (const Row &row : sorted)
        expected.append(row.paragon);
    QCOMPARE(walkForward(sales), expected);
    QCOMPARE(walkBackward(sales), expected);

    // The same under a filter, and the count agrees.
    QVERIFY(sales.setFilter({{QStringLiteral("SOLAR"), FilterCondition::GreaterOrEqual, 2}}));
    QVERIFY(sales.setFiltered(true));
    QList<int> filtered;
    for (const Row &row : sorted) {
        if (row.solar >= 2)
            filtered.append(row.paragon);
    }
    QCOMPARE(walkForward(sales), filtered);
    QCOMPARE(walkBackward(sales), filtered);
    QCOMPARE(sales.recordCount(), filtered.size());
}

void TestData::walksUseTheirIndex()
{
    // Every statement a walk runs must be served by the order's index: SQLite may never sort
    // the table (or the filtered records) to find the next record.
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    QVERIFY(appendSampleRows(sales));
    sqlite3 *db = installation.database.connection()->handle();
    QStringList statements;
    sqlite3_trace_v2(
        db, SQLITE_TRACE_STMT,
        [](unsigned, void *context, void *statement, void *) {
            static_cast<QStringList *>(context)->append(
                QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt *>(statement))));
            return 0;
        },
        &statements);
    for (const QString &index :
         QStringList{QString(), "_DATE", "DATE_", "_USER", "USER_", "SOLAR_"}) {
        for (const bool filtered : {false, true}) {
            QVERIFY(sales.setIndexName(index));
            QVERIFY(sales.setFilter(
                {{QStringLiteral("DATE"), FilterCondition::GreaterOrEqual, QDate(2026, 3, 2)}}));
            QVERIFY(sales.setFiltered(filtered));
            walkForward(sales);
            walkBackward(sales);
        }
    }
    sqlite3_trace_v2(db, 0, nullptr, nullptr);
    statements.removeDuplicates();
    int checked = 0;
    for (const QString &sql : std::as_const(statements)) {
        const bool walk = sql.contains(QStringLiteral("INDEXED BY"));
        const bool unfiltered =
            sql.contains(QStringLiteral("ORDER BY")) && !sql.contains(QStringLiteral("WHERE"));
        if (!walk && !unfiltered)
            continue;
        sqlite3_stmt *explain = nullptr;
        QCOMPARE(sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).toUtf8().constData(), -1,
                                    &explain, nullptr),
                 SQLITE_OK);
        QString plan;
        while (sqlite3_step(explain) == SQLITE_ROW)
            plan +=
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(explain, 3))) +
                '\n';
        sqlite3_finalize(explain);
        QVERIFY2(!plan.contains(QStringLiteral("TEMP B-TREE")), qPrintable(sql + '\n' + plan));
        ++checked;
    }
    QVERIFY(checked >= 12 * 2);
}

void TestData::positionsAndWindows()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    QVERIFY(appendSampleRows(sales));
    QVERIFY(sales.setIndexName(QStringLiteral("SOLAR_")));
    const QList<int> order = walkForward(sales);
    for (const int number : {0, 7, 20, 33, 39}) {
        QVERIFY(sales.moveToRecordNumber(number));
        QCOMPARE(sales.value(QStringLiteral("PARAGON")).toInt(), order.at(number));
        QVERIFY(sales.locate(QStringLiteral("PARAGON"), order.at(number)));
        QCOMPARE(sales.recordNumber(), number);
    }
    for (const int offset : {0, 5, 30, 38}) {
        const QList<Table::WindowRow> window = sales.readWindow(offset, 6);
        QCOMPARE(window.size(), qMin(6, 40 - offset));
        for (int i = 0; i < window.size(); ++i)
            QCOMPARE(window.at(i).record.value(QStringLiteral("PARAGON")).toInt(),
                     order.at(offset + i));
        QVERIFY(sales.gotoBookmark(window.last().bookmark));
        QCOMPARE(sales.value(QStringLiteral("PARAGON")).toInt(),
                 order.at(offset + window.size() - 1));
    }
}

void TestData::walkSeesOwnWritesAhead()
{
    // The cursor reads ahead in batches; a change through another table object of the same
    // database must show at the next step.
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    for (int i = 1; i <= 30; ++i)
        QVERIFY(sales.append(receipt(i, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "u")));
    Table other(&installation.database, QStringLiteral("SaleSolars.DB"));
    QVERIFY(other.open());
    QVERIFY(sales.first());
    for (int i = 0; i < 5; ++i)
        QVERIFY(sales.next());
    QCOMPARE(sales.value(QStringLiteral("PARAGON")).toInt(), 6);
    QVERIFY(other.locate(QStringLiteral("PARAGON"), 7));
    QVERIFY(other.deleteRecord());
    QVERIFY(other.locate(QStringLiteral("PARAGON"), 8));
    QVERIFY(other.edit());
    QVERIFY(other.setValue(QStringLiteral("USER"), QStringLiteral("changed")));
    QVERIFY(other.post());
    QVERIFY(sales.next());
    QCOMPARE(sales.value(QStringLiteral("PARAGON")).toInt(), 8);
    QCOMPARE(sales.value(QStringLiteral("USER")).toString(), QStringLiteral("changed"));
    QVERIFY(other.append(receipt(31, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "u")));
    QList<int> rest;
    while (sales.next())
        rest.append(sales.value(QStringLiteral("PARAGON")).toInt());
    QCOMPARE(rest.size(), 23); // 9 to 31
    QCOMPARE(rest.last(), 31);
}

void TestData::bookmarksAfterDeletes()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    for (int i = 1; i <= 5; ++i)
        QVERIFY(sales.append(receipt(i, QDate(2026, 1, i), QTime(9, 0), 1, 10, 0, 60, "u")));
    QVERIFY(sales.locate(QStringLiteral("PARAGON"), 3));
    const Bookmark three = sales.bookmark();
    QVERIFY(sales.locate(QStringLiteral("PARAGON"), 5));
    const Bookmark five = sales.bookmark();

    QVERIFY(sales.locate(QStringLiteral("PARAGON"), 2));
    QVERIFY(sales.deleteRecord());
    QVERIFY(sales.bookmarkValid(three));
    QVERIFY(sales.gotoBookmark(three));
    QCOMPARE(sales.value(QStringLiteral("PARAGON")).toInt(), 3);

    QVERIFY(sales.deleteRecord());
    QVERIFY(!sales.bookmarkValid(three));
    QVERIFY(!sales.gotoBookmark(three));
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::RecordNotFound));

    // The newest record deleted and a new one appended: SQLite may give it the same row id,
    // the bookmark must not take it for the old record.
    QVERIFY(sales.gotoBookmark(five));
    QVERIFY(sales.deleteRecord());
    QVERIFY(sales.append(receipt(6, QDate(2026, 1, 6), QTime(9, 0), 1, 10, 0, 60, "u")));
    QVERIFY(!sales.bookmarkValid(five));

    // A bookmark outside the filter is not valid while the filter holds.
    const Bookmark six = sales.bookmark();
    QVERIFY(sales.setFilter({{QStringLiteral("PARAGON"), FilterCondition::Less, 5}}));
    QVERIFY(sales.setFiltered(true));
    QVERIFY(!sales.bookmarkValid(six));
    QVERIFY(sales.setFiltered(false));
    QVERIFY(sales.bookmarkValid(six));
}

void TestData::deleteMovesToNextRecord()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    for (int i = 1; i <= 4; ++i)
        QVERIFY(sales.append(receipt(i, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "u")));
    // The purge's walk: delete from the first record while more than one is left.
    QVERIFY(sales.first());
    while (sales.recordCount() > 1)
        QVERIFY(sales.deleteRecord());
    QCOMPARE(sales.value(QStringLiteral("PARAGON")).toInt(), 4);
    QVERIFY(sales.deleteRecord());
    QVERIFY(!sales.hasCurrentRecord());
    QVERIFY(sales.bof() && sales.eof());
    QVERIFY(!sales.deleteRecord());
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::NoCurrentRecord));
}

void TestData::filterValuesAreLiteral_data()
{
    QTest::addColumn<QString>("user");
    QTest::newRow("single quote") << "O'Brien";
    QTest::newRow("injection") << "x' OR '1'='1";
    QTest::newRow("double quote") << "say \"hi\"";
    QTest::newRow("percent") << "50% sleva";
}

void TestData::filterValuesAreLiteral()
{
    QFETCH(QString, user);
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    QVERIFY(sales.append(receipt(1, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "Anna")));
    QVERIFY(sales.append(receipt(2, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, user)));
    QVERIFY(sales.append(receipt(3, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, user.toUpper())));
    QVERIFY(sales.setFilter({{QStringLiteral("USER"), FilterCondition::Equal, user}}));
    QVERIFY(sales.setFiltered(true));
    QCOMPARE(sales.recordCount(), 1);
    QCOMPARE(sales.value(QStringLiteral("PARAGON")).toInt(), 2);
    // Case-insensitive matching when asked for.
    QVERIFY(sales.setFilter({{QStringLiteral("USER"), FilterCondition::Equal, user, true}}));
    QCOMPARE(sales.recordCount(), 2);
}

void TestData::filterByDateText()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    for (int day = 1; day <= 12; ++day)
        QVERIFY(sales.append(receipt(day, QDate(2026, 12, day), QTime(day, 5), 1, 10, 0, 60, "u")));
    // The browser writes dates and times in the Czech short forms.
    QVERIFY(sales.setFilter(
        {{QStringLiteral("DATE"), FilterCondition::GreaterOrEqual, "9.12.2026"},
         {QStringLiteral("DATE"), FilterCondition::LessOrEqual, QDate(2026, 12, 10)},
         {QStringLiteral("TIME"), FilterCondition::GreaterOrEqual, "9:05:00"}}));
    QVERIFY(sales.setFiltered(true));
    QCOMPARE(walkForward(sales), (QList<int>{9, 10}));
    QVERIFY(!sales.setFilter({{QStringLiteral("DATE"), FilterCondition::Equal, "32.12.2026"}}));
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::InvalidValue));
    QVERIFY(!sales.setFilter({{QStringLiteral("NOPE"), FilterCondition::Equal, 1}}));
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::UnknownField));
    QCOMPARE(sales.recordCount(), 2); // the old filter stays
}

void TestData::recordCountFollowsChanges()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    QCOMPARE(installation.sales.recordCount(), 0);
    QVERIFY(
        installation.sales.append(receipt(1, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "u")));
    QCOMPARE(installation.sales.recordCount(), 1);

    // A second connection (another program) adds a record.
    Database other{deskDatabaseSchema()};
    QVERIFY(other.connectDirectory(installation.dir.path()));
    Table otherSales(&other, QStringLiteral("SaleSolars.DB"));
    QVERIFY(otherSales.open());
    QVERIFY(otherSales.append(receipt(2, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "u")));
    QCOMPARE(installation.sales.recordCount(), 2);
    QVERIFY(installation.sales.last());
    QCOMPARE(installation.sales.value(QStringLiteral("PARAGON")).toInt(), 2);
}

void TestData::locate_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("found"); // PARAGON, 0 for none
    const int partial = int(LocateOption::PartialKey | LocateOption::CaseInsensitive);
    QTest::newRow("exact number") << "SOLAR" << QVariant(3) << 0 << 3;
    QTest::newRow("exact text") << "USER" << QVariant("Černý") << 0 << 2;
    QTest::newRow("exact text, other case") << "USER" << QVariant("černý") << 0 << 0;
    QTest::newRow("prefix, Czech case") << "USER" << QVariant("čer") << partial << 2;
    QTest::newRow("prefix, ASCII case") << "USER" << QVariant("ADM") << partial << 1;
    QTest::newRow("case-insensitive whole")
        << "USER" << QVariant("ČERNÝ") << int(LocateOption::CaseInsensitive) << 2;
    QTest::newRow("no match") << "USER" << QVariant("x") << partial << 0;
    QTest::newRow("calculated") << "PRICE_TOTAL" << QVariant(20.0) << 0 << 3;
}

void TestData::locate()
{
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(int, options);
    QFETCH(int, found);
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    QVERIFY(
        sales.append(receipt(1, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "Administrator")));
    QVERIFY(sales.append(receipt(2, QDate(2026, 1, 1), QTime(9, 0), 2, 10, 0, 60, "Černý")));
    QVERIFY(sales.append(receipt(3, QDate(2026, 1, 1), QTime(9, 0), 3, 10, 0, 120, "Novák")));
    QVERIFY(sales.first());
    QCOMPARE(sales.locate(field, value, LocateOptions(options)), found != 0);
    QCOMPARE(sales.value(QStringLiteral("PARAGON")).toInt(), found != 0 ? found : 1);
}

void TestData::calculatedFields()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    QVERIFY(sales.append(receipt(1, QDate(2026, 1, 1), QTime(9, 0), 1, 0, 15, 754, "u")));
    QVERIFY(sales.edit());
    QVERIFY(sales.setValue(QStringLiteral("PRICE"), 12.5));
    QVERIFY(sales.post());
    QCOMPARE(sales.value(QStringLiteral("PERIOD_MMSS")).toString(), QStringLiteral("12:34"));
    QCOMPARE(sales.value(QStringLiteral("PRICE_TOTAL")).toDouble(),
             receiptPriceTotal(754, 12.5, 15));
    const FieldDisplay *total = saleSolarsTable().display(QStringLiteral("PRICE_TOTAL"));
    QCOMPARE(total->text(FieldType::Money, sales.value(QStringLiteral("PRICE_TOTAL"))),
             QStringLiteral("134,00"));
    QCOMPARE(saleSolarsTable().display(QStringLiteral("PARAGON"))->text(FieldType::LongInteger, 42),
             QStringLiteral("000000042"));
    QCOMPARE(saleSolarsTable().display(QStringLiteral("STOP"))->text(FieldType::Logical, false),
             QStringLiteral("-"));

    // Switched off, the fields stay empty (the sale does that while it writes).
    sales.setAutoCalcFields(false);
    QVERIFY(sales.refresh());
    QVERIFY(!sales.value(QStringLiteral("PRICE_TOTAL")).isValid());
    sales.setAutoCalcFields(true); // and back on, the current record has them at once
    QCOMPARE(sales.value(QStringLiteral("PERIOD_MMSS")).toString(), QStringLiteral("12:34"));

    Table &solars = installation.solars;
    QVERIFY(solars.locate(QStringLiteral("SOLAR"), 2));
    QVERIFY(solars.edit());
    QVERIFY(solars.setValue(QStringLiteral("COUNTER"), 5400));
    QCOMPARE(solars.value(QStringLiteral("COUNTER_HOURS")).toDouble(), 1.5); // during the edit
    QVERIFY(solars.post());
    QCOMPARE(solars.value(QStringLiteral("COUNTER_HOURS")).toDouble(), 1.5);
    QCOMPARE(solarsTable()
                 .display(QStringLiteral("COUNTER_HOURS"))
                 ->text(FieldType::Float, solars.value(QStringLiteral("COUNTER_HOURS"))),
             QStringLiteral("1,50"));
    QCOMPARE(solarsTable().display(QStringLiteral("ACTIVE"))->text(FieldType::Logical, true),
             QStringLiteral("A"));
}

void TestData::sumMatchesWalk()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    for (int i = 1; i <= 30; ++i) {
        QVERIFY(sales.append(receipt(i, QDate(2026, 2, 1 + i % 3), QTime(9, i), 1 + i % 8,
                                     7 + i % 4, (i % 3) * 10, 37 * i, "u")));
    }
    QVERIFY(sales.setFilter({{QStringLiteral("DATE"), FilterCondition::Equal, QDate(2026, 2, 2)}}));
    QVERIFY(sales.setFiltered(true));
    double walked = 0;
    qint64 walkedCount = 0;
    for (sales.first(); !sales.eof(); sales.next()) {
        walked += sales.value(QStringLiteral("PRICE_TOTAL")).toDouble();
        ++walkedCount;
    }
    qint64 count = 0;
    double sum = 0;
    QVERIFY(sales.countAndSum(QStringLiteral("PRICE_TOTAL"), &count, &sum));
    QCOMPARE(count, walkedCount);
    QCOMPARE(count, 10);
    QCOMPARE(sum, walked);
    QVERIFY(!sales.countAndSum(QStringLiteral("PERIOD_MMSS"), &count, &sum));

    // Kept off the index, the condition finds the same records; in another order, the count also
    // finds the current record's place.
    FilterCondition unindexed{QStringLiteral("DATE"), FilterCondition::Equal, QDate(2026, 2, 2)};
    unindexed.mayUseIndex = false;
    QVERIFY(sales.setIndexName(QStringLiteral("PERIOD_")));
    QList<Bookmark> marks;
    for (sales.first(); !sales.eof(); sales.next())
        marks << sales.bookmark();
    QVERIFY(sales.setFilter({unindexed})); // the places remembered so far no longer hold
    QVERIFY(sales.gotoBookmark(marks.at(6)));
    QVERIFY(sales.countAndSum(QStringLiteral("PRICE_TOTAL"), &count, &sum));
    QCOMPARE(count, 10);
    QCOMPARE(sum, walked);
    QCOMPARE(sales.recordNumber(), 6);
}

void TestData::countByPart_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<DatePart>("part");
    QTest::addColumn<QDate>("from"); // filter DATE >= from; none when null
    QTest::addColumn<PartCounts>("counts");
    QTest::addColumn<QString>("error");
    QTest::newRow("hours, midnight and last second")
        << "TIME" << DatePart::Hour << QDate() << PartCounts{{0, 1}, {9, 1}, {23, 2}} << "";
    QTest::newRow("weekdays, Sunday last")
        << "DATE" << DatePart::IsoWeekday << QDate() << PartCounts{{1, 2}, {2, 1}, {7, 1}} << "";
    QTest::newRow("days") << "DATE" << DatePart::Day << QDate()
                          << PartCounts{{1, 1}, {2, 2}, {31, 1}} << "";
    QTest::newRow("months, filtered")
        << "DATE" << DatePart::Month << QDate(2026, 2, 2) << PartCounts{{2, 2}, {3, 1}} << "";
    QTest::newRow("hours of a date")
        << "DATE" << DatePart::Hour << QDate() << PartCounts{} << "Pole DATE není čas";
    QTest::newRow("months of a time")
        << "TIME" << DatePart::Month << QDate() << PartCounts{} << "Pole TIME není datum";
    QTest::newRow("unknown field") << "DAY" << DatePart::Day << QDate() << PartCounts{}
                                   << "Pole DAY v tabulce TableSaleSolars neexistuje";
}

void TestData::countByPart()
{
    QFETCH(QString, field);
    QFETCH(DatePart, part);
    QFETCH(QDate, from);
    QFETCH(PartCounts, counts);
    QFETCH(QString, error);
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    QVERIFY(sales.append(receipt(1, QDate(2026, 2, 1), QTime(0, 0), 1, 10, 0, 60, "a")));
    QVERIFY(sales.append(receipt(2, QDate(2026, 2, 2), QTime(23, 59, 59), 1, 10, 0, 60, "a")));
    QVERIFY(sales.append(receipt(3, QDate(2026, 2, 2), QTime(23, 0), 1, 10, 0, 60, "a")));
    QVERIFY(sales.append(receipt(4, QDate(2026, 3, 31), QTime(9, 30), 1, 10, 0, 60, "a")));
    QVERIFY(sales.append(receipt(5, QDate(), QTime(), 1, 10, 0, 60, "a"))); // blank: not counted
    if (from.isValid()) {
        QVERIFY(sales.setFilter({{"DATE", FilterCondition::GreaterOrEqual, from}}));
        QVERIFY(sales.setFiltered(true));
    }
    PartCounts counted{{99, 1}};
    QCOMPARE(sales.countByPart(field, part, &counted), error.isEmpty());
    if (error.isEmpty())
        QCOMPARE(counted, counts);
    else
        QCOMPARE(Engine::lastError().message, error);
}

void TestData::valueRefusal_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("Alpha too long")
        << "DESCRIPTION" << QVariant(QString(33, 'x')) << int(EngineErrorCode::ValueTooLong)
        << "Text pole DESCRIPTION je delší než 32 znaků";
    QTest::newRow("Short range") << "STARTUP" << QVariant(40000)
                                 << int(EngineErrorCode::ValueOutOfRange)
                                 << "Hodnota 40000 pole STARTUP je mimo rozsah -32768 až 32767";
    QTest::newRow("not a number") << "PRICE" << QVariant("abc")
                                  << int(EngineErrorCode::InvalidValue)
                                  << "Hodnota \"abc\" není platná pro pole PRICE typu Money";
    QTest::newRow("outside Windows-1250")
        << "DESCRIPTION" << QVariant(QStringLiteral("日本")) << int(EngineErrorCode::InvalidValue)
        << "Text pole DESCRIPTION obsahuje znak mimo kódování Windows-1250";
}

void TestData::valueRefusal()
{
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(int, code);
    QFETCH(QString, message);
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &solars = installation.solars;
    QVERIFY(solars.edit());
    QVERIFY(!solars.setValue(field, value));
    QCOMPARE(int(Engine::lastError().code), code);
    QCOMPARE(Engine::lastError().message, message);
    solars.cancel();

    // append refuses the same value through the post error handler, nothing stored.
    QVariantList values = {9, true, QStringLiteral("Devět"), 10.0, 0, 0};
    values[solars.fields().indexOf(field)] = value;
    int handled = 0;
    solars.setPostErrorHandler([&](Table &, const EngineError &error, ErrorAction &) {
        ++handled;
        QCOMPARE(int(error.code), code);
    });
    QVERIFY(!solars.append(values));
    QCOMPARE(handled, 1);
    QCOMPARE(solars.recordCount(), 8);
}

void TestData::postErrorHandlerCancels()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &solars = installation.solars;
    EngineError seen;
    ErrorAction decision = ErrorAction::Fail;
    solars.setPostErrorHandler([&](Table &table, const EngineError &error, ErrorAction &action) {
        QCOMPARE(&table, &solars);
        seen = error;
        action = decision;
    });
    QVERIFY(solars.locate(QStringLiteral("SOLAR"), 2));
    QVERIFY(solars.edit());
    QVERIFY(solars.setValue(QStringLiteral("SOLAR"), 3)); // a duplicate primary key
    QVERIFY(solars.setValue(QStringLiteral("DESCRIPTION"), QStringLiteral("změněno")));

    QVERIFY(!solars.post()); // Fail keeps the change pending
    QCOMPARE(seen.code, quint16(EngineErrorCode::KeyViolation));
    QVERIFY(seen.message.size() <= EngineError::MaxMessageLength);
    QCOMPARE(solars.state(), Table::State::Edit);

    decision = ErrorAction::Abort; // Abort cancels it
    QVERIFY(!solars.post());
    QCOMPARE(solars.state(), Table::State::Browse);
    QVERIFY(solars.refresh());
    QCOMPARE(solars.value(QStringLiteral("SOLAR")).toInt(), 2);
    QCOMPARE(solars.value(QStringLiteral("DESCRIPTION")).toString(), QStringLiteral("Solárko 2"));
}

void TestData::editErrorWithoutRecord()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    int handled = 0;
    installation.sales.setEditErrorHandler([&](Table &, const EngineError &error, ErrorAction &) {
        ++handled;
        QCOMPARE(error.code, quint16(EngineErrorCode::NoCurrentRecord));
    });
    QVERIFY(!installation.sales.edit());
    QCOMPARE(handled, 1);
    QVERIFY(!installation.sales.setValue(QStringLiteral("USER"), "x"));
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::NotEditing));
}

void TestData::transactionRollsBackAllTables()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    QVERIFY(installation.database.startTransaction());
    QVERIFY(!installation.database.startTransaction());
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::TransactionActive));
    QVERIFY(
        installation.sales.append(receipt(1, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "u")));
    QVERIFY(installation.solars.locate(QStringLiteral("SOLAR"), 1));
    QVERIFY(installation.solars.edit());
    QVERIFY(installation.solars.setValue(QStringLiteral("STARTUP"), 1));
    QVERIFY(installation.solars.post());
    QVERIFY(installation.money.edit());
    QVERIFY(installation.money.setValue(QStringLiteral("MONEY"), 10.0));
    QVERIFY(installation.money.post());
    QCOMPARE(installation.money.flush(), quint16(EngineErrorCode::TransactionActive));
    QVERIFY(installation.database.rollback());

    // The tables re-read their records after the rollback.
    QVERIFY(!installation.sales.hasCurrentRecord());
    QCOMPARE(installation.sales.recordCount(), 0);
    QCOMPARE(installation.solars.value(QStringLiteral("STARTUP")).toInt(), 0);
    QCOMPARE(installation.money.value(QStringLiteral("MONEY")).toDouble(), 0.0);
}

void TestData::killedTransactionLeavesNothing()
{
    TableInstallation installation;
    QProcess child;
    child.start(QStringLiteral(DATA_HELPER), {"pending", installation.dir.path()});
    QVERIFY(child.waitForReadyRead(20000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("pending"));
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(20000));

    QVERIFY(installation.connectAndOpen());
    QCOMPARE(installation.sales.recordCount(), 0);
    QVERIFY(installation.solars.first());
    QCOMPARE(installation.solars.value(QStringLiteral("STARTUP")).toInt(), 0);
    QCOMPARE(installation.money.value(QStringLiteral("MONEY")).toDouble(), 0.0);
}

void TestData::killedSalesLoopStaysConsistent()
{
    // Sales are committed in a loop until the writer is killed at some moment, possibly inside
    // a commit: every sale must be in all three tables or in none.
    TableInstallation installation;
    for (int round = 0; round < 3; ++round) {
        QProcess child;
        child.start(QStringLiteral(DATA_HELPER), {"sales", installation.dir.path()});
        int committed = 0;
        while (committed < 5 + round * 7 && child.waitForReadyRead(20000))
            committed += child.readAll().count("sale\n");
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(20000));
        QVERIFY(committed > 0);
    }
    QVERIFY(installation.connectAndOpen());
    const qint64 receipts = installation.sales.recordCount();
    QVERIFY(receipts > 0);
    QVERIFY(installation.solars.first());
    QCOMPARE(installation.solars.value(QStringLiteral("STARTUP")).toLongLong(), receipts);
    QCOMPARE(installation.money.value(QStringLiteral("MONEY")).toDouble(), 10.0 * double(receipts));
}

void TestData::exclusiveOpenAcrossProcesses_data()
{
    QTest::addColumn<QString>("childMode");
    QTest::addColumn<bool>("ourExclusive");
    QTest::newRow("they hold it, we want it exclusively") << "shared" << true;
    QTest::newRow("they hold it exclusively, we open it") << "exclusive" << false;
    QTest::newRow("they hold it exclusively, we want it too") << "exclusive" << true;
}

void TestData::exclusiveOpenAcrossProcesses()
{
    QFETCH(QString, childMode);
    QFETCH(bool, ourExclusive);
    TableInstallation installation;
    QVERIFY(installation.database.connectDirectory(installation.dir.path()));
    QProcess child;
    child.start(QStringLiteral(DATA_HELPER),
                {"hold", installation.dir.path(), "SaleSolars.DB", childMode});
    QVERIFY(child.waitForReadyRead(20000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("open"));

    Table table(&installation.database, QStringLiteral("SaleSolars.DB"));
    table.setExclusive(ourExclusive);
    QVERIFY(!table.open());
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::TableInUse));
    QVERIFY(installation.solars.open()); // other tables stay free
    // Index changes need the table to themselves as well.
    QVERIFY(!table.deleteIndex(QStringLiteral("_USER")));

    child.closeWriteChannel();
    QVERIFY(child.waitForFinished(20000));
    QVERIFY(table.open());

    // And the other way round: while we hold it exclusively, the other program cannot open it.
    if (ourExclusive) {
        QProcess second;
        second.start(QStringLiteral(DATA_HELPER),
                     {"hold", installation.dir.path(), "SaleSolars.DB", "shared"});
        QVERIFY(second.waitForReadyRead(20000));
        QCOMPARE(second.readLine().trimmed(), QByteArray("refused"));
        second.closeWriteChannel();
        QVERIFY(second.waitForFinished(20000));
    }
}

void TestData::engineCalls()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    for (int i = 1; i <= 50; ++i)
        QVERIFY(sales.append(receipt(i, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "u")));
    QCOMPARE(sales.regenerateIndexes(), quint16(0));
    QCOMPARE(sales.flush(), quint16(0));
    QCOMPARE(sales.restructure(true, false), quint16(0));
    QCOMPARE(sales.recordCount(), 50);
    // A new file cannot take the open tables' place.
    QCOMPARE(sales.restructure(true, true), quint16(EngineErrorCode::TableInUse));
    QCOMPARE(sales.recordCount(), 50);
    QCOMPARE(sales.emptyTable(), quint16(0));
    QCOMPARE(sales.recordCount(), 0);
    QVERIFY(!sales.hasCurrentRecord());
    sales.close();
    QVERIFY(sales.regenerateIndexes() != 0);
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::TableNotOpen));
    // A closed table packs too (the maintenance does it so), held exclusively meanwhile.
    QCOMPARE(sales.restructure(true, false), quint16(0));
    QVERIFY(Engine::lastError().code != 1);
}

void TestData::notificationsSuspendAndResume()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    int records = 0;
    int moves = 0;
    connect(&sales, &Table::recordsChanged, this, [&] { ++records; });
    connect(&sales, &Table::currentRecordChanged, this, [&] { ++moves; });
    sales.disableControls();
    sales.disableControls();
    for (int i = 1; i <= 3; ++i)
        QVERIFY(sales.append(receipt(i, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "u")));
    QVERIFY(sales.first());
    sales.enableControls();
    QCOMPARE(records + moves, 0);
    sales.enableControls();
    QCOMPARE(records, 1);
    QCOMPARE(moves, 1);
    QVERIFY(sales.next());
    QCOMPARE(moves, 2);
}

void TestData::tableNamesAreCaseInsensitiveInSql()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    QVERIFY(
        installation.sales.append(receipt(7, QDate(2026, 1, 1), QTime(9, 0), 1, 10, 0, 60, "u")));
    installation.database.disconnect();
    QVERIFY(!installation.sales.isOpen());

    // The files are plain SQLite databases: any program can read them by table name.
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(installation.dir.filePath("SaleSolars.DB")).constData(),
                          &db),
             SQLITE_OK);
    sqlite3_stmt *statement = nullptr;
    QCOMPARE(sqlite3_prepare_v2(db, "select PARAGON, DATE, TIME from SALESOLARS", -1, &statement,
                                nullptr),
             SQLITE_OK);
    QCOMPARE(sqlite3_step(statement), SQLITE_ROW);
    QCOMPARE(sqlite3_column_int(statement, 0), 7);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(statement, 1))),
             QByteArray("2026-01-01"));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(statement, 2))),
             QByteArray("09:00:00"));
    sqlite3_finalize(statement);
    // CHECK constraints guard the file against other writers too.
    QVERIFY(sqlite3_exec(db, "update SaleSolars set USER = 'abcdefghijklmnopq'", nullptr, nullptr,
                         nullptr) != SQLITE_OK);
    QVERIFY(sqlite3_exec(db, "update SaleSolars set DATE = '2026-02-30'", nullptr, nullptr,
                         nullptr) != SQLITE_OK);
    sqlite3_close(db);
}

void TestData::missingOrDamagedFileFailsOnlyItsTable_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<quint16>("code");
    const quint16 notADatabase = quint16(EngineErrorCode::SqliteBase) + SQLITE_NOTADB;
    QTest::newRow("missing") << "Solars.DB" << false << quint16(EngineErrorCode::TableFileMissing);
    QTest::newRow("damaged") << "Solars.DB" << true << notADatabase;
    QTest::newRow("the first file damaged") << "Money.DB" << true << notADatabase;
}

void TestData::missingOrDamagedFileFailsOnlyItsTable()
{
    QFETCH(QString, file);
    QFETCH(bool, damaged);
    QFETCH(quint16, code);
    TableInstallation installation;
    const QString path = installation.dir.filePath(file);
    QVERIFY(QFile::rename(path, path + ".good"));
    if (damaged) {
        QFile bad(path);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(4096, 'x'));
    }
    Table &failing = file == "Money.DB" ? installation.money : installation.solars;
    Table &other = file == "Money.DB" ? installation.solars : installation.money;
    // Connecting needs only the directories; the start-up's maintenance may mend the files, and
    // works on the others meanwhile.
    QVERIFY(installation.database.connectDirectory(installation.dir.path()));
    QVERIFY(other.open() && installation.sales.open());
    QVERIFY(!failing.open());
    QCOMPARE(Engine::lastError().code, code);
    QVERIFY2(Engine::lastError().message.contains(file), qPrintable(Engine::lastError().message));
    QVERIFY(!installation.database.startTransaction()); // one over all three files
    QCOMPARE(QFile::exists(path), damaged);             // never created
    // Mended, the file opens at the next try.
    other.close();
    installation.sales.close();
    QFile::remove(path);
    QVERIFY(QFile::rename(path + ".good", path));
    QVERIFY(failing.open() && installation.database.startTransaction());
    QVERIFY(installation.database.rollback());
    QVERIFY(!installation.database.connect(QStringLiteral("Nikde")));
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::AliasNotFound));
}

void TestData::onlyStaleSuperJournalsAreRemoved()
{
    TableInstallation installation;
    const QDir dir(installation.dir.path());
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    // A journal names its super-journal at its end (full path, length, checksum, magic); SQLite
    // plays it back only once its header (starting with the same magic) is complete.
    const QByteArray magic = QByteArray::fromHex("d9d505f920a163d7");
    const auto journal = [&](bool hot, const QString &superJournal) {
        const QByteArray name = dir.filePath(superJournal).toUtf8();
        char length[4];
        qToBigEndian<quint32>(quint32(name.size()), length);
        return (hot ? magic : QByteArray(8, '\0')) + QByteArray(504, '\0') +
               QByteArray::fromHex("40000000") + name + QByteArray(length, 4) +
               QByteArray(4, '\0') + magic;
    };
    QVERIFY(write(QStringLiteral("Solars.DB-journal"), journal(true, "Money.DB-mj1A2B3C9D4")));
    QVERIFY(write(QStringLiteral("Money.DB-journal"), journal(false, "Money.DB-mj0F0E0D9C3")));
    for (const char *name :
         {"Money.DB-mj1A2B3C9D4", "Money.DB-mj0F0E0D9C3", "Money.DB-mjFFFFFF900"})
        QVERIFY(write(name, "x"));

    SuperJournals::removeStale(dir.path(), {"Money.DB", "Solars.DB", "SaleSolars.DB"});
    QCOMPARE(dir.entryList({QStringLiteral("Money.DB*")}, QDir::Files),
             QStringList({"Money.DB", "Money.DB-journal", "Money.DB-mj1A2B3C9D4"}));
}

void TestData::tableOutlivesDatabase()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(createInstallation(dir.path(), &error));
    auto database = std::make_unique<Database>(deskDatabaseSchema());
    QVERIFY(database->connectDirectory(dir.path()));
    Table table(database.get(), QStringLiteral("Solars.DB"));
    Query query(database.get());
    QVERIFY(table.open());
    query.setSql(QStringLiteral("select * from Solars"));
    QVERIFY(query.exec());
    database.reset();
    QVERIFY(!table.isOpen());
    QVERIFY(!query.isOpen());
    QVERIFY(!table.open());
    QCOMPARE(Engine::lastError().code, quint16(EngineErrorCode::NotConnected));
    QVERIFY(!query.exec());
}

void TestData::queryResult()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    for (int i = 1; i <= 450; ++i) {
        QVERIFY(
            installation.sales.append(receipt(i, QDate(2026, 4, 1 + i % 30), QTime(9, 0), 1 + i % 8,
                                              10, 0, 60 + i, i % 2 ? "Novák" : "Černá")));
    }
    Query query(&installation.database);
    query.setSql(QStringLiteral("select * from SALESOLARS;"));
    QVERIFY2(query.exec(), qPrintable(Engine::lastError().message));
    QVERIFY(query.isOpen());
    QCOMPARE(query.recordCount(), 450);
    QCOMPARE(query.fieldNames(), (QStringList{"PARAGON", "DATE", "TIME", "SOLAR", "STOP", "TAX",
                                              "PRICE", "OFF", "PERIOD", "USER"}));
    QCOMPARE(query.fieldTypes().at(1), FieldType::Date);
    QCOMPARE(query.fields().at(9).size, 16);
    QVERIFY(query.first());
    QCOMPARE(query.value(1).toDate(), QDate(2026, 4, 2));
    QCOMPARE(query.value(2).toTime(), QTime(9, 0));
    const QList<QVariantList> window = query.readWindow(440, 20);
    QCOMPARE(window.size(), 10);
    QCOMPARE(window.first().first().toInt(), 441);

    // The console's search: a prefix in small letters finds the capitalised name.
    QVERIFY(query.locate(QStringLiteral("USER"), QStringLiteral("čer"),
                         LocateOption::CaseInsensitive | LocateOption::PartialKey));
    QCOMPARE(query.recordNumber(), 1);
    QCOMPARE(query.value(0).toInt(), 2);
    QVERIFY(!query.locate(QStringLiteral("USER"), QStringLiteral("x"), LocateOption::PartialKey));

    int rows = 0;
    for (query.first(); !query.eof(); query.next())
        ++rows;
    QCOMPARE(rows, 450);

    // Computed columns, the receipt price function, and statements that cannot be nested.
    query.setSql(
        QStringLiteral("select count(*), sum(PRICE_TOTAL(PERIOD, PRICE, OFF)) from SaleSolars"));
    QVERIFY(query.exec());
    QCOMPARE(query.fieldTypes().first(), FieldType::LongInteger);
    QCOMPARE(query.value(0).toInt(), 450);
    query.setSql(QStringLiteral("pragma SaleSolars.index_list('SaleSolars')"));
    QVERIFY(query.exec());
    QCOMPARE(query.recordCount(), 17);
    QCOMPARE(query.readWindow(15, 5).size(), 2);
}

void TestData::queryStatementsWithoutRows_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("money");
    QTest::newRow("update") << "UPDATE money SET MONEY = MONEY + 25" << 25;
    QTest::newRow("update with semicolon") << "update MONEY set money = 7;" << 7;
}

void TestData::queryStatementsWithoutRows()
{
    QFETCH(QString, sql);
    QFETCH(int, money);
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Query query(&installation.database);
    query.setSql(sql);
    QVERIFY(query.exec());
    QVERIFY(!query.isOpen());
    QCOMPARE(query.recordCount(), 0);
    QVERIFY(installation.money.refresh());
    QCOMPARE(installation.money.value(QStringLiteral("MONEY")).toInt(), money); // ran once
}

void TestData::queryErrors_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("misspelt") << "selekt * from SaleSolars";
    QTest::newRow("unknown table") << "select * from Nothing";
    QTest::newRow("two statements") << "select 1; select 2";
    QTest::newRow("constraint")
        << "update Solars set DESCRIPTION = 'abcdefghijklmnopqrstuvwxyz1234567'";
}

void TestData::queryErrors()
{
    QFETCH(QString, sql);
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Query query(&installation.database);
    query.setSql(sql);
    Engine::clearLastError();
    QVERIFY(!query.exec());
    QVERIFY(!query.isOpen());
    const EngineError error = Engine::lastError();
    QVERIFY(error.code > 1);
    QVERIFY(!error.message.isEmpty());
    QVERIFY(error.message.size() <= EngineError::MaxMessageLength);
}

void TestData::tableModel()
{
    TableInstallation installation;
    QVERIFY(installation.connectAndOpen());
    Table &sales = installation.sales;
    for (int i = 1; i <= 450; ++i) {
        QVERIFY(sales.append(receipt(i, QDate(2026, 4, 1 + i % 30), QTime(9, 0), 1 + i % 8, 10,
                                     i % 3 * 5, 754, "u")));
    }
    TableModel model(&sales, saleSolarsTable().visibleColumns());
    QCOMPARE(model.rowCount(), 450);
    QCOMPARE(model.columnCount(), 12);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Doklad"));
    QCOMPARE(model.headerData(11, Qt::Horizontal).toString(), QStringLiteral("Uživatel"));
    QCOMPARE(model.currentRow(), 449); // the last appended record is current
    const int mmss = model.columnOfField(QStringLiteral("PERIOD_MMSS"));
    QCOMPARE(model.data(model.index(300, 0)).toString(), QStringLiteral("000000301"));
    QCOMPARE(model.data(model.index(300, mmss)).toString(), QStringLiteral("12:34"));
    QCOMPARE(model.data(model.index(300, mmss), Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignHCenter | Qt::AlignVCenter));
    QCOMPARE(model.data(model.index(2, 1)).toString(), QStringLiteral("4.4.2026"));

    // It follows the cursor and its order.
    QVERIFY(model.setCurrentRow(10));
    QCOMPARE(sales.value(QStringLiteral("PARAGON")).toInt(), 11);
    QVERIFY(sales.setIndexName(QStringLiteral("PARAGON_")));
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("000000450"));
    QCOMPARE(model.currentRow(), 439);
    QVERIFY(sales.setFilter({{QStringLiteral("SOLAR"), FilterCondition::Equal, 3}}));
    QVERIFY(sales.setFiltered(true));
    QCOMPARE(model.rowCount(), int(sales.recordCount()));
    QCOMPARE(model.currentRow(), 0);

    // The row being edited shows the edit buffer.
    QVERIFY(sales.edit());
    QVERIFY(sales.setValue(QStringLiteral("PERIOD"), 125));
    QCOMPARE(model.data(model.index(0, mmss)).toString(), QStringLiteral("02:05"));
    sales.cancel();
    QCOMPARE(model.data(model.index(0, mmss)).toString(), QStringLiteral("12:34"));
    sales.close();
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
