#include "console/startdialog.h"
#include "core/clock.h"
#include "core/textfile.h"
#include "data/database.h"
#include "data/table.h"
#include "desk/databasesaver.h"
#include "desk/eventlog.h"
#include "desk/salonschema.h"
#include "desk/settings/solarsettingsstore.h"
#include "fakes/fakeclock.h"
#include "fakes/whenmodal.h"
#include "portio/portaccess.h"
#include "portio/simulatorbackend.h"
#include "settings/formsetupsolar.h"
#include "settings/formsetupsolaredit.h"
#include "ui/common/currencyedit.h"
#include "ui/common/integeredit.h"
#include "ui/common/messagedialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace Hook = MessageDialogsTestHook;

namespace {

template <typename Control> Control *child(QWidget &window, const char *name)
{
    auto *control = window.findChild<Control *>(QString::fromLatin1(name));
    if (!control)
        qFatal("no control %s", name);
    return control;
}

QStringList listTexts(QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

QString selectedText(QListWidget *list)
{
    return list->currentItem() && list->currentItem()->isSelected() ? list->currentItem()->text()
                                                                    : QString();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSetupSolar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addingDiscounts_data();
    void addingDiscounts();
    void removingDiscounts_data();
    void removingDiscounts();
    void emptiedListTakesNextAddedAsDefault();
    void activationSortsAndTidiesTheList();
    void defaultOutsideTheListIsNoChoice();
    void enterInDiscountGroupAdds();
    void okNeedsTaxAndPort_data();
    void okNeedsTaxAndPort();
    void portKeys();
    void wrongPortKeepsTheOldOne_data();
    void wrongPortKeepsTheOldOne();
    void taxStartsAtFiveAndIsNeverStored();
    void settingsRoundTrip();
    void stornoOnANewInstallationKeepsTheDefaults();
    void stornoLeavesFileAsItWas();
    void closeBoxKeepsEdits();
    void emptiedListComesBackAsZero();
    void gridShowsUnits();
    void editorPostsAndLogs();
    void editorOpensByDoubleClick();
    void counterResetDroppedByStorno();
    void editorKeepsSaleMadeMeanwhile();
    void postFailureShownAndLogged();
    void descriptionRefusesUnstorableText();

private:
    // A start of the program: the store reads its section, and the window edits it.
    std::unique_ptr<TFormSetupSolar> makeWindow();
    // The end of the last start: the store writes once more when read since its last write.
    void endRun();
    SolarSettingsStore &store() { return *m_stores.back(); }
    QString shownDefault(TFormSetupSolar &window)
    {
        return child<QLineEdit>(window, "EditOffDefault")->text();
    }
    void writeStored(const QStringList &discounts, const QString &defaultDiscount);
    void setCounter(int unit, int seconds, bool active = true);
    QString iniPath() const { return m_dir->filePath("config/Velmora.ini"); }
    QStringList logLines() const { return m_log->lines(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<Table> m_solars;
    std::unique_ptr<EventLog> m_log;
    std::unique_ptr<DatabaseSaver> m_saver;
    std::vector<std::unique_ptr<SolarSettingsStore>> m_stores; // one per start
    FakeClock m_clock;
};

void TestSetupSolar::initTestCase()
{
    setDatabaseErrorSource([] {
        const EngineError error = Engine::lastError();
        return DatabaseError{error.code, error.message};
    });
}

void TestSetupSolar::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("VELMORA_CONFIG_DIR", m_dir->filePath("config").toUtf8());
    QString error;
    QVERIFY2(createInstallation(m_dir->filePath("db"), &error), qPrintable(error));
    m_database = std::make_unique<Database>(deskDatabaseSchema());
    QVERIFY(m_database->connectDirectory(m_dir->filePath("db")));
    m_solars = std::make_unique<Table>(m_database.get(), solarsTable().fileName());
    m_solars->setObjectName(solarsTable().objectName);
    m_solars->setCalculatedFields(solarsTable().calculatedFields);
    m_solars->setCalcFieldsCallback(TableSolarsCalcFields);
    QVERIFY(m_solars->open());
    m_log = std::make_unique<EventLog>(m_dir->filePath("Velmora.log"));
    m_saver = std::make_unique<DatabaseSaver>(*m_log);
    setProgramClock(&m_clock);
    Hook::engage();
    // Closing with a changed port address tries it on the simulated relay board.
    qputenv("VELMORA_PORT_SIM_DIR", m_dir->filePath("port").toUtf8());
    initializePortAccess(std::make_unique<SimulatorBackend>());
}

void TestSetupSolar::cleanup()
{
    shutdownPortAccess();
    qunsetenv("VELMORA_PORT_SIM_DIR");
    Hook::release();
    setProgramClock(nullptr);
    m_stores.clear();
    m_saver.reset();
    m_log.reset();
    m_solars.reset();
    m_database.reset();
    m_dir.reset();
}

std::unique_ptr<TFormSetupSolar> TestSetupSolar::makeWindow()
{
    if (!m_stores.empty())
        endRun();
    m_stores.push_back(std::make_unique<SolarSettingsStore>());
    ConfigError error;
    if (!store().read(&error))
        qWarning() << error.message << error.detail;
    return std::make_unique<TFormSetupSolar>(store(), *m_solars, *m_log, *m_saver);
}

void TestSetupSolar::endRun()
{
    store().writeIfReadSinceWrite();
}

void TestSetupSolar::writeStored(const QStringList &discounts, const QString &defaultDiscount)
{
    QStringList lines{"[SetupSolar]", "FormVersion=0", "EditOffDefault_Text=" + defaultDiscount,
                      "[SetupSolar.ListBoxOff_Items]",
                      "Count=" + QString::number(discounts.size())};
    for (int i = 0; i < discounts.size(); ++i)
        lines << QString("Item%1=%2").arg(i).arg(discounts.at(i));
    QVERIFY(QDir().mkpath(m_dir->filePath("config")));
    QVERIFY(Cp1250Lines::write(iniPath(), lines).ok());
}

void TestSetupSolar::setCounter(int unit, int seconds, bool active)
{
    QVERIFY(m_solars->locate("SOLAR", unit));
    QVERIFY(m_solars->edit());
    QVERIFY(m_solars->setValue("COUNTER", seconds));
    QVERIFY(m_solars->setValue("ACTIVE", active));
    QVERIFY(m_solars->post());
}

// --- Discounts -----------------------------------------------------------------------------

void TestSetupSolar::addingDiscounts_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("entryAfter");
    QTest::newRow("between two") << QStringList{"0", "10"} << "5" << QStringList{"0", "5", "10"}
                                 << "5"
                                 << "";
    QTest::newRow("already there")
        << QStringList{"0", "5", "10"} << "5" << QStringList{"0", "5", "10"} << "0"
        << "5";
    QTest::newRow("leading zeros") << QStringList{"0"} << "007" << QStringList{"0", "7"} << "7"
                                   << "";
    QTest::newRow("hundred at the end")
        << QStringList{"0", "20"} << "100" << QStringList{"0", "20", "100"} << "100"
        << "";
}

void TestSetupSolar::addingDiscounts()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, typed);
    QFETCH(QStringList, list);
    QFETCH(QString, selected);
    QFETCH(QString, entryAfter);
    writeStored(stored, "0");
    auto window = makeWindow();
    window->show();
    auto *entry = child<TIntegerEdit>(*window, "IntegerEditOff");
    auto *add = child<QPushButton>(*window, "ButtonOffAdd");
    entry->clear();
    QVERIFY(!add->isEnabled());
    QTest::keyClicks(entry, typed);
    QVERIFY(add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    auto *listBox = child<QListWidget>(*window, "ListBoxOff");
    QCOMPARE(listTexts(listBox), list);
    QCOMPARE(selectedText(listBox), selected);
    QCOMPARE(entry->text(), entryAfter);
    QCOMPARE(add->isEnabled(), !entryAfter.isEmpty());
    QCOMPARE(window->focusWidget(), entry);
    QCOMPARE(shownDefault(*window), QString("0"));
}

void TestSetupSolar::removingDiscounts_data()
{
    QTest::addColumn<QString>("storedDefault");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("defaultAfter");
    QTest::newRow("default goes to the neighbour")
        << "5" << 1 << QStringList{"0", "10", "20"} << "10"
        << "10";
    QTest::newRow("another keeps the default") << "5" << 0 << QStringList{"5", "10", "20"} << "5"
                                               << "5";
    QTest::newRow("last selects the new last") << "0" << 3 << QStringList{"0", "5", "10"} << "10"
                                               << "0";
    QTest::newRow("last default selects the new last")
        << "20" << 3 << QStringList{"0", "5", "10"} << "10"
        << "10";
}

void TestSetupSolar::removingDiscounts()
{
    QFETCH(QString, storedDefault);
    QFETCH(int, row);
    QFETCH(QStringList, list);
    QFETCH(QString, selected);
    QFETCH(QString, defaultAfter);
    writeStored({"0", "5", "10", "20"}, storedDefault);
    auto window = makeWindow();
    window->show();
    auto *listBox = child<QListWidget>(*window, "ListBoxOff");
    auto *entry = child<TIntegerEdit>(*window, "IntegerEditOff");
    listBox->setCurrentRow(row);
    QTest::keyClicks(entry, "3");
    QTest::mouseClick(child<QPushButton>(*window, "ButtonOffDelete"), Qt::LeftButton);
    QCOMPARE(listTexts(listBox), list);
    QCOMPARE(selectedText(listBox), selected);
    QCOMPARE(child<QLineEdit>(*window, "EditOffDefault")->text(), defaultAfter);
    QCOMPARE(entry->text(), QString());
}

void TestSetupSolar::emptiedListTakesNextAddedAsDefault()
{
    auto window = makeWindow();
    window->show();
    auto *listBox = child<QListWidget>(*window, "ListBoxOff");
    auto *remove = child<QPushButton>(*window, "ButtonOffDelete");
    auto *makeDefault = child<QPushButton>(*window, "ButtonOffDefault");
    QCOMPARE(listTexts(listBox), QStringList{"0"});
    QVERIFY(remove->isEnabled() && makeDefault->isEnabled());
    listBox->clearSelection(); // nothing selected, nothing removed
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(listTexts(listBox), QStringList{"0"});
    listBox->setCurrentRow(0);
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(listBox->count(), 0);
    QCOMPARE(shownDefault(*window), QString());
    QVERIFY(!remove->isEnabled());
    QVERIFY(!makeDefault->isEnabled());

    QTest::keyClicks(child<TIntegerEdit>(*window, "IntegerEditOff"), "15");
    QTest::mouseClick(child<QPushButton>(*window, "ButtonOffAdd"), Qt::LeftButton);
    QCOMPARE(listTexts(listBox), QStringList{"15"});
    QCOMPARE(shownDefault(*window), QString("15"));
    QVERIFY(remove->isEnabled() && makeDefault->isEnabled());

    QTest::keyClicks(child<TIntegerEdit>(*window, "IntegerEditOff"), "5");
    QTest::mouseClick(child<QPushButton>(*window, "ButtonOffAdd"), Qt::LeftButton);
    QCOMPARE(shownDefault(*window), QString("15")); // only the first one becomes the default
    QTest::mouseClick(makeDefault, Qt::LeftButton); // "5" is selected
    QCOMPARE(shownDefault(*window), QString("5"));
}

void TestSetupSolar::activationSortsAndTidiesTheList()
{
    writeStored({"20", "5", "x", "007", "100", "5", "101", "0"}, "07");
    auto window = makeWindow();
    // The settings hold sorted before the window is ever shown.
    QCOMPARE(store().discounts(), QStringList({"0", "5", "7", "20", "100"}));
    QCOMPARE(store().defaultDiscount(), QString("7"));
    QCOMPARE(SolarSettingsStore::SortStringList({"10", "9", "100", "0"}),
             QStringList({"0", "9", "10", "100"}));

    window->show();
    auto *listBox = child<QListWidget>(*window, "ListBoxOff");
    QCOMPARE(selectedText(listBox), QString("0"));
    listBox->setCurrentRow(3);
    window->hide();
    window->show(); // each showing selects the first entry again
    QCOMPARE(selectedText(listBox), QString("0"));
}

// Nobody chose the first entry: the start waits for the operator, and the file keeps its value.
void TestSetupSolar::defaultOutsideTheListIsNoChoice()
{
    writeStored({"0", "5", "10"}, "30");
    auto window = makeWindow();
    window->show();
    window->hide();
    QCOMPARE(store().defaultDiscount(), QString("30"));
    QVERIFY(fileBytes(iniPath()).contains("EditOffDefault_Text=30\r\n"));
    TFormStart start(1, store());
    start.show();
    QVERIFY(QTest::qWaitForWindowActive(&start));
    auto *discount = start.findChild<QComboBox *>("ComboBoxStartOff");
    QCOMPARE(discount->currentIndex(), -1);
    QTest::keyClicks(start.findChild<QLineEdit *>("EditStartMin"), "0100");
    auto *startButton = start.findChild<QPushButton *>("BitBtnStart");
    QVERIFY(!startButton->isEnabled());
    discount->setCurrentIndex(discount->findText("5"));
    QVERIFY(startButton->isEnabled());
}

void TestSetupSolar::enterInDiscountGroupAdds()
{
    auto window = makeWindow();
    window->show();
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto *entry = child<TIntegerEdit>(*window, "IntegerEditOff");
    auto *grid = child<QTableView>(*window, "DBGridSolars");
    grid->setFocus();
    QVERIFY(child<QPushButton>(*window, "ButtonSolarsEdit")->isDefault());
    QVERIFY(!child<QPushButton>(*window, "ButtonOk")->isDefault());
    entry->setFocus();
    QVERIFY(child<QPushButton>(*window, "ButtonOffAdd")->isDefault());
    QVERIFY(!child<QPushButton>(*window, "ButtonSolarsEdit")->isDefault());
    entry->clear();
    QTest::keyClicks(entry, "12");
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(listTexts(entry->parentWidget()->findChild<QListWidget *>("ListBoxOff")),
             QStringList({"0", "12"}));
    QVERIFY(window->isVisible());
    child<QLineEdit>(*window, "EditPort")->setFocus();
    for (QPushButton *button : window->findChildren<QPushButton *>())
        QVERIFY2(!button->isDefault(), qPrintable(button->text()));
}

// --- VAT, port, Ok -------------------------------------------------------------------------

void TestSetupSolar::okNeedsTaxAndPort_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("VAT") << "IntegerEditTax";
    QTest::newRow("port") << "EditPort";
}

