#include "data/config/inifile.h"
#include "filebytes.h"
#include "ui/config/placementstore.h"
#include "ui/config/settingsstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <memory>

namespace {

const QStringList StoredProperties = {
    "EditPort.Text",        "ListBoxOff.Items",  "IntegerEditSales.Value", "CheckBoxSave.Checked",
    "CheckBoxWait.Checked", "MemoAddress.Lines", "ComboBoxUser.Text",
};

// A settings window as the program's windows declare one: controls named like the stored keys
// and the store as the last member.
class SettingsWindow : public QDialog
{
public:
    explicit SettingsWindow(const QString &fileName, const QString &section = "SetupSolar",
                            bool active = true)
        : store(this, section, StoredProperties, active, fileName)
    {
        editPort->setObjectName("EditPort");
        listBox->setObjectName("ListBoxOff");
        listBox->addItem("0");
        spinBox->setObjectName("IntegerEditSales");
        spinBox->setRange(0, 9999);
        spinBox->setValue(5);
        checkSave->setObjectName("CheckBoxSave");
        checkSave->setChecked(true);
        checkWait->setObjectName("CheckBoxWait");
        memo->setObjectName("MemoAddress");
        combo->setObjectName("ComboBoxUser");
        combo->setEditable(true);
    }

    QStringList memoLines() const
    {
        QStringList lines;
        if (!memo->document()->isEmpty()) {
            for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next())
                lines << b.text();
        }
        return lines;
    }

    QStringList listLines() const
    {
        QStringList lines;
        for (int i = 0; i < listBox->count(); ++i)
            lines << listBox->item(i)->text();
        return lines;
    }

    QLineEdit *editPort = new QLineEdit("0378", this);
    QListWidget *listBox = new QListWidget(this);
    QSpinBox *spinBox = new QSpinBox(this);
    QCheckBox *checkSave = new QCheckBox(this);
    QCheckBox *checkWait = new QCheckBox(this);
    QPlainTextEdit *memo = new QPlainTextEdit(this);
    QComboBox *combo = new QComboBox(this);
    SettingsStore store;
};

class ConsoleWindow : public QWidget
{
public:
    explicit ConsoleWindow(const QString &fileName, const ScreenMetrics &screen = {{1024, 768}, 96})
        : placement(this, "Velmora", true, fileName)
    {
        setGeometry(10, 20, 300, 200);
        placement.setScreenMetrics(screen);
    }

    PlacementStore placement;
};

} // namespace

class TestWindowStores : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void firstProgramEndWritesEverySection();
    void activeStoreWritesOnlyAfterRead();
    void emptiedListErasesItsSection();
    void readRules_data();
    void readRules();
    void roundTrip_data();
    void roundTrip();
    void stornoLeavesFileByteForByteOkStores();
    void stornoOnANewInstallationPutsBackTheDefaults();
    void storeFollowsShowingClosingAndDestruction();
    void inactiveStoreOnlyActsWhenTold();
    void failuresNameTheFileAndLoseNothing();

    void placementWritesItsKeysInOrder();
    void placementRestore_data();
    void placementRestore();
    void fixedSizeWindowIsOnlyMoved();
    void showCmd_data();
    void showCmd();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
};

void TestWindowStores::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_file = m_dir->filePath("Velmora.ini");
}

