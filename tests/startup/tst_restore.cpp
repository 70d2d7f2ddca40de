#include "childoutput.h"
#include "deskfixture.h"

#include "data/database.h"
#include "data/table.h"
#include "data/tablefilecheck.h"
#include "data/tablekeys.h"
#include "desk/backupchecksums.h"
#include "desk/salonschema.h"
#include "settings/formrestore.h"
#include "startup/databasemaintenance.h"
#include "startup/forminitialization.h"
#include "startup/tablerestore.h"
#include "ui/common/messagedialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTreeWidget>

#include <csignal>
#include <unistd.h>

namespace {

namespace Hook = MessageDialogsTestHook;

const QStringList TableFiles = {"Money.DB", "Solars.DB", "SaleSolars.DB"};

// A backup of the installation's tables with `receipts` receipts in them and ten crowns a
// receipt in the cash.
void makeBackup(DeskFixture &desk, const QString &folder, int receipts)
{
    QVERIFY(QDir().mkpath(folder));
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(desk.dataDirectory()));
    QVERIFY(runSql(database, "delete from SaleSolars"));
    for (int paragon = 1; paragon <= receipts; ++paragon)
        QVERIFY(runSql(database, QString("insert into SaleSolars values (%1, '2026-12-01', "
                                         "'10:%1:00', 1, 0, 21, 10.0, 0, 60, 'Eva')")
                                     .arg(paragon, 2, 10, QChar('0'))));
    QVERIFY(runSql(database, QString("update Money set MONEY = %1").arg(10 * receipts)));
    database.disconnect();
    for (const QString &file : TableFiles)
        QVERIFY(QFile::copy(desk.dataDirectory() + "/" + file, folder + "/" + file));
}

void protectBackup(const QString &folder)
{
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(folder));
    for (const QString &file : TableFiles)
        QCOMPARE(Table(&database, file).restructure(true, true), quint16(0));
}

// One byte of the first receipt's user name changed: the file stays a sound table file.
void changeOneByte(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const qsizetype at = file.readAll().indexOf("Eva");
    QVERIFY(at > 0 && file.seek(at + 2) && file.write("b") == 1);
}

bool protectedFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && !file.read(16).startsWith("SQLite format 3");
}

int storedReceipts(DeskFixture &desk)
{
    Database database{deskDatabaseSchema()};
    if (!database.connectDirectory(desk.dataDirectory()))
        return -1;
    return queryValue(database, "select count(*) from SaleSolars").toInt();
}

} // namespace

class TestRestore : public QObject
{
    Q_OBJECT

private slots:
    void init() { MessageDialogsTestHook::engage(); }
    void cleanup() { MessageDialogsTestHook::release(); }
    void listsCompleteBackups();
    void listShowsWhatEachBackupHolds();
    void restoresAllOrNothing_data();
    void restoresAllOrNothing();
    void killedRestoresLeaveOneSet();
    void restoredTablesTakeTheSetProtection_data();
    void restoredTablesTakeTheSetProtection();
};

void TestRestore::listsCompleteBackups()
{
    DeskFixture desk;
    FakeBackupSettings settings;
    settings.dailyFolder = desk.path("dny");
    settings.hourly = desk.path("prázdná");
    QVERIFY(QDir().mkpath(settings.hourly));
    makeBackup(desk, settings.dailyFolder + "/Pondeli", 1);
    makeBackup(desk, settings.dailyFolder + "/Utery", 1);
    makeBackup(desk, settings.dailyFolder + "/s.teckou", 1);
    makeBackup(desk, settings.dailyFolder + "/Streda", 1);
    QVERIFY(QFile::remove(settings.dailyFolder + "/Streda/Solars.DB")); // incomplete
    QFile other(settings.dailyFolder + "/Utery/Jina.DB");
    QVERIFY(other.open(QIODevice::WriteOnly) && other.write(QByteArray(100, 'x')) == 100);
    other.close();

    TFormRestore window(settings);
    window.show();
    auto *list = window.findChild<QTreeWidget *>("ListView");
    QCOMPARE(list->topLevelItemCount(), 2);
    QStringList names;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        names << list->topLevelItem(row)->text(1);
    QCOMPARE(QSet<QString>(names.begin(), names.end()), (QSet<QString>{"Pondeli", "Utery"}));
    QCOMPARE(list->currentItem(), list->topLevelItem(1)); // the last in the list's order
    QCOMPARE(window.EditRestore(), settings.dailyFolder + "/" + names.last());
    const qint64 tables = QFileInfo(settings.dailyFolder + "/Pondeli/Money.DB").size() +
                          QFileInfo(settings.dailyFolder + "/Pondeli/Solars.DB").size() +
                          QFileInfo(settings.dailyFolder + "/Pondeli/SaleSolars.DB").size();
    QCOMPARE(list->findItems("Utery", Qt::MatchExactly, 1).first()->text(2),
             QString::number(tables + 100));
    QVERIFY(window.findChild<QPushButton *>("ButtonOk")->isEnabled());

    window.findChild<QRadioButton *>("RadioButtonTime")->click();
    QCOMPARE(list->topLevelItemCount(), 0);
    QVERIFY(window.EditRestore().isEmpty());
    QVERIFY(!window.findChild<QPushButton *>("ButtonOk")->isEnabled());
}

