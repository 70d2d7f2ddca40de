#include "deskfixture.h"
#include "fakes/whenmodal.h"
#include "pdftext.h"

#include "core/programvalues.h"
#include "sqlconsole/formsql.h"
#include "ui/common/messagedialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using MessageDialogsTestHook::Message;

class TestSql : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statements_data();
    void statements();
    void changesAreLoggedOnce();
    void searchInColumn_data();
    void searchInColumn();
    void statementFiles();
    void filesThroughTheDialogs();
    void editableResults_data();
    void editableResults();
    void editsGoThroughTheTable();
    void exportFillsTheFirstSheet();
    void failedExportLeavesNoFile();

private:
    std::unique_ptr<RunsFixture> m_runs;
    std::unique_ptr<TFormSQL> m_window;

    template <typename T> T *control(const char *name) { return m_window->findChild<T *>(name); }
    QString status() { return control<QLabel>("StatusBar")->text(); }
    QString said(const QList<Message> &messages) { return messages.value(0).text; }
};

void TestSql::init()
{
    m_runs = std::make_unique<RunsFixture>();
    for (const char *receipt : {"1, 'Eva'", "2, 'Jana'", "3, 'eva'"}) {
        QVERIFY(runSql(m_runs->m_desk.database(),
                       QString("insert into SaleSolars values (%1, '2026-12-09', '09:05:00', 1, "
                               "0, 21, 10.0, 0, 60, %2)")
                           .arg(QString(receipt).section(',', 0, 0),
                                QString(receipt).section(',', 1).trimmed())));
    }
    Program().CurrentUser = "Eva";
    m_window = std::make_unique<TFormSQL>(m_runs->m_desk);
    MessageDialogsTestHook::engage();
}

void TestSql::cleanup()
{
    MessageDialogsTestHook::release();
    m_window.reset();
    m_runs.reset();
}

void TestSql::statements_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("modal");
    QTest::addColumn<int>("rows"); // in the grid
    QTest::newRow("receipts") << "select * from SALESOLARS"
                              << "SQL dotaz dokončen..." << false << 3;
    QTest::newRow("a join, table names in any case")
        << "select s.PARAGON, u.DESCRIPTION from salesolars s join SOLARS u on u.SOLAR = s.SOLAR"
        << "SQL dotaz dokončen..." << false << 3;
    QTest::newRow("update") << "update Solars set PRICE = PRICE + 1 where SOLAR = 1"
                            << "SQL dotaz dokončen..." << false << 0;
    QTest::newRow("misspelt") << "selct * from SALESOLARS"
                              << "SQL dotaz neproběhl v pořádku..." << true << 0;
}

void TestSql::statements()
{
    QFETCH(QString, statement);
    QFETCH(QString, message);
    QFETCH(bool, modal);
    QFETCH(int, rows);
    m_window->runStatement(statement);
    const QList<Message> messages = MessageDialogsTestHook::takeMessages();
    QCOMPARE(said(messages), message);
    QCOMPARE(messages.first().autoClose, !modal);
    QCOMPARE(control<QTableView>("DBGrid")->model()->rowCount(), rows);
    QCOMPARE(control<QPushButton>("ButtonExport")->isEnabled(), rows != 0);
    if (rows != 0) {
        QCOMPARE(status(), QString(" Počet záznamů: %1").arg(rows));
        QCOMPARE(control<QComboBox>("ComboBoxSearch")->itemText(0), "PARAGON");
    } else {
        QCOMPARE(status(), QString()); // no result: the status stays as it was
    }
}

void TestSql::changesAreLoggedOnce()
{
    m_window->runStatement("update Solars set PRICE = PRICE + 1 where SOLAR <= 2");
    QCOMPARE(queryValue(m_runs->m_desk.database(), "select PRICE from Solars where SOLAR = 1"),
             QVariant(11.0));                       // once, not twice
    m_window->runStatement("select * from Solars"); // reads only: no log line
    const QStringList log = logTexts(m_runs->m_desk.eventLog());
    QCOMPARE(log.size(), 1);
    QVERIFY2(log.first().startsWith("Transakce [SQL]: OK [") &&
                 log.first().endsWith("[změněno záznamů: 2] [update Solars set PRICE = PRICE + 1 "
                                      "where SOLAR <= 2] [Eva]"),
             qPrintable(log.first()));
}

void TestSql::searchInColumn_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row"); // -1: not found
    QTest::newRow("small letters find the capitalised name") << "USER"
                                                             << "ev" << 0;
    QTest::newRow("prefix") << "USER"
                            << "ja" << 1;
    QTest::newRow("number") << "PARAGON"
                            << "3" << 2;
    QTest::newRow("nothing") << "USER"
                             << "zz" << -1;
    QTest::newRow("Czech letters") << "NAME"
                                   << "šá" << 1;
}

