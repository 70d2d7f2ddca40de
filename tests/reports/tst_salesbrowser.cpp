#include "deskfixture.h"
#include "fakes/fakeprintsettings.h"
#include "fakes/recordingpreview.h"

#include "core/programvalues.h"
#include "data/table.h"
#include "desk/settings/printsettings.h"
#include "reports/formsalesolars.h"
#include "reports/reportpreview.h"
#include "ui/common/messagedialogs.h"
#include "ui/common/recordgrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>

namespace {

// Four receipts, three of them today (the fake clock's 9 December): number, date, time, unit,
// discount, seconds, user.
const char *const Receipts[] = {
    "1 2026-12-09 08:00:00 1 0 600 Eva",
    "2 2026-12-09 12:30:00 3 10 300 Jana",
    "3 2026-12-09 18:00:00 8 50 900 O'Brien",
    "4 2026-12-08 12:00:00 3 0 60 Eva",
};

class Browser
{
public:
    Browser()
    {
        for (const char *receipt : Receipts) {
            const QStringList f = QString::fromUtf8(receipt).split(' ');
            runSql(m_runs.m_desk.database(),
                   QString("insert into SaleSolars values (%1, '%2', '%3', %4, 0, 21, 10.0, %5, "
                           "%6, '%7')")
                       .arg(f[0], f[1], f[2], f[3], f[4], f[5], QString(f[6]).replace("'", "''")));
        }
        sales().refresh();
        m_browser = std::make_unique<TFormSaleSolars>(m_runs.m_desk, m_runs.m_settings, m_print,
                                                      m_preview, QStringList{"Eva", "Jana"});
    }

    Table &sales() { return m_runs.m_desk.tableSaleSolars(); }
    TFormSaleSolars &window() { return *m_browser; }
    template <typename T> T *control(const QString &name)
    {
        return m_browser->findChild<T *>(name);
    }
    QString customers() { return control<QLabel>("LabelCustomers")->text(); }
    int current() { return sales().value("PARAGON").toInt(); }

    RunsFixture m_runs;
    FakePrintSettings m_print;
    RecordingPreview m_preview;
    std::unique_ptr<TFormSaleSolars> m_browser;
};

void setValue(QWidget *control, const QString &value)
{
    if (auto *time = qobject_cast<QTimeEdit *>(control))
        time->setTime(QTime::fromString(value));
    else if (auto *box = qobject_cast<QComboBox *>(control))
        box->setEditText(value);
    else
        qobject_cast<QLineEdit *>(control)->setText(value);
}

} // namespace

class TestSalesBrowser : public QObject
{
    Q_OBJECT

private slots:
    void conditionBounds_data();
    void conditionBounds();
    void everyChangeOfStateRebuildsOnce_data();
    void everyChangeOfStateRebuildsOnce();
    void cursorAfterRebuild_data();
    void cursorAfterRebuild();
    void sortingKeepsTheReceipt();
    void doubleClickPrintsOnCellsOnly();
    void ctrlDeleteLogsTheReceipt();
};

void TestSalesBrowser::conditionBounds_data()
{
    QTest::addColumn<QString>("checkBox");
    QTest::addColumn<QStringList>("values"); // control name=value, set before the box is ticked
    QTest::addColumn<int>("count");          // of today's three
    QTest::newRow("receipts") << "CheckBoxParagon"
                              << QStringList{"IntegerEditParagonFirst=2",
                                             "IntegerEditParagonSecond=3"}
                              << 2;
    QTest::newRow("receipts, lower bound cleared")
        << "CheckBoxParagon"
        << QStringList{"IntegerEditParagonFirst=", "IntegerEditParagonSecond=2"} << 2;
    QTest::newRow("sale time") << "CheckBoxTime"
                               << QStringList{"EditTimeFirst=12:30:00", "EditTimeSecond=18:00:00"}
                               << 2;
    QTest::newRow("units") << "CheckBoxSolar"
                           << QStringList{"IntegerEditSolarFirst=3", "IntegerEditSolarSecond=8"}
                           << 2;
    QTest::newRow("discount") << "CheckBoxOff"
                              << QStringList{"IntegerComboBoxOffFirst=10",
                                             "IntegerComboBoxOffSecond=50"}
                              << 2;
    QTest::newRow("run length") << "CheckBoxPeriod"
                                << QStringList{"IntegerEditPeriodFirst=300",
                                               "IntegerEditPeriodSecond=600"}
                                << 2;
    QTest::newRow("user with a quote")
        << "CheckBoxUser" << QStringList{"ComboBoxUser=O'Brien"} << 1;
    QTest::newRow("user that sold nothing")
        << "CheckBoxUser" << QStringList{"ComboBoxUser=Petr"} << 0;
}