void TestWindowStores::firstProgramEndWritesEverySection()
{
    auto console = std::make_unique<ConsoleWindow>(m_file);
    auto solar = std::make_unique<SettingsWindow>(m_file, "SetupSolar");
    auto database = std::make_unique<SettingsWindow>(m_file, "Database");
    for (WindowStore *store :
         std::initializer_list<WindowStore *>{&console->placement, &solar->store, &database->store})
        QVERIFY(store->read());
    QCOMPARE(solar->editPort->text(), "0378");
    QCOMPARE(solar->listLines(), QStringList("0"));
    QCOMPARE(solar->spinBox->value(), 5);
    QVERIFY(solar->checkSave->isChecked());
    QVERIFY(!QFile::exists(m_file));

    database.reset();
    solar.reset();
    console.reset();
    const QByteArray settings = "FormVersion=0\nEditPort_Text=0378\nIntegerEditSales_Value=5\n"
                                "CheckBoxSave_Checked=True\nCheckBoxWait_Checked=False\n"
                                "ComboBoxUser_Text=\n";
    QCOMPARE(readBytes(m_file),
             crlf("[Database]\n" + settings +
                  "\n[Database.ListBoxOff_Items]\nCount=1\nItem0=0\n"
                  "\n[SetupSolar]\n" +
                  settings +
                  "\n[SetupSolar.ListBoxOff_Items]\nCount=1\nItem0=0\n"
                  "\n[Velmora]\nFormVersion=0\nFlags=0\nShowCmd=1\nPixelsPerInch=96\n"
                  "MinMaxPos(1024x768)=-1,-1,-1,-1\nMinMaxPos=-1,-1,-1,-1\n"
                  "NormPos(1024x768)=10,20,310,220\nNormPos=10,20,310,220\nVisible=1\n"));
}

void TestWindowStores::activeStoreWritesOnlyAfterRead()
{
    SettingsWindow window(m_file);
    QVERIFY(window.store.write());
    QVERIFY(!QFile::exists(m_file));
    QVERIFY(window.store.read());
    QVERIFY(window.store.hasReadSinceWrite());
    QVERIFY(window.store.write());
    QVERIFY(!window.store.hasReadSinceWrite());
    const QByteArray written = readBytes(m_file);
    window.editPort->setText("FFFF");
    QVERIFY(window.store.write()); // nothing read since the last write: nothing written
    QCOMPARE(readBytes(m_file), written);
}

void TestWindowStores::emptiedListErasesItsSection()
{
    {
        SettingsWindow window(m_file);
        QVERIFY(window.store.read());
        window.listBox->addItems({"5", "10"});
        window.memo->setPlainText("Solárium\nPraha");
        QVERIFY(window.store.write());
        IniFile ini(m_file);
        QVERIFY(ini.load(nullptr));
        QCOMPARE(ini.keys("SetupSolar.ListBoxOff_Items"),
                 QStringList({"Count", "Item0", "Item1", "Item2"}));
        QCOMPARE(ini.value("SetupSolar.MemoAddress_Lines", "Item1"), "Praha");

        QVERIFY(window.store.read());
        window.listBox->clear();
        window.memo->clear();
        QVERIFY(window.store.write());
        QVERIFY(ini.load(nullptr));
        QCOMPARE(ini.sections(), QStringList("SetupSolar"));
    }
    SettingsWindow next(m_file);
    QVERIFY(next.store.read());
    QCOMPARE(next.listLines(), QStringList("0"));
}