void TestSetupSolar::okNeedsTaxAndPort()
{
    QFETCH(QString, field);
    auto window = makeWindow();
    window->show();
    auto *ok = child<QPushButton>(*window, "ButtonOk");
    auto *edit = window->findChild<QLineEdit *>(field);
    QVERIFY(ok->isEnabled());
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QString());
    QVERIFY(!ok->isEnabled());
    QTest::keyClicks(edit, "1");
    QVERIFY(ok->isEnabled());
}

void TestSetupSolar::portKeys()
{
    auto window = makeWindow();
    window->show();
    auto *port = child<QLineEdit>(*window, "EditPort");
    QCOMPARE(port->text(), QString("0378"));
    QCOMPARE(store().portText(), QString("0378"));
    port->clear();
    QTest::keyClicks(port, "g-a1 ");
    QCOMPARE(port->text(), QString("A1"));
    QTest::keyClicks(port, "bF9");
    QCOMPARE(port->text(), QString("A1BF")); // no fifth character
    QTest::keyClick(port, Qt::Key_Backspace);
    QTest::keyClicks(port, "e");
    QCOMPARE(port->text(), QString("A1BE"));
    QCOMPARE(store().portText(), QString("0378")); // in force only when the window closes
}

void TestSetupSolar::wrongPortKeepsTheOldOne_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byCloseBox");
    QTest::addColumn<bool>("taken");
    QTest::newRow("0300, no device") << "0300" << false << false;
    QTest::newRow("0379, no register") << "0379" << false << false;
    QTest::newRow("0300 by the close box") << "0300" << true << false;
    QTest::newRow("0278, a register") << "278" << false << true;
}

