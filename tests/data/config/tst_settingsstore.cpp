#include "data/config/inifile.h"
#include "data/config/settingsstore.h"
#include "filebytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr QLatin1String EditPort{"EditPort_Text"};
constexpr QLatin1String ListBoxOff{"ListBoxOff_Items"};
constexpr QLatin1String IntegerEditSales{"IntegerEditSales_Value"};
constexpr QLatin1String CheckBoxSave{"CheckBoxSave_Checked"};
constexpr QLatin1String CheckBoxWait{"CheckBoxWait_Checked"};
constexpr QLatin1String MemoAddress{"MemoAddress_Lines"};
constexpr QLatin1String ComboBoxUser{"ComboBoxUser_Text"};
constexpr QLatin1String RadioButtonManual{"RadioButtonManual_Checked"};
constexpr QLatin1String RadioButtonAuto{"RadioButtonAuto_Checked"};

// One key of every stored form, in the order they are written.
class SampleStore : public SettingsStore
{
public:
    explicit SampleStore(const QString &fileName, const QString &section = "SetupSolar")
        : SettingsStore(section, fileName)
    {
        addText(EditPort, "0378", 4);
        addLines(ListBoxOff, {"0"}, LinesShown::AsList);
        addValue(IntegerEditSales, 5, 0, 9999);
        addChecked(CheckBoxSave, true);
        addChecked(CheckBoxWait, false);
        addLines(MemoAddress, {}, LinesShown::AsMemo);
        addText(ComboBoxUser, QString());
        addChoice(RadioButtonManual, RadioButtonAuto, true);
    }

    QVariant stored(const QString &key) const
    {
        const QByteArray latin1 = key.toLatin1();
        const QLatin1String name(latin1);
        if (key.endsWith("_Text"))
            return text(name);
        if (key.endsWith("_Value"))
            return value(name);
        if (key.endsWith("_Checked"))
            return checked(name);
        return lines(name);
    }
};

const QByteArray Defaults = "FormVersion=0\nEditPort_Text=0378\nIntegerEditSales_Value=5\n"
                            "CheckBoxSave_Checked=True\nCheckBoxWait_Checked=False\n"
                            "ComboBoxUser_Text=\nRadioButtonManual_Checked=True\n"
                            "RadioButtonAuto_Checked=False\n";

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void endWritesEveryReadSection();
    void endWritesOnlyAfterRead();
    void peekOwesNoWrite();
    void emptiedListErasesItsSection();
    void readRules_data();
    void readRules();
    void roundTrip_data();
    void roundTrip();
    void unchangedWriteLeavesFileByteForByte();
    void failuresNameTheFileAndLoseNothing();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
};

void TestSettingsStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_file = m_dir->filePath("Velmora.ini");
}

void TestSettingsStore::endWritesEveryReadSection()
{
    SampleStore solar(m_file, "SetupSolar");
    SampleStore database(m_file, "Database");
    QVERIFY(solar.read() && database.read());
    QCOMPARE(solar.text(EditPort), "0378");
    QCOMPARE(solar.lines(ListBoxOff), QStringList("0"));
    QVERIFY(!QFile::exists(m_file));

    database.writeIfReadSinceWrite();
    solar.writeIfReadSinceWrite();
    QCOMPARE(readBytes(m_file),
             crlf("[Database]\n" + Defaults +
                  "\n[Database.ListBoxOff_Items]\nCount=1\nItem0=0\n"
                  "\n[SetupSolar]\n" +
                  Defaults + "\n[SetupSolar.ListBoxOff_Items]\nCount=1\nItem0=0\n"));
}

void TestSettingsStore::endWritesOnlyAfterRead()
{
    SampleStore store(m_file);
    store.writeIfReadSinceWrite();
    QVERIFY(!QFile::exists(m_file));
    QVERIFY(store.read());
    QVERIFY(store.hasReadSinceWrite());
    QVERIFY(store.write());
    QVERIFY(!store.hasReadSinceWrite());
    const QByteArray written = readBytes(m_file);
    store.setText(EditPort, "FFFF");
    store.writeIfReadSinceWrite(); // nothing read since the last write: nothing written
    QCOMPARE(readBytes(m_file), written);
}