void TestWindowStores::readRules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QVariant>("expected");
    const QByteArray s = "[SetupSolar]\n";
    const QByteArray list = "[SetupSolar.ListBoxOff_Items]\n";
    QTest::newRow("no section") << QByteArray() << "EditPort" << QVariant("0378");
    QTest::newRow("missing key") << s + "Other=1\n"
                                 << "IntegerEditSales" << QVariant(5);
    QTest::newRow("text trimmed") << s + "EditPort_Text=   1F0  \n"
                                  << "EditPort" << QVariant("1F0");
    QTest::newRow("text empty") << s + "EditPort_Text=\n"
                                << "EditPort" << QVariant("");
    QTest::newRow("names without case")
        << QByteArray("[setupsolar]\neditport_text=ABCD\n") << "EditPort" << QVariant("ABCD");
    QTest::newRow("combo text czech")
        << s + cp1250("ComboBoxUser_Text=  Novák  \n") << "ComboBoxUser" << QVariant("Novák");
    QTest::newRow("true in lower case") << s + "CheckBoxWait_Checked=true\n"
                                        << "CheckBoxWait" << QVariant(true);
    QTest::newRow("false in upper case") << s + "CheckBoxSave_Checked=FALSE\n"
                                         << "CheckBoxSave" << QVariant(false);
    QTest::newRow("1 leaves unchecked") << s + "CheckBoxWait_Checked=1\n"
                                        << "CheckBoxWait" << QVariant(false);
    QTest::newRow("0 leaves checked") << s + "CheckBoxSave_Checked=0\n"
                                      << "CheckBoxSave" << QVariant(true);
    QTest::newRow("value") << s + "IntegerEditSales_Value= 42 \n"
                           << "IntegerEditSales" << QVariant(42);
    QTest::newRow("value no integer") << s + "IntegerEditSales_Value=12a\n"
                                      << "IntegerEditSales" << QVariant(0);
    QTest::newRow("list replaced") << list + "Count=2\nItem0=10\nItem1=0\n"
                                   << "ListBoxOff" << QVariant(QStringList({"10", "0"}));
    QTest::newRow("list missing line") << list + "Count=2\nItem0=10\n"
                                       << "ListBoxOff" << QVariant(QStringList({"10", ""}));
    QTest::newRow("list count 0 keeps") << list + "Count=0\nItem0=10\n"
                                        << "ListBoxOff" << QVariant(QStringList("0"));
    QTest::newRow("list count no number") << list + "Count=x\nItem0=10\n"
                                          << "ListBoxOff" << QVariant(QStringList("0"));
    QTest::newRow("list count damaged") << list + "Count=2000000000\nItem0=10\n"
                                        << "ListBoxOff" << QVariant(QStringList("0"));
    QTest::newRow("memo lines trimmed")
        << QByteArray("[SetupSolar.MemoAddress_Lines]\nCount=2\nItem0=a\nItem1=  b \n")
        << "MemoAddress" << QVariant(QStringList({"a", "b"}));
    QTest::newRow("older form version") << s + "FormVersion=-1\nEditPort_Text=ABCD\n"
                                        << "EditPort" << QVariant("0378");
}

void TestWindowStores::readRules()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, control);
    QFETCH(QVariant, expected);
    if (!file.isEmpty())
        writeBytes(m_file, file);
    SettingsWindow window(m_file);
    QVERIFY(window.store.read());
    const QMap<QString, QVariant> state = {
        {"EditPort", window.editPort->text()},
        {"ComboBoxUser", window.combo->currentText()},
        {"CheckBoxSave", window.checkSave->isChecked()},
        {"CheckBoxWait", window.checkWait->isChecked()},
        {"IntegerEditSales", window.spinBox->value()},
        {"ListBoxOff", window.listLines()},
        {"MemoAddress", window.memoLines()},
    };
    QCOMPARE(state.value(control), expected);
}

void TestWindowStores::roundTrip_data()
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

void TestWindowStores::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, storedLine);
    {
        SettingsWindow window(m_file);
        QVERIFY(window.store.read());
        window.editPort->setText(text);
        window.combo->setCurrentText(text);
        window.listBox->clear();
        window.listBox->addItems({text, "x"});
        window.memo->setPlainText(text + "\nDruhý řádek");
        window.spinBox->setValue(1234);
        window.checkSave->setChecked(false);
        window.checkWait->setChecked(true);
        ConfigError error;
        QVERIFY2(window.store.write(&error), qPrintable(error.detail));
    }
    const QByteArray bytes = readBytes(m_file);
    QVERIFY(bytes.contains("[SetupSolar.MemoAddress_Lines]\r\nCount=2\r\n" + storedLine + "\r\n"));
    QVERIFY(bytes.contains("[SetupSolar.ListBoxOff_Items]\r\nCount=2\r\n" + storedLine + "\r\n"));

    SettingsWindow window(m_file);
    QVERIFY(window.store.read());
    QCOMPARE(window.editPort->text(), IniFile::trimBlanks(text));
    QCOMPARE(window.combo->currentText(), IniFile::trimBlanks(text));
    QCOMPARE(window.listLines(), QStringList({text, "x"}));
    QCOMPARE(window.memoLines(), QStringList({text, "Druhý řádek"}));
    QCOMPARE(window.spinBox->value(), 1234);
    QVERIFY(!window.checkSave->isChecked());
    QVERIFY(window.checkWait->isChecked());
}

