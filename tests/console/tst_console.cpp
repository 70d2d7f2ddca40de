#include "consolefixture.h"
#include "fakes/recordingpreview.h"

#include "console/formvelmora.h"
#include "console/solarrow.h"
#include "console/startdialog.h"
#include "console/stopdialog.h"
#include "data/table.h"
#include "reports/formsalesolars.h"
#include "reports/formsetupprint.h"
#include "settings/formbackup.h"
#include "settings/formdatabase.h"
#include "sqlconsole/formsql.h"
#include "ui/common/messagedialogs.h"
#include "userdialogs/formuser.h"
#include "users/userregister.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace Hook = MessageDialogsTestHook;

class TestConsole : public QObject
{
    Q_OBJECT

private slots:
    void longDescriptionEndsInAnEllipsis();
    void rows_data();
    void rows();
    void directInputKeys();
    void emptyDiscountListOffersZero();
    void enterOnTheRowButtonStarts();
    void startDialogKeepsTheChosenDiscount_data();
    void startDialogKeepsTheChosenDiscount();
    void startDialogOffersZeroForAnEmptyList();
    void closingRefusedWhileAUnitRuns();
    void closingAsksAndLogs();
    void userWithoutRightZeroSeesNoUnits();
    void largestValuesShownWhole();
    void statusBarShowsDateTimeAndBalance();
    void menuItemsEnabled();
    void salesBrowser();
    void sqlChangesShowAfterClosing();
    void setupPrintOpensFromMenu();
    void backupsFromMenuAndAtClose();
    void immediateSaving_data();
    void immediateSaving();
};

void TestConsole::longDescriptionEndsInAnEllipsis()
{
    ConsoleFixture desk({}, {}, false);
    const QString description = "Turbo kolagen 3000 - nové lampy";
    Table &solars = desk.desk().tableSolars();
    QVERIFY(solars.locate("SOLAR", 2));
    QVERIFY(solars.edit() && solars.setValue("DESCRIPTION", description) && solars.post());
    desk.show();
    QLabel *label = desk.console().row(2)->LabelSolarDescription();
    QVERIFY2(label->text().endsWith(QChar(0x2026)), qPrintable(label->text()));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    QCOMPARE(desk.console().row(2)->toolTip(), description);
}

void TestConsole::rows_data()
{
    QTest::addColumn<bool>("dialogMode");
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("active");
    QTest::newRow("dialog mode, active") << true << 1 << true;
    QTest::newRow("dialog mode, closed") << true << 3 << false;
    QTest::newRow("direct input, active") << false << 1 << true;
    QTest::newRow("direct input, closed") << false << 3 << false;
}

void TestConsole::rows()
{
    QFETCH(bool, dialogMode);
    QFETCH(int, unit);
    QFETCH(bool, active);
    ConsoleFixture desk({}, {}, false);
    desk.m_settings.m_useDialogs = dialogMode;
    Table &solars = desk.desk().tableSolars();
    QVERIFY(solars.locate("SOLAR", 3));
    QVERIFY(solars.edit() && solars.setValue("ACTIVE", false) &&
            solars.setValue("DESCRIPTION", "V opravě") && solars.post());
    desk.show();

    SolarRow *row = desk.console().row(unit);
    QCOMPARE(row->LabelSolarName()->text(), QStringLiteral("Solárko %1").arg(unit));
    QCOMPARE(row->LabelSolarDescription()->text(),
             active ? QStringLiteral("Solárko %1").arg(unit) : QString("V opravě"));
    QCOMPARE(row->CurrencyEditSolarPrice()->text(), QString("10,00"));
    QVERIFY(!row->CurrencyEditSolarPrice()->isEnabled());
    QCOMPARE(row->ImageSolar()->isVisibleTo(row), !active);
    QCOMPARE(desk.console().MenuItemSolar(unit)->isEnabled(), active);
    QCOMPARE(desk.console().MenuItemSolar(unit)->text(),
             QStringLiteral("Solárko %1 [Start]").arg(unit));
    QCOMPARE(desk.console().MenuItemSolar(unit)->shortcut(),
             QKeySequence(QStringLiteral("F%1").arg(unit)));
    QCOMPARE(row->BitBtnSolar()->text(), QStringLiteral("Start [F%1]").arg(unit));
    // Dialog mode: the button starts every active unit; direct input: only complete input does.
    QCOMPARE(row->BitBtnSolar()->isEnabled(), active && dialogMode);
    const bool inputs = active && !dialogMode;
    QCOMPARE(row->EditSolarMin()->isEnabled(), inputs);
    QCOMPARE(row->EditSolarSec()->isEnabled(), inputs);
    QCOMPARE(row->ComboBoxSolarOff()->isEnabled(), inputs);
    QCOMPARE(row->LabelSolarColon()->isEnabled(), inputs);
    QCOMPARE(row->ComboBoxSolarOff()->isEditable(), !inputs);
    QCOMPARE(row->ComboBoxSolarOff()->currentText(), QString("0"));
    QCOMPARE(row->ComboBoxSolarOff()->count(), inputs ? 3 : 0);
    QCOMPARE(row->EditSolarOdd()->text(), QString("00:00"));
}