void TestSalesBrowser::conditionBounds()
{
    QFETCH(QString, checkBox);
    QFETCH(QStringList, values);
    QFETCH(int, count);
    Browser browser;
    QCOMPARE(browser.customers(), " Zákazníků: 3");
    for (const QString &value : values) {
        const qsizetype at = value.indexOf('=');
        setValue(browser.control<QWidget>(value.left(at)), value.mid(at + 1));
    }
    browser.control<QCheckBox>(checkBox)->click();
    QCOMPARE(browser.customers(), QString(" Zákazníků: %1").arg(count));
    QCOMPARE(browser.control<QPushButton>("ButtonPrintParagon")->isEnabled(), count != 0);
    browser.control<QCheckBox>(checkBox)->click(); // unticked: all of today again
    QCOMPARE(browser.customers(), " Zákazníků: 3");
}

void TestSalesBrowser::everyChangeOfStateRebuildsOnce_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("byClick"); // else as an accessibility action sets the state
    QTest::addColumn<QString>("customers");
    QTest::newRow("check box clicked") << "CheckBoxSolar" << true << " Zákazníků: 1";
    QTest::newRow("check box set") << "CheckBoxSolar" << false << " Zákazníků: 1";
    QTest::newRow("period clicked") << "RadioButtonAll" << true << " Zákazníků: 4";
    QTest::newRow("period set") << "RadioButtonAll" << false << " Zákazníků: 4";
    QTest::newRow("chosen period clicked again") << "RadioButtonToday" << true << " Zákazníků: 3";
}

void TestSalesBrowser::everyChangeOfStateRebuildsOnce()
{
    QFETCH(QString, control);
    QFETCH(bool, byClick);
    QFETCH(QString, customers);
    Browser browser;
    setValue(browser.control<QWidget>("IntegerEditSolarFirst"), "8"); // unit 8 only
    setValue(browser.control<QWidget>("IntegerEditSolarSecond"), "8");
    QSignalSpy rebuilt(browser.control<RecordGrid>("DBGridSaleSolars")->model(),
                       &QAbstractItemModel::modelReset);
    auto *button = browser.control<QAbstractButton>(control);
    if (byClick)
        button->click();
    else
        button->setChecked(true);
    QCOMPARE(rebuilt.size(), 1);
    QCOMPARE(browser.customers(), customers);
}

void TestSalesBrowser::cursorAfterRebuild_data()
{
    QTest::addColumn<QString>("longest"); // run length bounds from 300 s
    QTest::addColumn<int>("expected");
    QTest::newRow("current receipt still passes") << "600" << 2;
    QTest::newRow("current receipt filtered out: on the last one") << "" << 3;
}