void TestRestore::listShowsWhatEachBackupHolds()
{
    TableKeys::registerPassword(QStringLiteral("Heslo obnovy"));
    DeskFixture desk;
    FakeBackupSettings settings;
    settings.dailyFolder = desk.path("dny");
    const QMap<QString, QStringList> shown = {{"Pondeli", {"3", "1.12.2026 10:03:00"}},
                                              {"Utery", {"0", ""}},
                                              {"Streda", {"2", "1.12.2026 10:02:00"}},
                                              {"Ctvrtek", {"—", "nelze přečíst"}}};
    for (auto entry = shown.begin(); entry != shown.end(); ++entry)
        makeBackup(desk, settings.dailyFolder + "/" + entry.key(), entry.value()[0].toInt());
    protectBackup(settings.dailyFolder + "/Streda"); // read with the registered password
    QFile damaged(settings.dailyFolder + "/Ctvrtek/SaleSolars.DB");
    QVERIFY(damaged.open(QIODevice::ReadWrite) && damaged.write(QByteArray(100, 'x')) == 100);
    damaged.close();

    TFormRestore window(settings);
    window.show();
    auto *list = window.findChild<QTreeWidget *>("ListView");
    QCOMPARE(list->topLevelItemCount(), shown.size());
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        QCOMPARE((QStringList{item->text(3), item->text(4)}), shown.value(item->text(1)));
    }
    QVERIFY(!list->findItems("Ctvrtek", Qt::MatchExactly, 1).first()->toolTip(4).isEmpty());
}

void TestRestore::restoresAllOrNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("restored");
    QTest::addColumn<QString>("warned"); // the warning's headline after the question
    QTest::newRow("answered Ano") << "yes" << true << "";
    QTest::newRow("answered Ne") << "no" << false << "";
    QTest::newRow("third copy damaged") << "damaged" << false << "";
    QTest::newRow("a byte changed, checksums kept")
        << "changed" << false << "Záloha je poškozená, obnova nebyla provedena...";
    QTest::newRow("a byte changed, older backup without checksums")
        << "changed, older" << true << "";
    QTest::newRow("checksum file without a table's line")
        << "short checksums" << false << "Zálohu nelze ověřit, obnova nebyla provedena...";
    QTest::newRow("cut short after the note") << "interrupted" << true << "";
    QTest::newRow("cut short before the note") << "early" << false << "";
}

