#include "consolefixture.h"

#include "console/formvelmora.h"
#include "console/solarrow.h"
#include "reports/formpreview.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestRuns : public QObject
{
    Q_OBJECT

private slots:
    void startCountdownAndEnd();
    void unitChangesOnlyItsBit();
    void stopContinueStopAgain();
    void ninetyNineSeconds();
    void directInputStartsFromTheRow_data();
    void directInputStartsFromTheRow();
    void printedReceiptOpensThePreview();
};

void TestRuns::startCountdownAndEnd()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    SolarRow *row = console.row(1);
    console.MenuItemSolarClick(1);
    QCOMPARE(desk.m_dialogs.m_startedUnits, QList<int>({1}));
    QCOMPARE(desk.m_desk.portRegister(), quint8(0x01));
    QCOMPARE(row->EditSolarOdd()->text(), QString("01:30"));
    QCOMPARE(row->EditSolarMin()->text(), QString("01"));
    QCOMPARE(row->BitBtnSolar()->text(), QString("Stop [F1]"));
    QCOMPARE(console.MenuItemSolar(1)->text(), QString("Solárko 1 [Stop]"));
    QVERIFY(row->ImageSolar()->isVisibleTo(row));
    QVERIFY(!console.findChild<QAction *>("MenuItemSetupSolar")->isEnabled());

    desk.countDown(1, 1);
    QCOMPARE(row->EditSolarOdd()->text(), QString("01:29"));
    desk.countDown(1, 88);
    QVERIFY(desk.m_dialogs.m_stops.isEmpty());
    desk.countDown(1, 1);
    QCOMPARE(desk.m_dialogs.m_stops.size(), 1);
    const StopFigures figures = desk.m_dialogs.m_stops.first();
    QVERIFY(!figures.stoppedEarly); // "Pokračovat" disabled
    QCOMPARE(figures.usedSeconds, 90);
    QCOMPARE(desk.m_desk.portRegister(), quint8(0));
    QVERIFY(!console.isCounting(1));
    QCOMPARE(row->BitBtnSolar()->text(), QString("Start [F1]"));
    QCOMPARE(console.MenuItemSolar(1)->text(), QString("Solárko 1 [Start]"));
    QCOMPARE(row->EditSolarOdd()->text(), QString("00:00")); // the row reset after "Zavřít"
    QVERIFY(console.findChild<QAction *>("MenuItemSetupSolar")->isEnabled());
    QCOMPARE(desk.receiptCount(), 1);
}

void TestRuns::unitChangesOnlyItsBit()
{
    ConsoleFixture desk;
    desk.m_desk.setPortRegister(0x81); // units 1 and 8 are on already
    desk.console().MenuItemSolarClick(3);
    QCOMPARE(desk.m_desk.portRegister(), quint8(0x85));
    desk.console().MenuItemSolarClick(3);
    QCOMPARE(desk.m_desk.portRegister(), quint8(0x81));
    desk.m_desk.setPortRegister(0);
}

void TestRuns::stopContinueStopAgain()
{
    ConsoleFixture desk;
    TFormVelmora &console = desk.console();
    console.MenuItemSolarClick(1);
    desk.countDown(1, 10);
    quint8 registerWhileOpen = 0xff;
    desk.m_dialogs.m_whileStopOpen = [&](const StopFigures &) {
        registerWhileOpen = desk.m_desk.portRegister();
    };
    desk.m_dialogs.m_stopAnswers = {StopAnswer::Continue};
    console.MenuItemSolarClick(1);
    QCOMPARE(registerWhileOpen, quint8(0)); // off while the dialog is open
    QVERIFY(desk.m_dialogs.m_stops.first().stoppedEarly);
    QCOMPARE(desk.m_desk.portRegister(), quint8(0x01));
    QVERIFY(console.isCounting(1));
    QCOMPARE(console.remainingSeconds(1), 80);
    QCOMPARE(desk.receiptCount(), 0);

    desk.countDown(1, 1);
    QCOMPARE(console.row(1)->EditSolarOdd()->text(), QString("01:19"));
    console.MenuItemSolarClick(1);
    QCOMPARE(desk.m_dialogs.m_stops.last().usedSeconds, 11);
    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(desk.m_desk.portRegister(), quint8(0));
}

void TestRuns::ninetyNineSeconds()
{
    ConsoleFixture desk;
    desk.m_dialogs.m_start = StartInput{"00", "99", "0"};
    desk.console().MenuItemSolarClick(2);
    QCOMPARE(desk.console().row(2)->EditSolarOdd()->text(), QString("00:99"));
    desk.countDown(2, 1);
    QCOMPARE(desk.console().row(2)->EditSolarOdd()->text(), QString("01:38"));
    desk.console().MenuItemSolarClick(2);
}

void TestRuns::directInputStartsFromTheRow_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<bool>("starts");
    QTest::newRow("one and a half minutes") << "01"
                                            << "30" << true;
    QTest::newRow("zero") << "00"
                          << "00" << false;
    QTest::newRow("one digit") << "5"
                               << "00" << false;
}

void TestRuns::directInputStartsFromTheRow()
{
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    QFETCH(bool, starts);
    ConsoleFixture desk({}, {}, false);
    desk.m_settings.m_useDialogs = false;
    desk.show();
    SolarRow *row = desk.console().row(5);
    row->EditSolarMin()->setText(minutes);
    row->EditSolarSec()->setText(seconds);
    desk.console().MenuItemSolarClick(5);
    QVERIFY(desk.m_dialogs.m_startedUnits.isEmpty()); // no dialog in direct input
    QCOMPARE(desk.m_desk.portRegister(), quint8(starts ? 0x10 : 0));
    if (!starts)
        return;
    QCOMPARE(row->EditSolarOdd()->text(), QString("01:30"));
    QVERIFY(!row->EditSolarMin()->isEnabled());
    QVERIFY(row->BitBtnSolar()->isEnabled()); // it stops the run now
    desk.console().MenuItemSolarClick(5);
    QCOMPARE(row->EditSolarMin()->text(), QString("00"));
    QVERIFY(row->EditSolarMin()->isEnabled());
    QCOMPARE(desk.receiptCount(), 1);
}

void TestRuns::printedReceiptOpensThePreview()
{
    ConsoleFixture desk; // "Manuální tisk dokladů" by default
    TFormVelmora &console = desk.console();
    console.MenuItemSolarClick(1);
    desk.countDown(1, 30);
    desk.m_dialogs.m_stopAnswers = {StopAnswer::Print};
    QString previewed;
    QStringList texts;
    bool consoleEnabled = true;
    QTimer::singleShot(0, [&] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *preview = qobject_cast<TFormPreview *>(window)) {
                previewed = preview->windowTitle();
                for (const PageItem &item : preview->store().pages.value(0).items) {
                    if (const auto *text = std::get_if<TextItem>(&item))
                        texts << text->text;
                }
                consoleEnabled = console.isEnabled();
                preview->close();
            }
        }
    });
    console.MenuItemSolarClick(1); // returns once the preview is closed
    QCOMPARE(desk.receiptCount(), 1);
    QCOMPARE(previewed, QString("000000001"));
    QVERIFY(texts.contains("00:30") && texts.contains("5,00")); // the run's time and price
    QVERIFY(!consoleEnabled);
    QVERIFY(console.isEnabled());
}

QTEST_MAIN(TestRuns)
#include "tst_runs.moc"