void TestSql::searchInColumn()
{
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(int, row);
    m_window->runStatement(column == "NAME" ? "select 'Eva' as NAME union all select 'Šárka'"
                                            : "select * from SALESOLARS order by PARAGON");
    MessageDialogsTestHook::takeMessages();
    control<QComboBox>("ComboBoxSearch")->setCurrentText(column);
    control<QLineEdit>("EditSearch")->setText(text);
    control<QPushButton>("ButtonSearch")->click();
    const QList<Message> messages = MessageDialogsTestHook::takeMessages();
    if (row < 0) {
        QCOMPARE(said(messages), "Hledaný text nenalezen...");
        QCOMPARE(messages.first().detail, "Hledaný text: [zz]");
    } else {
        QVERIFY(messages.isEmpty());
        QCOMPARE(control<QTableView>("DBGrid")->currentIndex().row(), row);
    }
}

void TestSql::statementFiles()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("dotaz.txt");
    m_window->findChild<QPlainTextEdit *>("Memo")->setPlainText("select PARAGON\nfrom SaleSolars");
    QVERIFY(m_window->saveStatement(file));
    m_window->findChild<QPlainTextEdit *>("Memo")->setPlainText("nic");
    m_window->openStatement(file);
    QCOMPARE(status(), " Počet záznamů: 3");
    QVERIFY(!m_window->saveStatement("/proc/velmora/dotaz.txt"));
    const QList<Message> messages = MessageDialogsTestHook::takeMessages();
    QCOMPARE(messages.last().text, "SQL script se nepodařilo uložit...");
}

// The dialogs as the user meets them: a name typed into the real file dialog, again and again.
void TestSql::filesThroughTheDialogs()
{
    QTemporaryDir dir;
    Program().DatabaseDir = dir.path();
    const auto typeIntoNextDialog = [](const QString &name) {
        whenModal<QFileDialog>([name](QFileDialog *dialog) {
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(name);
            static_cast<QDialog *>(dialog)->accept(); // public there; QFileDialog's own runs
        });
    };
    QStringList opened;
    m_window->setWorkbookOpener([&opened](const QString &path) { opened << path; });
    auto *memo = m_window->findChild<QPlainTextEdit *>("Memo");
    for (int round = 1; round <= 3; ++round) {
        const QString statement =
            QString("select PARAGON from SaleSolars where PARAGON <= %1").arg(round);
        memo->setPlainText(statement);
        typeIntoNextDialog(QString("dotaz%1").arg(round)); // the extension added by the dialog
        control<QPushButton>("ButtonSave")->click();
        memo->setPlainText("nic");
        typeIntoNextDialog(QString("dotaz%1.txt").arg(round));
        control<QPushButton>("ButtonOpen")->click();
        QCOMPARE(memo->toPlainText(), statement);
        QCOMPARE(status(), QString(" Počet záznamů: %1").arg(round));
        typeIntoNextDialog(QString("tržby%1").arg(round));
        control<QPushButton>("ButtonExport")->click();
        QCOMPARE(opened.value(round - 1), dir.filePath(QString("tržby%1.xlsx").arg(round)));
        MessageDialogsTestHook::takeMessages();
    }
    QCOMPARE(QDir(dir.path()).entryList({"dotaz*.txt"}).size(), 3);
}

void TestSql::editableResults_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("editable");
    QTest::newRow("one table") << "select * from Solars" << true;
    QTest::newRow("its key and a condition")
        << "select SOLAR, DESCRIPTION from Solars where SOLAR > 2" << true;
    QTest::newRow("without the key") << "select DESCRIPTION from Solars" << false;
    QTest::newRow("two tables")
        << "select s.PARAGON, u.DESCRIPTION from SaleSolars s join Solars u on u.SOLAR = s.SOLAR"
        << false;
    QTest::newRow("computed") << "select SOLAR, count(*) from Solars group by SOLAR" << false;
    QTest::newRow("compound") << "select SOLAR from Solars union select SOLAR from SaleSolars"
                              << false;
}

void TestSql::editableResults()
{
    QFETCH(QString, statement);
    QFETCH(bool, editable);
    control<QCheckBox>("CheckBoxEdit")->setChecked(true);
    m_window->runStatement(statement);
    QAbstractItemModel *result = control<QTableView>("DBGrid")->model();
    QCOMPARE(result->flags(result->index(0, 0)).testFlag(Qt::ItemIsEditable), editable);
    QCOMPARE(control<QToolButton>("NavigatorDelete")->isEnabled(), editable);
    QCOMPARE(status().endsWith("(výsledek dotazu nelze upravovat)"), !editable);
}

