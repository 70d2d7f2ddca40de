#include "deskfixture.h"
#include "fakes/childcontrol.h"
#include "fakes/whenmodal.h"

#include "core/programvalues.h"
#include "desk/settings/backupsettingsstore.h"
#include "desk/settings/databasesettingsstore.h"
#include "desk/tablefiles.h"
#include "settings/formbackup.h"
#include "settings/formdatabase.h"
#include "ui/common/messagedialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestFormBackup : public QObject
{
    Q_OBJECT

private slots:
    void okNeedsExistingDirectories_data();
    void okNeedsExistingDirectories();
    void cancelRestoresAndBackupNowRuns();
    void lastSuccessesSurviveRestart();
    void databaseWindowShowsSizeAndDefaults();
    void settingsWindowsAreFixed();
};

void TestFormBackup::okNeedsExistingDirectories_data()
{
    QTest::addColumn<bool>("hourly");
    QTest::addColumn<QString>("hourlyPath"); // "." is the installation's folder
    QTest::addColumn<bool>("daily");
    QTest::addColumn<QString>("dailyPath");
    QTest::addColumn<bool>("okEnabled");
    QTest::newRow("both off, paths empty") << false << "" << false << "" << true;
    QTest::newRow("hourly into a folder") << true << "." << false << "" << true;
    QTest::newRow("hourly, no such folder") << true << "./chybí" << false << "" << false;
    QTest::newRow("daily, empty path") << false << "" << true << "" << false;
    QTest::newRow("both into folders") << true << "." << true << "." << true;
}

void TestFormBackup::okNeedsExistingDirectories()
{
    QFETCH(bool, hourly);
    QFETCH(QString, hourlyPath);
    QFETCH(bool, daily);
    QFETCH(QString, dailyPath);
    RunsFixture desk;
    BackupSettingsStore store;
    TFormBackup window(store, desk.m_desk.backups());
    window.show();
    const QString root = desk.m_installation.path("");
    const auto place = [&](const QString &path) {
        return path.isEmpty() ? path : QString(path).replace(0, 1, root);
    };
    if (hourly)
        child<QCheckBox>(window, "CheckBoxBackupTime")->click();
    if (daily)
        child<QCheckBox>(window, "CheckBoxBackupDay")->click();
    child<QLineEdit>(window, "EditBackupPathTime")->setText(place(hourlyPath));
    child<QLineEdit>(window, "EditBackupPathDay")->setText(place(dailyPath));
    QCOMPARE(child<QLineEdit>(window, "EditBackupPathTime")->isEnabled(), hourly);
    QCOMPARE(child<QPushButton>(window, "ButtonDay")->isEnabled(), daily);
    QTEST(child<QPushButton>(window, "ButtonOk")->isEnabled(), "okEnabled");
    window.close(); // the close box keeps what was typed
    QCOMPARE(store.hourlyBackups(), hourly);
    QCOMPARE(store.dailyDirectory(), place(dailyPath));
}

void TestFormBackup::cancelRestoresAndBackupNowRuns()
{
    MessageDialogsTestHook::engage();
    RunsFixture desk;
    const QString directory = desk.m_installation.path("zálohy");
    QVERIFY(QDir().mkpath(directory));
    {
        BackupSettingsStore store;
        TFormBackup window(store, desk.m_desk.backups());
        QTimer::singleShot(0, &window, [&] {
            child<QCheckBox>(window, "CheckBoxBackupTime")->click();
            child<QLineEdit>(window, "EditBackupPathTime")->setText(directory);
            window.accept();
        });
        window.exec(); // "Ok" stores them
    }
    BackupSettingsStore store;
    QVERIFY(store.read());
    QVERIFY(store.hourlyBackups());
    QCOMPARE(store.hourlyDirectory(), directory);
    TFormBackup window(store, desk.m_desk.backups());
    window.show();
    child<QCheckBox>(window, "CheckBoxBackupTime")->click();
    child<QPushButton>(window, "ButtonCancel")->click();
    QVERIFY(store.hourlyBackups()); // "Storno" put the stored values back
    QVERIFY(child<QCheckBox>(window, "CheckBoxBackupTime")->isChecked());

    whenModal<QFileDialog>([&](QFileDialog *picker) {
        picker->selectFile(directory);
        static_cast<QDialog *>(picker)->accept();
    });
    child<QPushButton>(window, "ButtonNow")->click();
    QCOMPARE(QDir(directory).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{"2026-12-09_09-05-00"});
    MessageDialogsTestHook::release();
}

