#include "deskfixture.h"
#include "filebytes.h"

#include "core/textfile.h"
#include "desk/desksession.h"

#include <QDir>
#include <QTest>

#include <functional>

namespace {

using StoreOf = std::function<SettingsStore &(DeskSession &)>;
using Read = std::function<QVariant(DeskSession &)>;

} // namespace

Q_DECLARE_METATYPE(StoreOf)
Q_DECLARE_METATYPE(Read)

// The settings of every section without any window: their keys, in the order the windows wrote
// them, their defaults, and what each store makes of values edited by hand.
class TestSettingsStores : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newInstallationWritesKeysAndDefaults_data();
    void newInstallationWritesKeysAndDefaults();
    void storedValuesAsTheDeskReadsThem_data();
    void storedValuesAsTheDeskReadsThem();
    void taxRateIsNeverStored();
    void printedLinesBeyondTheLimitGo();
    void endWritesReadSectionsInTheWindowsOrder();

private:
    QString iniPath() const { return m_desk->path("config/Velmora.ini"); }
    void writeIni(const QStringList &lines);

    DeskFixture *m_desk = nullptr;
    RecordingDeskReport m_report;
};

void TestSettingsStores::init()
{
    m_desk = new DeskFixture;
}

void TestSettingsStores::cleanup()
{
    delete m_desk;
}

void TestSettingsStores::writeIni(const QStringList &lines)
{
    QVERIFY(QDir().mkpath(m_desk->path("config")));
    QVERIFY(Cp1250Lines::write(iniPath(), lines).ok());
}

void TestSettingsStores::newInstallationWritesKeysAndDefaults_data()
{
    QTest::addColumn<StoreOf>("store");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("solarium")
        << StoreOf([](DeskSession &s) -> SettingsStore & { return s.solarStore(); })
        << QByteArray("[SetupSolar]\nFormVersion=0\nEditOffDefault_Text=0\nEditPort_Text=0378\n"
                      "CheckBoxSaleSalesAll_Checked=True\nCheckBoxUseDialogs_Checked=True\n\n"
                      "[SetupSolar.ListBoxOff_Items]\nCount=1\nItem0=0\n");
    QTest::newRow("print") << StoreOf(
                                  [](DeskSession &s) -> SettingsStore & { return s.printStore(); })
                           << QByteArray(
                                  "[SetupPrint]\nFormVersion=0\nRadioButtonManual_Checked=True\n"
                                  "RadioButtonAuto_Checked=False\n");
    QTest::newRow("backup")
        << StoreOf([](DeskSession &s) -> SettingsStore & { return s.backupStore(); })
        << QByteArray("[Backup]\nFormVersion=0\nCheckBoxBackupTime_Checked=False\n"
                      "EditBackupPathTime_Text=\nCheckBoxBackupDelete_Checked=False\n"
                      "IntegerEditBackupDelete_Value=0\nCheckBoxBackupDay_Checked=False\n"
                      "EditBackupPathDay_Text=\n");
    QTest::newRow("database")
        << StoreOf([](DeskSession &s) -> SettingsStore & { return s.databaseStore(); })
        << QByteArray("[Database]\nFormVersion=0\nCheckBoxDeleteFiles_Checked=False\n"
                      "CheckBoxCreateIndex_Checked=False\nCheckBoxRegenerationIndex_Checked=True\n"
                      "CheckBoxPackTable_Checked=True\nCheckBoxWait_Checked=False\n"
                      "CheckBoxSave_Checked=True\nCheckBoxSecured_Checked=False\n"
                      "CheckBoxSales_Checked=False\nIntegerEditSales_Value=0\n");
    QTest::newRow("login") << StoreOf([](DeskSession &s) -> SettingsStore & {
        return s.loginStore();
    }) << QByteArray("[User]\nFormVersion=0\nComboBoxUser_Text=\n");
}

void TestSettingsStores::newInstallationWritesKeysAndDefaults()
{
    QFETCH(StoreOf, store);
    QFETCH(QByteArray, written);
    DeskSession session(m_report);
    QVERIFY(store(session).read());
    QVERIFY(!QFile::exists(iniPath()));
    QVERIFY(store(session).write());
    QCOMPARE(readBytes(iniPath()), crlf(written));
}