void TestSql::editsGoThroughTheTable()
{
    control<QCheckBox>("CheckBoxEdit")->setChecked(true);
    m_window->runStatement("select SOLAR, DESCRIPTION from Solars order by SOLAR");
    QAbstractItemModel *result = control<QTableView>("DBGrid")->model();
    QVERIFY(result->setData(result->index(1, 1), "Turbo"));
    QCOMPARE(
        queryValue(m_runs->m_desk.database(), "select DESCRIPTION from Solars where SOLAR = 2"),
        QVariant("Turbo"));
    QCOMPARE(result->index(1, 1).data().toString(), "Turbo");
    MessageDialogsTestHook::takeMessages();
    // Longer than the field's 32 characters: the table refuses it and says why.
    QVERIFY(!result->setData(result->index(1, 1), QString(40, 'x')));
    QCOMPARE(MessageDialogsTestHook::takeMessages().size(), 1);
    QCOMPARE(result->index(1, 1).data().toString(), "Turbo");
    control<QToolButton>("NavigatorInsert")->click(); // unit 9, to be filled in
    QCOMPARE(queryValue(m_runs->m_desk.database(), "select count(*) from Solars where SOLAR = 9"),
             QVariant(1));
    QCOMPARE(control<QTableView>("DBGrid")->currentIndex().row(), 8);

    m_window->runStatement("select * from SaleSolars order by PARAGON");
    control<QTableView>("DBGrid")->setCurrentIndex(result->index(0, 0));
    MessageDialogsTestHook::queueAnswers({true});
    control<QToolButton>("NavigatorDelete")->click();
    QCOMPARE(queryValue(m_runs->m_desk.database(), "select min(PARAGON) from SaleSolars"),
             QVariant(2));
    QCOMPARE(status(), " Počet záznamů: 2");
    QStringList changes;
    for (const QString &line : logTexts(m_runs->m_desk.eventLog()))
        changes << line.section("] [", 2, 2);
    QCOMPARE(changes, QStringList({"Solars: úprava pole DESCRIPTION záznamu SOLAR = 2",
                                   "Solars: vložení záznamu SOLAR = 9",
                                   "SaleSolars: smazání záznamu PARAGON = 1"}));
}

void TestSql::exportFillsTheFirstSheet()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("tržby.xlsx");
    QStringList opened;
    m_window->setWorkbookOpener([&opened](const QString &path) { opened << path; });
    m_window->runStatement("select PARAGON, DATE, TIME, USER from SaleSolars order by PARAGON");
    QVERIFY(m_window->exportResult(file));
    QCOMPARE(opened, QStringList{file});
    QCOMPARE(said(MessageDialogsTestHook::takeMessages().mid(1)),
             "Export dat byl dokončen v pořádku...");
    const QString sheet = toolOutput("unzip", {"-p", file, "xl/worksheets/sheet1.xml"});
    QStringList cells;
    static const QRegularExpression cell(R"re(<c r="([A-Z]+[0-9]+)"( s="\d+")?( t="(\w+)")?>)re");
    for (const QRegularExpressionMatch &match : cell.globalMatch(sheet))
        cells << match.captured(1) + (match.captured(4).isEmpty() ? "" : ":" + match.captured(4));
    // Numbers plain, the date and the time as formatted numbers, the user as a (shared) string.
    QCOMPARE(cells, QStringList({"A1", "B1", "C1", "D1:s", "A2", "B2", "C2", "D2:s", "A3", "B3",
                                 "C3", "D3:s"}));
    const qint64 serialDay = QDate(1899, 12, 30).daysTo(QDate(2026, 12, 9));
    QVERIFY2(sheet.contains(QString(R"(<c r="B1" s="1"><v>%1</v>)").arg(serialDay)),
             qPrintable(sheet));
    QVERIFY(sheet.contains(R"(<c r="A3"><v>3</v>)"));
}

void TestSql::failedExportLeavesNoFile()
{
    m_window->setWorkbookOpener([](const QString &) { QFAIL("nothing to open"); });
    m_window->runStatement("select * from SaleSolars");
    QTemporaryDir dir;
    const QString file = dir.filePath("chybí/tržby.xlsx"); // a folder that is not there
    QVERIFY(!m_window->exportResult(file));
    QCOMPARE(MessageDialogsTestHook::takeMessages().last().text,
             "Export dat neproběhl v pořádku...");
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    QVERIFY(control<QPushButton>("ButtonRun")->isEnabled());
}

QTEST_MAIN(TestSql)
#include "tst_sql.moc"