void TestWindowStores::stornoLeavesFileByteForByteOkStores()
{
    const QByteArray before =
        crlf("[Velmora]\nFormVersion=0\nShowCmd=3\n\n[SetupSolar]\nFormVersion=0\n"
             "EditPort_Text=1F0\nIntegerEditSales_Value=30\nCheckBoxSave_Checked=False\n"
             "CheckBoxWait_Checked=True\nComboBoxUser_Text=\"\"Nov\xE1k\"\"\n\n"
             "[SetupSolar.ListBoxOff_Items]\nCount=2\nItem0=0\nItem1=\" 10\"\n\n"
             "[SetupSolar.MemoAddress_Lines]\nCount=1\nItem0=Praha\n\n"
             "[Database]\nFormVersion=0\nCheckBoxSave_Checked=True\n");
    writeBytes(m_file, before);
    SettingsWindow window(m_file);
    QVERIFY(window.store.read());
    window.editPort->setText("ABCD");
    window.listBox->addItem("50");
    window.memo->clear();
    window.checkWait->setChecked(false);
    window.store.revert(); // "Storno" before the window closes
    QCOMPARE(window.listLines(), QStringList({"0", " 10"}));
    QVERIFY(window.store.write());
    QCOMPARE(readBytes(m_file), before);

    QVERIFY(window.store.read());
    window.editPort->setText("ABCD");
    window.memo->clear();
    QVERIFY(window.store.write()); // "Ok"
    IniFile ini(m_file);
    QVERIFY(ini.load(nullptr));
    QCOMPARE(ini.value("SetupSolar", "EditPort_Text"), "ABCD");
    QCOMPARE(ini.sections(),
             QStringList({"Velmora", "SetupSolar", "SetupSolar.ListBoxOff_Items", "Database"}));
    QCOMPARE(ini.value("Velmora", "ShowCmd"), "3");
    QCOMPARE(ini.value("Database", "CheckBoxSave_Checked"), "True");
}

void TestWindowStores::stornoOnANewInstallationPutsBackTheDefaults()
{
    SettingsWindow window(m_file);
    window.show(); // nothing stored yet: every control shows its default
    window.editPort->setText("ABCD");
    window.listBox->addItem("50");
    window.spinBox->setValue(7);
    window.checkSave->setChecked(false);
    window.memo->setPlainText("Brno");
    window.combo->setCurrentText("Jana");
    window.store.revert();
    window.hide();
    QCOMPARE(window.editPort->text(), "0378");
    QCOMPARE(window.listLines(), QStringList{"0"});
    QCOMPARE(window.spinBox->value(), 5);
    QVERIFY(window.checkSave->isChecked());
    QCOMPARE(window.memoLines(), QStringList());
    QCOMPARE(window.combo->currentText(), "");
    IniFile ini(m_file);
    QVERIFY(ini.load(nullptr));
    QCOMPARE(ini.value("SetupSolar", "CheckBoxSave_Checked"), "True");
    QCOMPARE(ini.value("SetupSolar", "EditPort_Text"), "0378");
}

void TestWindowStores::storeFollowsShowingClosingAndDestruction()
{
    writeBytes(m_file, "[SetupSolar]\nEditPort_Text=ABCD\n");
    auto window = std::make_unique<SettingsWindow>(m_file);
    QString shown;
    QTimer::singleShot(0, window.get(), [&] {
        shown = window->editPort->text();
        window->editPort->setText("1234");
        window->reject();
    });
    window->exec();
    QCOMPARE(shown, "ABCD");
    IniFile ini(m_file);
    QVERIFY(ini.load(nullptr));
    QCOMPARE(ini.value("SetupSolar", "EditPort_Text"), "1234");

    window->editPort->setText("9999");
    window.reset(); // written at closing, not read since: no write at destruction
    QVERIFY(ini.load(nullptr));
    QCOMPARE(ini.value("SetupSolar", "EditPort_Text"), "1234");

    window = std::make_unique<SettingsWindow>(m_file);
    window->show();
    window->editPort->setText("5555");
    window.reset(); // destroyed while shown: the final write keeps the edit
    QVERIFY(ini.load(nullptr));
    QCOMPARE(ini.value("SetupSolar", "EditPort_Text"), "5555");
}