void TestSettingsStores::storedValuesAsTheDeskReadsThem_data()
{
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<Read>("read");
    QTest::addColumn<QVariant>("expected");
    const QStringList list = {"[SetupSolar.ListBoxOff_Items]",
                              "Count=5",
                              "Item0=20",
                              "Item1=5",
                              "Item2=x",
                              "Item3=007",
                              "Item4=5"};
    const Read discounts = [](DeskSession &s) { return QVariant(s.solarStore().discounts()); };
    const Read defaultDiscount = [](DeskSession &s) {
        return QVariant(s.solarStore().defaultDiscount());
    };
    QTest::newRow("discounts tidied and sorted")
        << list << discounts << QVariant(QStringList{"5", "7", "20"});
    QTest::newRow("emptied default takes the first")
        << (QStringList{"[SetupSolar]", "EditOffDefault_Text="} + list) << defaultDiscount
        << QVariant("5");
    QTest::newRow("default with leading zeros")
        << (QStringList{"[SetupSolar]", "EditOffDefault_Text=020"} + list) << defaultDiscount
        << QVariant("20");
    QTest::newRow("default outside the list stays")
        << (QStringList{"[SetupSolar]", "EditOffDefault_Text=30"} + list) << defaultDiscount
        << QVariant("30");
    QTest::newRow("port cut to four digits")
        << QStringList{"[SetupSolar]", "EditPort_Text=03789"}
        << Read([](DeskSession &s) { return QVariant(s.solarStore().portText()); })
        << QVariant("0378");
    QTest::newRow("receipts not all recorded")
        << QStringList{"[SetupSolar]", "CheckBoxSaleSalesAll_Checked=False"}
        << Read([](DeskSession &s) { return QVariant(s.solarStore().recordAllReceipts()); })
        << QVariant(false);
    QTest::newRow("automatic printing")
        << QStringList{"[SetupPrint]", "RadioButtonManual_Checked=False",
                       "RadioButtonAuto_Checked=True"}
        << Read([](DeskSession &s) { return QVariant(s.printStore().manualPrinting()); })
        << QVariant(false);
    QTest::newRow("backup age held at 9999 days")
        << QStringList{"[Backup]", "IntegerEditBackupDelete_Value=12000"}
        << Read([](DeskSession &s) { return QVariant(s.backupStore().purgeAfterDays()); })
        << QVariant(9999);
    QTest::newRow("backup folder without blanks")
        << QStringList{"[Backup]", "EditBackupPathDay_Text=\" /zálohy \""}
        << Read([](DeskSession &s) { return QVariant(s.backupStore().dailyDirectory()); })
        << QVariant("/zálohy");
    QTest::newRow("receipts purged after no number: 0 days")
        << QStringList{"[Database]", "IntegerEditSales_Value=týden"}
        << Read([](DeskSession &s) { return QVariant(s.databaseStore().purgeReceiptsAfterDays()); })
        << QVariant(0);
    QTest::newRow("wait at start")
        << QStringList{"[Database]", "CheckBoxWait_Checked=true"}
        << Read([](DeskSession &s) { return QVariant(s.databaseStore().waitAtStart()); })
        << QVariant(true);
    QTest::newRow("last login") << QStringList{"[User]", "ComboBoxUser_Text=Novák"}
                                << Read([](DeskSession &s) {
                                       return QVariant(s.loginStore().lastUser());
                                   })
                                << QVariant("Novák");
}

void TestSettingsStores::storedValuesAsTheDeskReadsThem()
{
    QFETCH(QStringList, ini);
    QFETCH(Read, read);
    QFETCH(QVariant, expected);
    writeIni(ini);
    DeskSession session(m_report);
    QVERIFY(session.loadSettings().isEmpty());
    QVERIFY(session.loginStore().read());
    QCOMPARE(read(session), expected);
}

void TestSettingsStores::taxRateIsNeverStored()
{
    {
        DeskSession session(m_report);
        QVERIFY(session.loadSettings().isEmpty());
        QCOMPARE(session.solarStore().taxRate(), SolarSettingsStore::DefaultTaxRate);
        session.solarStore().setTaxRate(21);
        QCOMPARE(session.solarSettings().taxRate(), 21); // what the runs read
    }
    QVERIFY(!readBytes(iniPath()).contains("Tax"));
    DeskSession restarted(m_report);
    QVERIFY(restarted.loadSettings().isEmpty());
    QCOMPARE(restarted.solarStore().taxRate(), 5);
}

void TestSettingsStores::printedLinesBeyondTheLimitGo()
{
    writeIni({"[SetupPrint.MemoTitle_Lines]", "Count=3", "Item0=abcdef", "Item1=gh", "Item2=ij"});
    DeskSession session(m_report);
    QVERIFY(session.loadSettings().isEmpty());
    // Four characters to a printed line, three printed lines.
    session.printStore().limitLines(PrintSettingsStore::MemoTitle, 3, [](const QString &line) {
        QStringList printed;
        for (qsizetype at = 0; at < line.size(); at += 4)
            printed << line.mid(at, 4);
        return printed;
    });
    QCOMPARE(session.printStore().titleLines(), QStringList({"abcdef", "gh"}));
    writeIni({"[SetupPrint.MemoTitle_Lines]", "Count=2", "Item0=abcdefghijklmn", "Item1=x"});
    QVERIFY(session.printStore().read()); // every read keeps the limit
    QCOMPARE(session.printStore().titleLines(), QStringList({"abcdefghijkl"}));
}

void TestSettingsStores::endWritesReadSectionsInTheWindowsOrder()
{
    {
        DeskSession session(m_report);
        QVERIFY(session.loginStore().read()); // the login writes its section itself
    }
    QVERIFY(!QFile::exists(iniPath()));
    {
        DeskSession session(m_report);
        QVERIFY(session.loadSettings().isEmpty());
    }
    IniFile ini(iniPath());
    QVERIFY(ini.load(nullptr));
    QCOMPARE(ini.sections(), QStringList({"SetupSolar", "SetupSolar.ListBoxOff_Items", "SetupPrint",
                                          "Backup", "Database"}));
}

QTEST_MAIN(TestSettingsStores)
#include "tst_settingsstores.moc"