void TestRestore::restoresAllOrNothing()
{
    QFETCH(QString, how);
    QFETCH(bool, restored);
    QFETCH(QString, warned);
    DeskFixture desk;
    const QString backup = desk.path("záloha");
    makeBackup(desk, backup, 3);
    if (QStringList{"yes", "no", "changed", "short checksums"}.contains(how))
        QVERIFY(BackupChecksums::write(backup).ok());
    if (how.startsWith("changed"))
        changeOneByte(backup + "/SaleSolars.DB");
    if (how == "short checksums") {
        QFile checksums(backup + "/Velmora.sha256");
        QVERIFY(checksums.open(QIODevice::ReadOnly));
        const QByteArray kept = checksums.readLine();
        checksums.close();
        QVERIFY(writeFileAtomically(backup + "/Velmora.sha256", kept).ok());
    }
    makeBackup(desk, desk.path("ignored"), 1); // the tables now hold 1 receipt
    const QString data = desk.dataDirectory();
    QFile journal(data + "/SaleSolars.DB-journal"); // left by the old tables' last run
    QVERIFY(journal.open(QIODevice::WriteOnly) && journal.write("old") == 3);
    journal.close();
    if (how == "damaged") {
        QFile table(backup + "/SaleSolars.DB");
        QVERIFY(table.open(QIODevice::ReadWrite));
        table.seek(100);
        table.write(QByteArray(4000, 'x'));
    }

    TFormInitialization progress;
    if (how == "interrupted" || how == "early") {
        for (const QString &file : TableFiles)
            QVERIFY(QFile::copy(backup + "/" + file, data + "/" + file + ".restore"));
        if (how == "interrupted") {
            QFile note(data + "/Velmora.restore");
            QVERIFY(note.open(QIODevice::WriteOnly));
        }
        QVERIFY(restoreLeftovers(data));
        QCOMPARE(finishInterruptedRestore(data), restored);
    } else {
        Hook::queueAnswers({how != "no"});
        QCOMPARE(RestoreTablesFrom(backup, data), restored);
        QCOMPARE(progress.lines(), (QStringList{"Obnova databáze...", restored ? "Ok" : "Error"}));
        const auto asked = Hook::takeMessages();
        QCOMPARE(asked.size(), warned.isEmpty() ? 1 : 2);
        QCOMPARE(asked.first().text, QString("Opravdu provést obnovu databáze ?"));
        QVERIFY(!asked.first().defaultYes);
        if (!warned.isEmpty())
            QCOMPARE(asked.last().text, warned);
    }
    QCOMPARE(QFile::exists(data + "/SaleSolars.DB-journal"), !restored);
    QVERIFY(!restoreLeftovers(data));
    QCOMPARE(storedReceipts(desk), restored ? 3 : 1);
}

void TestRestore::killedRestoresLeaveOneSet()
{
    // Killed at any instant of a restore, the next start finds the old tables or the new ones.
    DeskFixture desk;
    makeBackup(desk, desk.path("a"), 3);
    makeBackup(desk, desk.path("b"), 5);
    const QString data = desk.dataDirectory();
    QRandomGenerator random(20261210);
    QSet<int> seen;
    for (int kill = 0; kill < 20; ++kill) {
        QProcess child;
        child.start(QCoreApplication::applicationDirPath() + "/tst_restore_child",
                    {data, desk.path("a"), desk.path("b")});
        // After one restore, then after two by turns, so that both sets are seen however long
        // this machine takes for a restore.
        for (int restores = 0; restores <= kill % 2; ++restores)
            QVERIFY(waitForLine(child, "restored"));
        ::usleep(random.bounded(0, 50000));
        QVERIFY2(child.state() == QProcess::Running, "a restore failed");
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(5000));

        if (restoreLeftovers(data))
            finishInterruptedRestore(data);
        QVERIFY(!restoreLeftovers(data));
        Database database{deskDatabaseSchema()};
        QVERIFY(database.connectDirectory(data));
        const int receipts = queryValue(database, "select count(*) from SaleSolars").toInt();
        QVERIFY2(receipts == 3 || receipts == 5, qPrintable(QString::number(receipts)));
        seen.insert(receipts);
        QCOMPARE(queryValue(database, "select MONEY from Money").toInt(), 10 * receipts);
        for (const QString &table : {QString("Money"), QString("Solars"), QString("SaleSolars")})
            QVERIFY(isSoundTableFile(data + "/" + table + ".DB", table));
    }
    QCOMPARE(seen.size(), 2);
}

void TestRestore::restoredTablesTakeTheSetProtection_data()
{
    QTest::addColumn<bool>("protectedBackup");
    QTest::addColumn<bool>("secured");
    QTest::newRow("protected backup, protection off") << true << false;
    QTest::newRow("plain backup, protection on") << false << true;
    QTest::newRow("protected backup, protection on") << true << true;
}

void TestRestore::restoredTablesTakeTheSetProtection()
{
    QFETCH(bool, protectedBackup);
    QFETCH(bool, secured);
    TableKeys::registerPassword(QStringLiteral("Heslo obnovy"));
    DeskFixture desk;
    const QString backup = desk.path("záloha");
    makeBackup(desk, backup, 3);
    if (protectedBackup)
        protectBackup(backup);
    TFormInitialization progress;
    Hook::queueAnswers({true});
    QVERIFY(RestoreTablesFrom(backup, desk.dataDirectory()));
    // The repair chain after a restore packs the tables with the protection set now.
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(desk.dataDirectory()));
    for (const QString &file : TableFiles) {
        Table table(&database, file);
        QVERIFY(PackTable(table, secured));
        QCOMPARE(protectedFile(desk.dataDirectory() + "/" + file), secured);
    }
    database.disconnect();
    QCOMPARE(storedReceipts(desk), 3);
}

QTEST_MAIN(TestRestore)
#include "tst_restore.moc"