void TestWindowStores::inactiveStoreOnlyActsWhenTold()
{
    writeBytes(m_file, cp1250("[User]\nComboBoxUser_Text=Novák\n"));
    {
        SettingsWindow login(m_file, "User", false);
        login.show();
        QCOMPARE(login.combo->currentText(), "");
        login.combo->setCurrentText("Dvořák");
        login.hide();
    }
    IniFile ini(m_file);
    QVERIFY(ini.load(nullptr));
    QCOMPARE(ini.value("User", "ComboBoxUser_Text"), "Novák");

    SettingsWindow login(m_file, "User", false);
    login.combo->setCurrentText("Dvořák");
    QVERIFY(login.store.write()); // after a successful login, without a read
    QVERIFY(ini.load(nullptr));
    QCOMPARE(ini.value("User", "ComboBoxUser_Text"), "Dvořák");
}

void TestWindowStores::failuresNameTheFileAndLoseNothing()
{
    QList<ConfigError> reported;
    WindowStore::setErrorReport([&reported](const ConfigError &error) { reported << error; });
    {
        writeBytes(m_file, "[SetupSolar]\nEditPort_Text=ABCD\n");
        const QByteArray before = readBytes(m_file);
        SettingsWindow window(m_file);
        window.show();
        window.editPort->setText("Жук");
        ConfigError error;
        QVERIFY(!window.store.write(&error));
        QCOMPARE(error.message, "Unable to write to " + m_file);
        QVERIFY(error.detail.contains("EditPort_Text"));
        QVERIFY(window.store.hasReadSinceWrite()); // a later write tries again
        window.hide();
        QCOMPARE(reported.size(), 1);
        QCOMPARE(reported.first().message, error.message);
        QCOMPARE(readBytes(m_file), before);
    }
    QCOMPARE(reported.size(), 2); // and once more at destruction

    // A file that cannot be read is not overwritten: its other sections would be lost.
    const QString folder = m_dir->filePath("folder.ini");
    QVERIFY(QDir().mkdir(folder));
    {
        SettingsWindow window(folder);
        ConfigError error;
        QVERIFY(!window.store.read(&error));
        QVERIFY(error.message.contains(folder));
        QCOMPARE(window.editPort->text(), "0378");
        QVERIFY(!window.store.write(&error));
        QCOMPARE(error.message, "Unable to write to " + folder);
    }
    QCOMPARE(reported.size(), 3);
    WindowStore::setErrorReport({});
}

void TestWindowStores::placementWritesItsKeysInOrder()
{
    ConsoleWindow console(m_file, {{1280, 1024}, 120});
    console.setGeometry(38, 2, 986, 738);
    QVERIFY(console.placement.read());
    QVERIFY(console.placement.write());
    QCOMPARE(readBytes(m_file),
             crlf("[Velmora]\nFormVersion=0\nFlags=0\nShowCmd=1\nPixelsPerInch=120\n"
                  "MinMaxPos(1280x1024)=-1,-1,-1,-1\nMinMaxPos=-1,-1,-1,-1\n"
                  "NormPos(1280x1024)=38,2,1024,740\nNormPos=38,2,1024,740\nVisible=0\n"));

    QVERIFY(console.placement.read());
    console.setWindowState(Qt::WindowMaximized);
    QVERIFY(console.placement.write());
    IniFile ini(m_file);
    QVERIFY(ini.load(nullptr));
    QCOMPARE(ini.value("Velmora", "ShowCmd"), "3");
    QCOMPARE(ini.value("Velmora", "NormPos"), "38,2,1024,740");

    ConsoleWindow restored(m_file, {{1280, 1024}, 120});
    QVERIFY(restored.placement.read());
    QCOMPARE(restored.geometry(), QRect(38, 2, 986, 738));
    QVERIFY(restored.isMaximized());
}