void TestSalesBrowser::cursorAfterRebuild()
{
    QFETCH(QString, longest);
    QFETCH(int, expected);
    Browser browser;
    QCOMPARE(browser.current(), 3); // the browser opens on the last receipt
    QVERIFY(browser.sales().prior());
    QCOMPARE(browser.current(), 2);
    // Receipt 2 ran 300 s, 1 ran 600 s, 3 ran 900 s.
    setValue(browser.control<QWidget>("IntegerEditPeriodFirst"), longest.isEmpty() ? "600" : "300");
    setValue(browser.control<QWidget>("IntegerEditPeriodSecond"), longest);
    browser.control<QCheckBox>("CheckBoxPeriod")->click();
    QCOMPARE(browser.current(), expected);
    auto *grid = browser.control<RecordGrid>("DBGridSaleSolars");
    QCOMPARE(grid->currentIndex().row(), int(browser.sales().recordNumber()));
    QCOMPARE(grid->model()->index(grid->currentIndex().row(), 0).data().toInt(), expected);
}

void TestSalesBrowser::sortingKeepsTheReceipt()
{
    Browser browser;
    browser.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser.window()));
    browser.control<QRadioButton>("RadioButtonAll")->click();
    QVERIFY(browser.sales().last()); // receipt 4 of the day before is last by number only
    auto *grid = browser.control<RecordGrid>("DBGridSaleSolars");
    const QList<int> rows{0, 3, 0}; // "Datum" ascending, descending, ascending
    for (const int row : rows) {
        browser.window().TitleClick(1);
        QCOMPARE(browser.current(), 4);
        QCOMPARE(grid->currentIndex().row(), row);
    }
}

void TestSalesBrowser::doubleClickPrintsOnCellsOnly()
{
    Browser browser;
    browser.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser.window()));
    auto *grid = browser.control<RecordGrid>("DBGridSaleSolars");
    QHeaderView *titles = grid->horizontalHeader();
    QTest::mouseDClick(titles->viewport(), Qt::LeftButton, {},
                       QPoint(titles->sectionPosition(1) + 5, titles->height() / 2));
    QCOMPARE(browser.m_preview.m_shown.size(), 0);
    QHeaderView *indicator = grid->verticalHeader();
    QVERIFY(indicator->isVisible() && indicator->width() > 0);
    QTest::mouseDClick(indicator->viewport(), Qt::LeftButton, {},
                       QPoint(indicator->width() / 2, indicator->sectionViewportPosition(0) + 3));
    QCOMPARE(browser.m_preview.m_shown.size(), 0);
    const QPoint cell = grid->visualRect(grid->model()->index(0, 1)).center();
    // A double click as the window system sends it: a click, then the second press.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(browser.m_preview.m_shown.size(), 1);
    QCOMPARE(browser.current(), 1); // the receipt that was double-clicked
}

void TestSalesBrowser::ctrlDeleteLogsTheReceipt()
{
    Browser browser;
    Program().CurrentUser = "Eva";
    browser.window().show();
    QVERIFY(QTest::qWaitForWindowActive(&browser.window()));
    auto *grid = browser.control<RecordGrid>("DBGridSaleSolars");
    grid->setFocus();
    MessageDialogsTestHook::engage();
    MessageDialogsTestHook::queueAnswers({true});
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    const QList<MessageDialogsTestHook::Message> asked = MessageDialogsTestHook::takeMessages();
    MessageDialogsTestHook::release();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().detail, "Doklad 000000003");
    QCOMPARE(browser.customers(), " Zákazníků: 2");
    QCOMPARE(queryValue(browser.m_runs.m_desk.database(),
                        "select count(*) from SaleSolars where PARAGON = 3")
                 .toInt(),
             0);
    const QStringList log = logTexts(browser.m_runs.m_desk.eventLog());
    QCOMPARE(log.last(), "Databáze uložena"); // at once, not at the next backup
    const QString logged = log.value(log.size() - 2);
    QVERIFY2(logged.startsWith("Transakce [Smazání dokladu]: OK [") &&
                 logged.endsWith("[000000003] [75,00 Kč] [Eva]"),
             qPrintable(logged));
}

QTEST_MAIN(TestSalesBrowser)
#include "tst_salesbrowser.moc"