void TestSettingsStore::peekOwesNoWrite()
{
    writeBytes(m_file, "[SetupSolar]\nEditPort_Text=1F0\n");
    SampleStore store(m_file);
    QVERIFY(store.peek());
    QCOMPARE(store.text(EditPort), "1F0");
    QVERIFY(!store.hasReadSinceWrite());
    store.writeIfReadSinceWrite();
    QCOMPARE(readBytes(m_file), QByteArray("[SetupSolar]\nEditPort_Text=1F0\n"));
}

void TestSettingsStore::emptiedListErasesItsSection()
{
    {
        SampleStore store(m_file);
        QVERIFY(store.read());
        store.setLines(ListBoxOff, {"0", "5", "10"});
        store.setLines(MemoAddress, {"Solárium", "Praha"});
        QVERIFY(store.write());
        IniFile ini(m_file);
        QVERIFY(ini.load(nullptr));
        QCOMPARE(ini.keys("SetupSolar.ListBoxOff_Items"),
                 QStringList({"Count", "Item0", "Item1", "Item2"}));
        QCOMPARE(ini.value("SetupSolar.MemoAddress_Lines", "Item1"), "Praha");

        store.setLines(ListBoxOff, {});
        store.setLines(MemoAddress, {""}); // an emptied memo has no lines
        QCOMPARE(store.lines(MemoAddress), QStringList());
        QVERIFY(store.write());
        QVERIFY(ini.load(nullptr));
        QCOMPARE(ini.sections(), QStringList("SetupSolar"));
    }
    SampleStore next(m_file);
    QVERIFY(next.read());
    QCOMPARE(next.lines(ListBoxOff), QStringList("0"));
}

void TestSettingsStore::readRules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("expected");
    const QByteArray s = "[SetupSolar]\n";
    const QByteArray list = "[SetupSolar.ListBoxOff_Items]\n";
    const QByteArray memo = "[SetupSolar.MemoAddress_Lines]\n";
    QTest::newRow("no section") << QByteArray() << "EditPort_Text" << QVariant("0378");
    QTest::newRow("missing key") << s + "Other=1\n"
                                 << "IntegerEditSales_Value" << QVariant(5);
    QTest::newRow("text trimmed") << s + "EditPort_Text=   1F0  \n"
                                  << "EditPort_Text" << QVariant("1F0");
    QTest::newRow("text cut to its length") << s + "EditPort_Text=03789\n"
                                            << "EditPort_Text" << QVariant("0378");
    QTest::newRow("text empty") << s + "EditPort_Text=\n"
                                << "EditPort_Text" << QVariant("");
    QTest::newRow("names without case")
        << QByteArray("[setupsolar]\neditport_text=ABCD\n") << "EditPort_Text" << QVariant("ABCD");
    QTest::newRow("text czech") << s + cp1250("ComboBoxUser_Text=  Novák  \n")
                                << "ComboBoxUser_Text" << QVariant("Novák");
    QTest::newRow("true in lower case") << s + "CheckBoxWait_Checked=true\n"
                                        << "CheckBoxWait_Checked" << QVariant(true);
    QTest::newRow("false in upper case") << s + "CheckBoxSave_Checked=FALSE\n"
                                         << "CheckBoxSave_Checked" << QVariant(false);
    QTest::newRow("1 leaves unchecked") << s + "CheckBoxWait_Checked=1\n"
                                        << "CheckBoxWait_Checked" << QVariant(false);
    QTest::newRow("0 leaves checked") << s + "CheckBoxSave_Checked=0\n"
                                      << "CheckBoxSave_Checked" << QVariant(true);
    QTest::newRow("value") << s + "IntegerEditSales_Value= 42 \n"
                           << "IntegerEditSales_Value" << QVariant(42);
    QTest::newRow("value no integer") << s + "IntegerEditSales_Value=12a\n"
                                      << "IntegerEditSales_Value" << QVariant(0);
    QTest::newRow("value above range") << s + "IntegerEditSales_Value=12000\n"
                                       << "IntegerEditSales_Value" << QVariant(9999);
    QTest::newRow("value below range") << s + "IntegerEditSales_Value=-3\n"
                                       << "IntegerEditSales_Value" << QVariant(0);
    QTest::newRow("list replaced") << list + "Count=2\nItem0=10\nItem1=0\n"
                                   << "ListBoxOff_Items" << QVariant(QStringList({"10", "0"}));
    QTest::newRow("list missing line") << list + "Count=2\nItem0=10\n"
                                       << "ListBoxOff_Items" << QVariant(QStringList({"10", ""}));
    QTest::newRow("list count 0 keeps") << list + "Count=0\nItem0=10\n"
                                        << "ListBoxOff_Items" << QVariant(QStringList("0"));
    QTest::newRow("list count no number") << list + "Count=x\nItem0=10\n"
                                          << "ListBoxOff_Items" << QVariant(QStringList("0"));
    QTest::newRow("list count damaged") << list + "Count=2000000000\nItem0=10\n"
                                        << "ListBoxOff_Items" << QVariant(QStringList("0"));
    QTest::newRow("memo lines trimmed") << memo + "Count=2\nItem0=a\nItem1=  b \n"
                                        << "MemoAddress_Lines" << QVariant(QStringList({"a", "b"}));
    QTest::newRow("memo one empty line is none") << memo + "Count=1\nItem0=\n"
                                                 << "MemoAddress_Lines" << QVariant(QStringList());
    QTest::newRow("list one empty line stays") << list + "Count=1\nItem0=\n"
                                               << "ListBoxOff_Items" << QVariant(QStringList(""));
    QTest::newRow("second option chosen") << s + "RadioButtonAuto_Checked=True\n"
                                          << "RadioButtonManual_Checked" << QVariant(false);
    QTest::newRow("both chosen: the second wins")
        << s + "RadioButtonManual_Checked=True\nRadioButtonAuto_Checked=True\n"
        << "RadioButtonManual_Checked" << QVariant(false);
    QTest::newRow("neither chosen: as it was")
        << s + "RadioButtonManual_Checked=False\nRadioButtonAuto_Checked=False\n"
        << "RadioButtonManual_Checked" << QVariant(true);
    QTest::newRow("older form version") << s + "FormVersion=-1\nEditPort_Text=ABCD\n"
                                        << "EditPort_Text" << QVariant("0378");
}