void TestConsole::directInputKeys()
{
    ConsoleFixture desk({}, {}, false);
    desk.m_settings.m_useDialogs = false;
    desk.show();
    QVERIFY(QTest::qWaitForWindowActive(&desk.console()));
    SolarRow *row = desk.console().row(2);
    QLineEdit *minutes = row->EditSolarMin();
    minutes->setFocus();
    minutes->selectAll();
    QTest::keyClicks(minutes, "0x");
    QCOMPARE(minutes->text(), QString("0")); // a letter does nothing
    // Digits of other scripts (Arabic-Indic three, fullwidth five): typed or pasted, nothing.
    for (const QString &digit : {QString(QChar(0x0663)), QString(QChar(0xFF15))}) {
        QTest::sendKeyEvent(QTest::Click, minutes, Qt::Key_unknown, digit, Qt::NoModifier);
        minutes->insert(digit);
    }
    QCOMPARE(minutes->text(), QString("0"));
    QTest::keyClick(minutes, Qt::Key_5);
    QCOMPARE(minutes->text(), QString("05"));
    QVERIFY(row->EditSolarSec()->hasFocus()); // two digits move on
    QVERIFY(row->BitBtnSolar()->isEnabled()); // 05:00 with discount 0
    QTest::keyClicks(row->EditSolarSec(), "00");
    QVERIFY(row->ComboBoxSolarOff()->hasFocus());

    minutes->setText("00");
    QVERIFY(!row->BitBtnSolar()->isEnabled()); // 00:00 is no run
    minutes->setText("0");
    row->EditSolarSec()->setText("30");
    QVERIFY(!row->BitBtnSolar()->isEnabled()); // three digits are not enough
}

void TestConsole::emptyDiscountListOffersZero()
{
    ConsoleFixture desk({}, {}, false);
    desk.m_settings.m_useDialogs = false;
    desk.m_settings.m_discounts.clear();
    desk.show();
    QComboBox *discount = desk.console().row(1)->ComboBoxSolarOff();
    QCOMPARE(discount->count(), 1);
    QCOMPARE(discount->itemText(0), QString("0"));
}

void TestConsole::enterOnTheRowButtonStarts()
{
    ConsoleFixture desk({}, {}, false);
    desk.m_settings.m_useDialogs = false;
    desk.show();
    QVERIFY(QTest::qWaitForWindowActive(&desk.console()));
    SolarRow *row = desk.console().row(2);
    row->EditSolarMin()->setFocus();
    for (const Qt::Key key : {Qt::Key_0, Qt::Key_1, Qt::Key_0, Qt::Key_0, Qt::Key_Down}) {
        QCoreApplication::processEvents(); // the field selects its text as it gets the focus
        QTest::keyClick(QApplication::focusWidget(), key); // Down picks "10": two characters
    }
    QVERIFY(row->BitBtnSolar()->hasFocus());
    QTest::keyClick(row->BitBtnSolar(), Qt::Key_Return);
    QCOMPARE(desk.m_desk.portRegister(), quint8(0x02));
    QTest::keyClick(row->BitBtnSolar(), Qt::Key_Return); // Enter never stops the run
    QCOMPARE(desk.m_desk.portRegister(), quint8(0x02));
}