void TestFormBackup::lastSuccessesSurviveRestart()
{
    RunsFixture desk;
    const QString directory = desk.m_installation.path("zálohy");
    QVERIFY(QDir().mkpath(directory));
    QVERIFY(desk.m_desk.backups().BackupAfterTime(directory));
    desk.m_installation.m_clock.advance(90 * 1000);
    QVERIFY(desk.m_desk.backups().BackupNow(directory));
    QVERIFY(!desk.m_desk.backups().BackupAfterTime(directory + "/chybí")); // keeps the last one
    const QStringList shown = {"Poslední úspěšná záloha: 9.12.2026 9:05:00",
                               "Poslední úspěšná záloha: žádná",
                               "Poslední úspěšná záloha: 9.12.2026 9:06:30"};
    BackupSettingsStore store;
    const auto labels = [](TFormBackup &window) {
        window.show();
        return QStringList{child<QLabel>(window, "LabelLastTime")->text(),
                           child<QLabel>(window, "LabelLastDay")->text(),
                           child<QLabel>(window, "LabelLastNow")->text()};
    };
    {
        TFormBackup window(store, desk.m_desk.backups());
        QCOMPARE(labels(window), shown);
    }
    RecordingDeskReport report;
    Desk restarted(report);
    QVERIFY(restarted.database().connectDirectory(desk.m_installation.dataDirectory()));
    TFormBackup window(store, restarted.backups());
    QCOMPARE(labels(window), shown);
    const QFileInfo history(desk.m_installation.dataDirectory() + "/Velmora.backups");
    QVERIFY(!(history.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
}

void TestFormBackup::databaseWindowShowsSizeAndDefaults()
{
    DeskFixture desk;
    QTemporaryDir tables;
    Program().DatabaseDir = tables.path();
    const QList<std::pair<QString, int>> files = {
        {"Money.DB", 2048}, {"Solars.DB", 10240}, {"SaleSolars.DB", 409600}, {"Jiná.DB", 5000}};
    for (const auto &[name, size] : files) {
        QFile file(tables.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
    }
    DatabaseSettingsStore store;
    QVERIFY(store.read());
    QVERIFY(store.regenerateIndexes() && store.packTables() && store.saveImmediately());
    QVERIFY(!store.deleteControlFiles() && !store.secured() && !store.purgeOldReceipts());
    TFormDatabase window(store);
    QTimer::singleShot(0, &window, &QDialog::reject);
    window.exec();
    QCOMPARE(child<QLabel>(window, "LabelSize")->text(), QString("412 KB")); // 421888 bytes
    QVERIFY(!child<QLineEdit>(window, "IntegerEditSales")->isEnabled());
    child<QCheckBox>(window, "CheckBoxSales")->click();
    QVERIFY(child<QLineEdit>(window, "IntegerEditSales")->isEnabled());
    QCOMPARE(BackupSize(tables.path()), 421888 + 5000); // every "*.DB" of a backup folder
    QVERIFY(BackupComplete(tables.path()));
    QVERIFY(QFile::remove(tables.filePath("Solars.DB")) && !BackupComplete(tables.path()));
}

// A window manager offers the buttons that work: no maximise for a form that cannot grow.
void TestFormBackup::settingsWindowsAreFixed()
{
    RunsFixture desk;
    BackupSettingsStore backupStore;
    DatabaseSettingsStore databaseStore;
    TFormBackup backup(backupStore, desk.m_desk.backups());
    TFormDatabase database(databaseStore);
    for (QDialog *window : {static_cast<QDialog *>(&backup), static_cast<QDialog *>(&database)}) {
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() &
                  (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }
}

QTEST_MAIN(TestFormBackup)
#include "tst_formbackup.moc"