void TestSettingsStore::readRules()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QVariant, expected);
    if (!file.isEmpty())
        writeBytes(m_file, file);
    SampleStore store(m_file);
    QVERIFY(store.read());
    QCOMPARE(store.stored(key), expected);
}

void TestSettingsStore::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("storedLine");
    QTest::newRow("czech") << "Žluťoučký kůň"
                           << QByteArray("Item0=\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2");
    QTest::newRow("amount with no-break space")
        << "1\u00A0234,50 Kč" << QByteArray("Item0=1\xA0") + "234,50 K\xE8";
    QTest::newRow("double quoted") << "\"Praha\"" << QByteArray("Item0=\"\"Praha\"\"");
    QTest::newRow("single quoted") << "'Brno'" << QByteArray("Item0=\"'Brno'\"");
    QTest::newRow("surrounding blanks")
        << "   na střed   " << QByteArray("Item0=\"   na st\xF8\x65\x64   \"");
    QTest::newRow("empty") << "" << QByteArray("Item0=");
}

void TestSettingsStore::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, storedLine);
    {
        SampleStore store(m_file);
        store.setText(ComboBoxUser, text);
        store.setLines(ListBoxOff, {text, "x"});
        store.setLines(MemoAddress, {text, "Druhý řádek"});
        store.setValue(IntegerEditSales, 1234);
        store.setChecked(CheckBoxSave, false);
        store.setChecked(CheckBoxWait, true);
        store.chooseFirst(RadioButtonManual, false);
        ConfigError error;
        QVERIFY2(store.write(&error), qPrintable(error.detail));
    }
    const QByteArray bytes = readBytes(m_file);
    QVERIFY(bytes.contains("[SetupSolar.MemoAddress_Lines]\r\nCount=2\r\n" + storedLine + "\r\n"));
    QVERIFY(bytes.contains("[SetupSolar.ListBoxOff_Items]\r\nCount=2\r\n" + storedLine + "\r\n"));
    QVERIFY(bytes.contains("RadioButtonManual_Checked=False\r\nRadioButtonAuto_Checked=True\r\n"));

    SampleStore store(m_file);
    QVERIFY(store.read());
    QCOMPARE(store.text(ComboBoxUser), IniFile::trimBlanks(text));
    QCOMPARE(store.lines(ListBoxOff), QStringList({text, "x"}));
    QCOMPARE(store.lines(MemoAddress), QStringList({text, "Druhý řádek"}));
    QCOMPARE(store.value(IntegerEditSales), 1234);
    QVERIFY(!store.checked(CheckBoxSave));
    QVERIFY(store.checked(CheckBoxWait));
    QVERIFY(!store.firstChosen(RadioButtonManual));
}