void TestConsole::startDialogKeepsTheChosenDiscount_data()
{
    QTest::addColumn<QStringList>("listMeanwhile");
    QTest::addColumn<QString>("afterwards");
    QTest::newRow("still offered") << QStringList({"0", "10", "15"}) << "15";
    QTest::newRow("removed meanwhile") << QStringList({"0", "10"}) << "10";
}

void TestConsole::startDialogKeepsTheChosenDiscount()
{
    QFETCH(QStringList, listMeanwhile);
    QFETCH(QString, afterwards);
    FakeSolarSettings settings;
    settings.m_defaultDiscount = "10";
    TFormStart start(1, settings);
    start.show();
    QVERIFY(QTest::qWaitForWindowActive(&start));
    auto *discount = start.findChild<QComboBox *>("ComboBoxStartOff");
    QCOMPARE(discount->currentText(), QString("10"));
    discount->setCurrentText("15");
    settings.m_discounts = listMeanwhile;
    QWidget other; // another unit's stop dialog opens over it and closes
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    other.close();
    QApplication::setActiveWindow(&start);
    QVERIFY(QTest::qWaitForWindowActive(&start));
    QCOMPARE(discount->currentText(), afterwards);
}

void TestConsole::startDialogOffersZeroForAnEmptyList()
{
    FakeSolarSettings settings;
    settings.m_discounts.clear();
    settings.m_defaultDiscount.clear();
    TFormStart start(1, settings);
    start.show();
    QVERIFY(QTest::qWaitForWindowActive(&start));
    auto *discount = start.findChild<QComboBox *>("ComboBoxStartOff");
    QCOMPARE(discount->count(), 1);
    QCOMPARE(discount->currentText(), QString("0"));
    QTest::keyClicks(start.findChild<QLineEdit *>("EditStartMin"), "0100");
    QVERIFY(start.findChild<QPushButton *>("BitBtnStart")->isEnabled());
}

void TestConsole::closingRefusedWhileAUnitRuns()
{
    ConsoleFixture desk;
    desk.m_desk.setPortRegister(0x04);
    QVERIFY(!desk.console().close());
    QVERIFY(desk.console().isVisible());
    const QList<Hook::Message> shown = Hook::takeMessages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).kind, Hook::Kind::Information);
    QCOMPARE(shown.at(0).text, QString("Program nyní nelze ukončit..."));
    QCOMPARE(shown.at(0).detail, QString("Jedno nebo více solárií jsou v provozu..."));
    QVERIFY(shown.at(0).autoClose);
    desk.m_desk.setPortRegister(0);
}

void TestConsole::closingAsksAndLogs()
{
    ConsoleFixture desk;
    Hook::queueAnswers({false, true});
    QVERIFY(!desk.console().close());
    QList<Hook::Message> shown = Hook::takeMessages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).text, QString("Ukončit program ?"));
    QCOMPARE(shown.at(0).detail, QString("Ukončení programu Velmora 1.0..."));
    QVERIFY(!shown.at(0).defaultYes);
    QVERIFY(desk.desk().eventLog().lines().isEmpty());

    QVERIFY(desk.console().close());
    QCOMPARE(desk.desk().eventLog().lines().last(),
             QString("9.12.2026 9:05:00 Ukončení programu uživatelem: [Administrator]"));
}

void TestConsole::userWithoutRightZeroSeesNoUnits()
{
    ConsoleFixture desk({User{"Eva", "e", {false, true, false, true}}}, "Eva");
    TFormVelmora &console = desk.console();
    QVERIFY(!console.findChild<QWidget *>("PanelSolars")->isVisible());
    QVERIFY(!console.findChild<QMenu *>("MenuItemSolars")->isEnabled());
    QVERIFY(!console.findChild<QMenu *>("MenuItemSetup")->isEnabled());
    // The bands stay where they are: header on top, status bar at the bottom.
    QVERIFY(QTest::qWaitForWindowExposed(&console));
    QCOMPARE(console.findChild<QWidget *>("PanelSolar")->y(), 0);
    QWidget *status = console.findChild<QWidget *>("PanelStatus");
    QCOMPARE(status->geometry().bottom(), console.centralWidget()->height() - 1);
    console.MenuItemSolarClick(3); // what F3 would do
    QVERIFY(desk.m_dialogs.m_startedUnits.isEmpty());
    QCOMPARE(desk.m_desk.portRegister(), quint8(0));
}