void TestWindowStores::placementRestore_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("pixelsPerInch");
    QTest::addColumn<QRect>("expected");
    const QByteArray both = "[Velmora]\nPixelsPerInch=96\nNormPos(1024x768)=100,50,740,530\n"
                            "NormPos=200,100,800,600\n";
    const QRect unchanged(10, 20, 300, 200);
    QTest::newRow("same screen") << both << QSize(1024, 768) << 96 << QRect(100, 50, 640, 480);
    QTest::newRow("other size, same ppi: plain key")
        << both << QSize(1280, 1024) << 96 << QRect(200, 100, 600, 500);
    QTest::newRow("other ppi") << both << QSize(1024, 768) << 120 << unchanged;
    QTest::newRow("ppi missing: current") << QByteArray("[Velmora]\nNormPos=200,100,800,600\n")
                                          << QSize(1024, 768) << 120 << QRect(200, 100, 600, 500);
    QTest::newRow("empty sized key: plain key")
        << QByteArray("[Velmora]\nNormPos(1024x768)=\nNormPos=200,100,800,600\n")
        << QSize(1024, 768) << 96 << QRect(200, 100, 600, 500);
    QTest::newRow("no position keys")
        << QByteArray("[Velmora]\nPixelsPerInch=96\n") << QSize(1024, 768) << 96 << unchanged;
    QTest::newRow("only MinMaxPos")
        << QByteArray("[Velmora]\nMinMaxPos=-1,-1,-1,-1\n") << QSize(1024, 768) << 96 << unchanged;
    QTest::newRow("non-numeric parts: current")
        << QByteArray("[Velmora]\nNormPos=100,x,740\n") << QSize(1024, 768) << 96
        << QRect(100, 20, 640, 200);
    QTest::newRow("left not below right")
        << QByteArray("[Velmora]\nNormPos=500,50,500,530\n") << QSize(1024, 768) << 96 << unchanged;
}

void TestWindowStores::placementRestore()
{
    QFETCH(QByteArray, file);
    QFETCH(QSize, screen);
    QFETCH(int, pixelsPerInch);
    QFETCH(QRect, expected);
    writeBytes(m_file, file);
    ConsoleWindow console(m_file, {screen, pixelsPerInch});
    QVERIFY(console.placement.read());
    QCOMPARE(console.geometry(), expected);
}

void TestWindowStores::fixedSizeWindowIsOnlyMoved()
{
    writeBytes(m_file, "[Velmora]\nNormPos=100,50,740,530\n");
    ConsoleWindow console(m_file);
    console.setFixedSize(300, 200);
    QVERIFY(console.placement.read());
    QCOMPARE(console.geometry(), QRect(100, 50, 300, 200));
}

void TestWindowStores::showCmd_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("state");
    const int normal = Qt::WindowNoState;
    const int minimized = Qt::WindowMinimized;
    const int maximized = Qt::WindowMaximized;
    QTest::newRow("1") << QByteArray("ShowCmd=1") << normal;
    QTest::newRow("5") << QByteArray("ShowCmd=5") << normal;
    QTest::newRow("9") << QByteArray("ShowCmd=9") << normal;
    QTest::newRow("2") << QByteArray("ShowCmd=2") << minimized;
    QTest::newRow("6") << QByteArray("ShowCmd=6") << minimized;
    QTest::newRow("7") << QByteArray("ShowCmd=7") << minimized;
    QTest::newRow("3") << QByteArray("ShowCmd=3") << maximized;
    QTest::newRow("0") << QByteArray("ShowCmd=0") << normal;
    QTest::newRow("4") << QByteArray("ShowCmd=4") << normal;
    QTest::newRow("missing") << QByteArray() << normal;
}

void TestWindowStores::showCmd()
{
    QFETCH(QByteArray, line);
    QFETCH(int, state);
    writeBytes(m_file, "[Velmora]\n" + line + "\n");
    ConsoleWindow console(m_file);
    console.setWindowState(Qt::WindowMaximized);
    QVERIFY(console.placement.read());
    QCOMPARE(int(console.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)), state);
}

QTEST_MAIN(TestWindowStores)
#include "tst_windowstores.moc"