void TestSetupSolar::wrongPortKeepsTheOldOne()
{
    QFETCH(QString, typed);
    QFETCH(bool, byCloseBox);
    QFETCH(bool, taken);
    auto window = makeWindow();
    window->show();
    auto *port = child<QLineEdit>(*window, "EditPort");
    port->clear();
    QTest::keyClicks(port, typed);
    if (byCloseBox)
        window->close();
    else
        QTest::mouseClick(child<QPushButton>(*window, "ButtonOk"), Qt::LeftButton);
    const QList<Hook::Message> messages = Hook::takeMessages();
    QCOMPARE(window->isVisible(), !taken);
    QCOMPARE(store().portText(), taken ? typed : QString("0378"));
    QCOMPARE(port->text(), typed); // left for correcting
    if (!taken) {
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().text, QString("Chyba při resetování portu I/O ovladačem..."));
        QCOMPARE(messages.first().detail,
                 QString("Port %1 neodpovídá, platí dál port 0378...").arg(typed));
        QTest::mouseClick(child<QPushButton>(*window, "ButtonCancel"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
    }
    QVERIFY(fileBytes(iniPath()).contains(taken ? "EditPort_Text=278" : "EditPort_Text=0378"));
}

void TestSetupSolar::taxStartsAtFiveAndIsNeverStored()
{
    {
        auto window = makeWindow();
        QCOMPARE(store().taxRate(), 5);
        window->show();
        auto *tax = child<TIntegerEdit>(*window, "IntegerEditTax");
        QCOMPARE(tax->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        tax->selectAll();
        QTest::keyClicks(tax, "20");
        QTest::mouseClick(child<QPushButton>(*window, "ButtonCancel"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QCOMPARE(store().taxRate(), 20);
        window->show();
        QTest::keyClicks(tax, "1"); // "201" is above 50
        QCOMPARE(store().taxRate(), 20);
        QTest::mouseClick(child<QPushButton>(*window, "ButtonOk"), Qt::LeftButton);
        QCOMPARE(store().taxRate(), 20);
    }
    QVERIFY(QFile::exists(iniPath()));
    QVERIFY(!fileBytes(iniPath()).contains("Tax"));
    auto restarted = makeWindow();
    QCOMPARE(store().taxRate(), 5);
}

// --- Configuration file --------------------------------------------------------------------

void TestSetupSolar::settingsRoundTrip()
{
    {
        auto window = makeWindow(); // no file: the defaults
        QCOMPARE(store().discounts(), QStringList{"0"});
        QCOMPARE(store().defaultDiscount(), QString("0"));
        QCOMPARE(store().portText(), QString("0378"));
        QVERIFY(store().recordAllReceipts());
        QVERIFY(store().useDialogs());
        window->show();
        auto *entry = child<TIntegerEdit>(*window, "IntegerEditOff");
        for (const char *value : {"10", "5"}) {
            QTest::keyClicks(entry, value);
            QTest::mouseClick(child<QPushButton>(*window, "ButtonOffAdd"), Qt::LeftButton);
        }
        QTest::mouseClick(child<QPushButton>(*window, "ButtonOffDefault"), Qt::LeftButton);
        auto *port = child<QLineEdit>(*window, "EditPort");
        port->clear();
        QTest::keyClicks(port, "3bc");
        child<QCheckBox>(*window, "CheckBoxSaleSalesAll")->setChecked(false);
        QTest::mouseClick(child<QPushButton>(*window, "ButtonOk"), Qt::LeftButton);
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(child<TIntegerEdit>(*window, "IntegerEditOff")->text(), QString());
    }
    QStringList lines;
    QVERIFY(Cp1250Lines::read(iniPath(), &lines).ok());
    QCOMPARE(lines,
             QStringList({"[SetupSolar]", "FormVersion=0", "EditOffDefault_Text=5",
                          "EditPort_Text=3BC", "CheckBoxSaleSalesAll_Checked=False",
                          "CheckBoxUseDialogs_Checked=True", "", "[SetupSolar.ListBoxOff_Items]",
                          "Count=3", "Item0=0", "Item1=5", "Item2=10"}));

    auto window = makeWindow();
    QCOMPARE(store().discounts(), QStringList({"0", "5", "10"}));
    QCOMPARE(store().defaultDiscount(), QString("5"));
    QCOMPARE(store().portText(), QString("3BC"));
    QVERIFY(!store().recordAllReceipts());
    QVERIFY(store().useDialogs());
}

void TestSetupSolar::stornoOnANewInstallationKeepsTheDefaults()
{
    auto window = makeWindow(); // nothing stored yet
    window->show();
    child<QCheckBox>(*window, "CheckBoxSaleSalesAll")->setChecked(false);
    child<QCheckBox>(*window, "CheckBoxUseDialogs")->setChecked(false);
    QTest::mouseClick(child<QPushButton>(*window, "ButtonOffDelete"), Qt::LeftButton);
    QTest::keyClick(window.get(), Qt::Key_Escape); // "Storno"
    QVERIFY(store().recordAllReceipts());          // the next sales still get receipts
    QVERIFY(store().useDialogs());
    QCOMPARE(store().discounts(), QStringList{"0"});
    QCOMPARE(store().defaultDiscount(), QString("0"));
    QVERIFY(fileBytes(iniPath()).contains("CheckBoxSaleSalesAll_Checked=True"));
}

void TestSetupSolar::stornoLeavesFileAsItWas()
{
    {
        auto window = makeWindow();
        endRun(); // the first program end writes the defaults
    }
    const QByteArray before = fileBytes(iniPath());
    QVERIFY(before.contains("EditPort_Text=0378"));
    auto window = makeWindow();
    window->show();
    QTest::keyClicks(child<TIntegerEdit>(*window, "IntegerEditOff"), "0"); // "00"
    QTest::mouseClick(child<QPushButton>(*window, "ButtonOffDelete"), Qt::LeftButton);
    child<QLineEdit>(*window, "EditPort")->setText("278");
    child<QCheckBox>(*window, "CheckBoxUseDialogs")->setChecked(false);
    QTest::keyClick(window.get(), Qt::Key_Escape); // "Storno"
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Rejected));
    QCOMPARE(fileBytes(iniPath()), before);
    QCOMPARE(store().discounts(), QStringList{"0"});
    QCOMPARE(store().portText(), QString("0378"));
    QVERIFY(store().useDialogs());
    QCOMPARE(child<TIntegerEdit>(*window, "IntegerEditOff")->text(), QString());
    window.reset();
    endRun();
    QCOMPARE(fileBytes(iniPath()), before);
}

void TestSetupSolar::closeBoxKeepsEdits()
{
    auto window = makeWindow();
    window->show();
    child<QLineEdit>(*window, "EditPort")->setText("278");
    window->close();
    QCOMPARE(window->result(), int(QDialog::Rejected));
    QCOMPARE(store().portText(), QString("278"));
    QVERIFY(fileBytes(iniPath()).contains("EditPort_Text=278"));
}

void TestSetupSolar::emptiedListComesBackAsZero()
{
    {
        auto window = makeWindow();
        window->show();
        QTest::mouseClick(child<QPushButton>(*window, "ButtonOffDelete"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(*window, "ButtonOk"), Qt::LeftButton);
    }
    const QByteArray stored = fileBytes(iniPath());
    QVERIFY(stored.contains("EditOffDefault_Text=\r\n"));
    QVERIFY(!stored.contains("ListBoxOff_Items"));
    auto window = makeWindow();
    QCOMPARE(store().discounts(), QStringList{"0"});
    QCOMPARE(store().defaultDiscount(), QString("0"));
}

// --- Units ---------------------------------------------------------------------------------

void TestSetupSolar::gridShowsUnits()
{
    setCounter(2, 5400, false);
    auto window = makeWindow();
    window->show();
    auto *grid = child<QTableView>(*window, "DBGridSolars");
    QAbstractItemModel *model = grid->model();
    QCOMPARE(model->rowCount(), 8);
    QStringList titles;
    for (int column = 0; column < model->columnCount(); ++column)
        titles << model->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(titles, QStringList({"Solárko", "Stav", "Popis", "Cena [Kč/min]", "Doba provozu [h]",
                                  "Počet startů"}));
    const auto row = [model](int r) {
        QStringList texts;
        for (int column = 0; column < model->columnCount(); ++column)
            texts << model->index(r, column).data().toString();
        return texts;
    };
    QCOMPARE(row(0), QStringList({"1", "A", "Solárko 1", "10,00", "0,00", "0"}));
    QCOMPARE(row(1), QStringList({"2", "-", "Solárko 2", "10,00", "1,50", "0"}));
    QCOMPARE(grid->horizontalHeader()->font().pixelSize(), 9);
    QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    // The grid follows the console's cursor, and moves it.
    QCOMPARE(grid->currentIndex().row(), 1);
    QVERIFY(m_solars->locate("SOLAR", 6));
    QCOMPARE(grid->currentIndex().row(), 5);
    grid->selectRow(3);
    QCOMPARE(m_solars->value("SOLAR").toInt(), 4);
}

void TestSetupSolar::editorPostsAndLogs()
{
    setCounter(3, 7200);
    auto window = makeWindow();
    window->show();
    child<QTableView>(*window, "DBGridSolars")->selectRow(2);
    m_log->AddLog("začátek");
    whenModal<TFormSetupSolarEdit>([](TFormSetupSolarEdit *editor) {
        QCOMPARE(editor->windowTitle(), QString(" Editace solárka"));
        QCOMPARE(child<QLabel>(*editor, "TextSolar")->text(), QString("3"));
        QCOMPARE(child<QLabel>(*editor, "TextCounterHours")->text(), QString("2,00"));
        auto *description = child<QLineEdit>(*editor, "EditDescription");
        description->selectAll();
        QTest::keyClicks(description, "Turbo");
        auto *price = child<CurrencyEdit>(*editor, "CurrencyEditPrice");
        price->setFocus();
        price->clear();
        QTest::keyClicks(price, "12.5");
        child<QCheckBox>(*editor, "CheckBoxActive")->setChecked(false);
        QTest::mouseClick(child<QPushButton>(*editor, "ButtonStartupReset"), Qt::LeftButton);
        QVERIFY(child<QPushButton>(*editor, "ButtonOk")->isDefault());
        QTest::mouseClick(child<QPushButton>(*editor, "ButtonOk"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(*window, "ButtonSolarsEdit"), Qt::LeftButton);
    QVERIFY(window->isVisible());
    QCOMPARE(m_solars->state(), Table::State::Browse);
    QVERIFY(m_solars->locate("SOLAR", 3));
    QCOMPARE(m_solars->value("DESCRIPTION").toString(), QString("Turbo"));
    QCOMPARE(m_solars->value("PRICE").toDouble(), 12.5);
    QCOMPARE(m_solars->value("ACTIVE").toBool(), false);
    QCOMPARE(m_solars->value("COUNTER").toInt(), 7200);
    QCOMPARE(m_solars->value("STARTUP").toInt(), 0);
    QCOMPARE(logLines().mid(1), QStringList({"9.12.2026 9:05:00 Transakce [Nastavení solárka]: "
                                             "OK [0 ms] [3]",
                                             "9.12.2026 9:05:00 Databáze uložena"}));
    QCOMPARE(Hook::takeMessages().size(), 0);
    auto *grid = child<QTableView>(*window, "DBGridSolars");
    QCOMPARE(grid->model()->index(2, 1).data().toString(), QString("-"));
    QCOMPARE(grid->model()->index(2, 3).data().toString(), QString("12,50"));
}

void TestSetupSolar::editorOpensByDoubleClick()
{
    auto window = makeWindow();
    window->show();
    auto *grid = child<QTableView>(*window, "DBGridSolars");
    // The title row opens nothing (an editor opened by mistake is closed by the guard).
    bool opened = false;
    QTimer::singleShot(0, qApp, [&opened] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    const QPoint title(grid->horizontalHeader()->sectionViewportPosition(2) + 5, 5);
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, title);
    QTest::mouseDClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, title);
    QTest::qWait(0);
    QVERIFY(!opened);

    int unit = 0;
    whenModal<TFormSetupSolarEdit>([&unit](TFormSetupSolarEdit *editor) {
        unit = editor->unit();
        QTest::keyClick(editor, Qt::Key_Escape);
    });
    const QRect cell = grid->visualRect(grid->model()->index(4, 2));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(unit, 5);
    QCOMPARE(m_solars->state(), Table::State::Browse);
    QVERIFY(logLines().isEmpty()); // nothing posted, nothing logged
}

void TestSetupSolar::counterResetDroppedByStorno()
{
    setCounter(1, 5400);
    auto window = makeWindow();
    window->show();
    child<QTableView>(*window, "DBGridSolars")->selectRow(0);
    whenModal<TFormSetupSolarEdit>([](TFormSetupSolarEdit *editor) {
        auto *hours = child<QLabel>(*editor, "TextCounterHours");
        QCOMPARE(hours->text(), QString("1,50"));
        QTest::mouseClick(child<QPushButton>(*editor, "ButtonCounterReset"), Qt::LeftButton);
        QCOMPARE(hours->text(), QString("0,00"));
        QTest::mouseClick(child<QPushButton>(*editor, "ButtonCancel"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(*window, "ButtonSolarsEdit"), Qt::LeftButton);
    QCOMPARE(m_solars->state(), Table::State::Browse);
    QVERIFY(m_solars->refresh());
    QCOMPARE(m_solars->value("COUNTER").toInt(), 5400);
    QVERIFY(logLines().isEmpty());

    // Confirmed, the reset is stored.
    whenModal<TFormSetupSolarEdit>([](TFormSetupSolarEdit *editor) {
        QTest::mouseClick(child<QPushButton>(*editor, "ButtonCounterReset"), Qt::LeftButton);
        QTest::keyClick(editor, Qt::Key_Return);
    });
    QTest::mouseClick(child<QPushButton>(*window, "ButtonSolarsEdit"), Qt::LeftButton);
    QVERIFY(m_solars->refresh());
    QCOMPARE(m_solars->value("COUNTER").toInt(), 0);
    QCOMPARE(m_solars->value("COUNTER_HOURS").toDouble(), 0.0);
}

void TestSetupSolar::editorKeepsSaleMadeMeanwhile()
{
    auto window = makeWindow();
    window->show();
    child<QTableView>(*window, "DBGridSolars")->selectRow(1);
    Table *solars = m_solars.get();
    whenModal<TFormSetupSolarEdit>([solars](TFormSetupSolarEdit *editor) {
        // A unit's countdown ends and its sale updates the counters through the same cursor.
        for (int unit : {2, 6}) {
            QVERIFY(solars->locate("SOLAR", unit));
            QVERIFY(solars->edit());
            QVERIFY(solars->setValue("COUNTER", 600));
            QVERIFY(solars->setValue("STARTUP", 1));
            QVERIFY(solars->post());
        }
        child<QLineEdit>(*editor, "EditDescription")->setText("Lehátko");
        QTest::mouseClick(child<QPushButton>(*editor, "ButtonOk"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(*window, "ButtonSolarsEdit"), Qt::LeftButton);
    QCOMPARE(m_solars->value("SOLAR").toInt(), 2);
    QCOMPARE(m_solars->value("DESCRIPTION").toString(), QString("Lehátko"));
    QCOMPARE(m_solars->value("COUNTER").toInt(), 600);
    QCOMPARE(m_solars->value("STARTUP").toInt(), 1);
    QVERIFY(logLines().first().endsWith("OK [0 ms] [2]"));
}

void TestSetupSolar::postFailureShownAndLogged()
{
    // The console's handler: a warning, then the change is dropped.
    m_solars->setPostErrorHandler([](Table &table, const EngineError &error, ErrorAction &action) {
        ShowWarning("Chyba při zápisu do databáze...",
                    QString("Post Error: %1 [%2]").arg(error.message, table.objectName()));
        action = ErrorAction::Abort;
    });
    auto window = makeWindow();
    window->show();
    child<QTableView>(*window, "DBGridSolars")->selectRow(1);
    Database *database = m_database.get();
    whenModal<TFormSetupSolarEdit>([database](TFormSetupSolarEdit *editor) {
        // Another cursor deletes the row while it is being edited.
        Table other(database, solarsTable().fileName());
        QVERIFY(other.open());
        QVERIFY(other.locate("SOLAR", 2));
        QVERIFY(other.deleteRecord());
        child<QLineEdit>(*editor, "EditDescription")->setText("Nové");
        QTest::mouseClick(child<QPushButton>(*editor, "ButtonOk"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(*window, "ButtonSolarsEdit"), Qt::LeftButton);
    const QList<Hook::Message> messages = Hook::takeMessages();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages.at(0).text, QString("Chyba při zápisu do databáze..."));
    QVERIFY(messages.at(0).detail.endsWith("[TableSolars]"));
    QCOMPARE(messages.at(1).text, QString("Error [%1]").arg(int(EngineErrorCode::RecordNotFound)));
    QCOMPARE(logLines(), QStringList{"9.12.2026 9:05:00 Transakce [Nastavení solárka]: CHYBA"});
    QCOMPARE(m_solars->state(), Table::State::Browse);
    QVERIFY(window->isVisible());
    QCOMPARE(m_solars->recordCount(), 7);
}

void TestSetupSolar::descriptionRefusesUnstorableText()
{
    QVERIFY(m_solars->edit());
    TFormSetupSolarEdit editor(m_solars->record());
    m_solars->cancel();
    auto *description = child<QLineEdit>(editor, "EditDescription");
    description->clear();
    for (const QChar ch : QString("Řž€жš✓"))
        QTest::sendKeyEvent(QTest::Click, description, Qt::Key_unknown, QString(ch),
                            Qt::NoModifier);
    QCOMPARE(description->text(), QString("Řž€š"));
    QTest::keyClicks(description, QString(40, 'x'));
    QCOMPARE(description->text().size(), 32);
}

QTEST_MAIN(TestSetupSolar)
#include "tst_setupsolar.moc"