namespace {

// Neither cut by a length limit nor scrolled out of the field by a face too wide for it.
bool showsWhole(QLineEdit *field, const QString &text)
{
    field->grab(); // lays the text out
    field->setCursorPosition(int(field->text().size()));
    const int caret = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    const int advance = QFontMetrics(field->font()).horizontalAdvance(field->text());
    return field->text() == text && caret - advance >= 0 && caret < field->width();
}

} // namespace

void TestConsole::largestValuesShownWhole()
{
    ConsoleFixture desk;
    Table &solars = desk.desk().tableSolars();
    QVERIFY(solars.locate("SOLAR", 1) && solars.edit() && solars.setValue("PRICE", 1234.5) &&
            solars.post());
    desk.console().SetActiveSolars();
    SolarRow *row = desk.console().row(1);
    row->setRemainingText("100:39"); // a run of 99:99 as it starts
    QVERIFY(showsWhole(row->CurrencyEditSolarPrice(), "1\u00a0234,50"));
    QVERIFY(showsWhole(row->EditSolarOdd(), "100:39"));
    QVERIFY(showsWhole(row->EditSolarMin(), "00"));

    TFormStop stop(StopFigures{8, 1234.5, 6039, 124268.0, true});
    stop.show();
    QVERIFY(showsWhole(stop.findChild<QLineEdit *>("CurrencyEditPriceOff"), "1\u00a0234,50"));
    QVERIFY(showsWhole(stop.findChild<QLineEdit *>("EditPeriodTotal"), "100:39"));
    QVERIFY(showsWhole(stop.findChild<QLineEdit *>("CurrencyEditPriceTotal"), "124\u00a0268,00"));
}

void TestConsole::statusBarShowsDateTimeAndBalance()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    QCOMPARE(console.findChild<QLabel *>("LabelDate")->text(), QString("9.12.2026"));
    QCOMPARE(console.findChild<QLabel *>("LabelTime")->text(), QString("9:05:00"));
    QCOMPARE(console.findChild<QLabel *>("DBTextMoney")->text(), QString("0,00"));
    Table &money = desk.desk().tableMoney();
    QVERIFY(money.edit() && money.setValue("MONEY", 1234.5) && money.post());
    QCOMPARE(console.findChild<QLabel *>("DBTextMoney")->text(), QString("1\u00a0234,50"));
    QCOMPARE(console.windowTitle(), QString("Velmora 1.0.2.3 - [Administrator]"));
}

void TestConsole::menuItemsEnabled()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    for (const char *name : {"MenuItemSQL", "MenuItemSaleSolars", "MenuItemSetupSolar",
                             "MenuItemSetupPrint", "MenuItemUsers", "MenuItemBackup",
                             "MenuItemDatabase", "MenuItemBDE", "MenuItemAbout", "MenuItemEnd"})
        QVERIFY2(console.findChild<QAction *>(name)->isEnabled(), name);
}

void TestConsole::sqlChangesShowAfterClosing()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    MessageDialogsTestHook::engage();
    whenModal<TFormSQL>([](TFormSQL *window) {
        window->runStatement("update Money set MONEY = 77");
        window->runStatement("update Solars set DESCRIPTION = 'Turbo' where SOLAR = 2");
        window->reject();
    });
    console.findChild<QAction *>("MenuItemSQL")->trigger();
    MessageDialogsTestHook::release();
    QCOMPARE(console.findChild<QLabel *>("DBTextMoney")->text(), QString("77,00"));
    QCOMPARE(console.row(2)->LabelSolarDescription()->text(), QString("Turbo"));
}