void TestSettingsStore::unchangedWriteLeavesFileByteForByte()
{
    // What "Storno" writes: the values read when the window opened.
    const QByteArray before =
        crlf("[Velmora]\nFormVersion=0\nShowCmd=3\n\n[SetupSolar]\nFormVersion=0\n"
             "EditPort_Text=1F0\nIntegerEditSales_Value=30\nCheckBoxSave_Checked=False\n"
             "CheckBoxWait_Checked=True\nComboBoxUser_Text=\"\"Nov\xE1k\"\"\n"
             "RadioButtonManual_Checked=False\nRadioButtonAuto_Checked=True\n\n"
             "[SetupSolar.ListBoxOff_Items]\nCount=2\nItem0=0\nItem1=\" 10\"\n\n"
             "[SetupSolar.MemoAddress_Lines]\nCount=1\nItem0=Praha\n\n"
             "[Database]\nFormVersion=0\nCheckBoxSave_Checked=True\n");
    writeBytes(m_file, before);
    SampleStore store(m_file);
    QVERIFY(store.read());
    QCOMPARE(store.lines(ListBoxOff), QStringList({"0", " 10"}));
    QVERIFY(store.write());
    QCOMPARE(readBytes(m_file), before);

    store.setText(EditPort, "ABCD");
    store.setLines(MemoAddress, {});
    QVERIFY(store.write()); // "Ok"
    IniFile ini(m_file);
    QVERIFY(ini.load(nullptr));
    QCOMPARE(ini.value("SetupSolar", "EditPort_Text"), "ABCD");
    QCOMPARE(ini.sections(),
             QStringList({"Velmora", "SetupSolar", "SetupSolar.ListBoxOff_Items", "Database"}));
    QCOMPARE(ini.value("Velmora", "ShowCmd"), "3");
    QCOMPARE(ini.value("Database", "CheckBoxSave_Checked"), "True");
}

void TestSettingsStore::failuresNameTheFileAndLoseNothing()
{
    QList<ConfigError> reported;
    SettingsStore::setErrorReport([&reported](const ConfigError &error) { reported << error; });
    writeBytes(m_file, "[SetupSolar]\nEditPort_Text=ABCD\n");
    const QByteArray before = readBytes(m_file);
    SampleStore store(m_file);
    QVERIFY(store.read());
    store.setText(ComboBoxUser, "Жук");
    ConfigError error;
    QVERIFY(!store.write(&error));
    QCOMPARE(error.message, "Unable to write to " + m_file);
    QVERIFY(error.detail.contains("ComboBoxUser_Text"));
    QVERIFY(store.hasReadSinceWrite()); // a later write tries again
    store.writeIfReadSinceWrite();
    QCOMPARE(reported.size(), 1);
    QCOMPARE(reported.first().message, error.message);
    QCOMPARE(readBytes(m_file), before);

    // A file that cannot be read is not overwritten: its other sections would be lost.
    const QString folder = m_dir->filePath("folder.ini");
    QVERIFY(QDir().mkdir(folder));
    SampleStore unreadable(folder);
    QVERIFY(!unreadable.read(&error));
    QVERIFY(error.message.contains(folder));
    QCOMPARE(unreadable.text(EditPort), "0378");
    QVERIFY(!unreadable.write(&error));
    QCOMPARE(error.message, "Unable to write to " + folder);
    SettingsStore::setErrorReport({});
}

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