void TestConsole::setupPrintOpensFromMenu()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    TFormSetupPrint *opened = nullptr;
    whenModal<TFormSetupPrint>([&opened](TFormSetupPrint *window) {
        opened = window;
        window->findChild<QPlainTextEdit *>("MemoInfo")->setPlainText("Otevřeno denně");
        window->findChild<QPushButton *>("ButtonOk")->click();
    });
    console.findChild<QAction *>("MenuItemSetupPrint")->trigger();
    QVERIFY(opened);
    QCOMPARE(desk.session().printStore().infoLines(), QStringList{"Otevřeno denně"});
}

void TestConsole::backupsFromMenuAndAtClose()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    const QString directory = desk.m_desk.path("zálohy");
    QVERIFY(QDir().mkpath(directory));
    QVERIFY(!console.TimerBackup()->isActive());
    whenModal<TFormBackup>([&](TFormBackup *window) {
        for (const char *box : {"CheckBoxBackupTime", "CheckBoxBackupDay"})
            window->findChild<QCheckBox *>(box)->click();
        for (const char *edit : {"EditBackupPathTime", "EditBackupPathDay"})
            window->findChild<QLineEdit *>(edit)->setText(directory);
        window->findChild<QPushButton *>("ButtonOk")->click();
    });
    console.findChild<QAction *>("MenuItemBackup")->trigger();
    QVERIFY(console.TimerBackup()->isActive());
    QCOMPARE(console.TimerBackup()->interval(), 3600000);

    console.TimerBackupTimer();
    // An hour that fails warns without a window that waits over the desk.
    desk.session().backupStore().setText(BackupSettingsStore::EditBackupPathTime,
                                         directory + "/chybí");
    console.TimerBackupTimer();
    const QList<Hook::Message> warned = Hook::takeMessages();
    QVERIFY(warned.size() == 1 && !warned.first().waits);
    Hook::queueAnswers({true});
    QVERIFY(console.close());
    QCOMPARE(QDir(directory).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             (QStringList{"2026-12-09_09-05-00", "Streda"}));
    QCOMPARE(desk.desk().eventLog().lines(),
             (QStringList{"9.12.2026 9:05:00 Zálohování [TIME] [9.12.2026 9:05:00]",
                          "9.12.2026 9:05:00 Zálohování [TIME] [" + directory +
                              "/chybí]: CHYBA [Adresář neexistuje]",
                          "9.12.2026 9:05:00 Zálohování [Streda]: Ok",
                          "9.12.2026 9:05:00 Ukončení programu uživatelem: [Administrator]"}));
}

void TestConsole::immediateSaving_data()
{
    QTest::addColumn<bool>("on"); // "Okamžité ukládaní změn databáze"
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void TestConsole::immediateSaving()
{
    QFETCH(bool, on);
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    if (!on)
        desk.session().databaseStore().setChecked(DatabaseSettingsStore::CheckBoxSave, false);
    console.MenuItemSolarClick(1);
    desk.countDown(1, 30);
    console.MenuItemSolarClick(1);
    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(desk.desk().eventLog().lines().filter("Databáze uložena").size(), on ? 1 : 0);
    QVERIFY(desk.desk().eventLog().lines().filter("Databáze neuložena").isEmpty());
}

// No receipt yet: nothing to count or print; title clicks sort, closing restores the order.
void TestConsole::salesBrowser()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    Table &sales = desk.desk().tableSaleSolars();
    RecordingPreview preview;
    {
        TFormSaleSolars browser(desk.desk(), desk.session().solarSettings(),
                                desk.session().printStore(), preview,
                                desk.session().users().names(), &console);
        QCOMPARE(browser.findChild<QLabel *>("LabelCustomers")->text(), " Zákazníků: 0");
        QVERIFY(!browser.findChild<QPushButton *>("ButtonPrintParagon")->isEnabled());
        QVERIFY(sales.filtered()); // "dnešní den"
        browser.TitleClick(0);     // "Doklad"
        QCOMPARE(sales.indexName(), "PARAGON_");
        browser.TitleClick(10); // "Cena [Kč]" does not sort
        QCOMPARE(sales.indexName(), "PARAGON_");
        browser.reject();
    }
    QVERIFY(!sales.filtered());
    QCOMPARE(sales.indexName(), "");
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
