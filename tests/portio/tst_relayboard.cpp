#include "portio/simulatorfiles.h"
#include "relayboard/relayboardwindow.h"
#include "relayboard/relaylamp.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

void setRegister(quint32 port, quint8 value)
{
    QDir().mkpath(simulatorDirectory());
    QFile file(simulatorFilePath(port));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.putChar(char(value));
}

RelayLamp *lamp(const RelayBoardWindow &window, int unit)
{
    return window.findChild<RelayLamp *>(QStringLiteral("LampSolar%1").arg(unit));
}

QString text(const RelayBoardWindow &window, const QString &name)
{
    return window.findChild<QLabel *>(name)->text();
}

} // namespace

class TestRelayBoard : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void lampsShowTheRegister_data();
    void lampsShowTheRegister();
    void followsChanges();
    void portWithoutRegister_data();
    void portWithoutRegister();
    void litLampsAreDrawnLit();

private:
    std::optional<QTemporaryDir> m_dir;
};

void TestRelayBoard::init()
{
    m_dir.emplace();
    qputenv("VELMORA_PORT_SIM_DIR", m_dir->path().toLocal8Bit());
}

void TestRelayBoard::lampsShowTheRegister_data()
{
    QTest::addColumn<quint32>("port");
    QTest::addColumn<quint8>("value");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("valueText");
    QTest::newRow("nothing on") << 0x378u << quint8(0) << " Reléová deska – port 0378"
                                << "Hodnota registru: 0x00";
    QTest::newRow("units 1, 3 and 8") << 0x378u << quint8(0x85) << " Reléová deska – port 0378"
                                      << "Hodnota registru: 0x85";
    QTest::newRow("third port, all on") << 0x3BCu << quint8(0xFF) << " Reléová deska – port 03BC"
                                        << "Hodnota registru: 0xFF";
}

void TestRelayBoard::lampsShowTheRegister()
{
    QFETCH(quint32, port);
    QFETCH(quint8, value);
    QFETCH(QString, caption);
    QFETCH(QString, valueText);
    setRegister(port, value);
    const RelayBoardWindow window(port);
    QCOMPARE(window.windowTitle(), caption);
    QCOMPARE(text(window, "LabelValue"), valueText);
    for (int unit = 1; unit <= RelayBoardWindow::UnitCount; ++unit) {
        const bool on = value & (1 << (unit - 1));
        QCOMPARE(lamp(window, unit)->isOn(), on);
        QCOMPARE(text(window, QStringLiteral("LabelSolarState%1").arg(unit)),
                 on ? "zapnuto" : "vypnuto");
    }
}

void TestRelayBoard::followsChanges()
{
    setRegister(0x378, 0);
    const RelayBoardWindow window(0x378);
    QVERIFY(!lamp(window, 2)->isOn());
    setRegister(0x378, 0x02);
    QTRY_VERIFY(lamp(window, 2)->isOn()); // picked up by the polling alone
    QCOMPARE(text(window, "LabelValue"), "Hodnota registru: 0x02");
}

void TestRelayBoard::portWithoutRegister_data()
{
    QTest::addColumn<quint32>("port");
    QTest::addColumn<QString>("status");
    QTest::newRow("never used") << 0x278u << "Port zatím nebyl použit";
    QTest::newRow("no such port on the board")
        << 0x123u << "Simulovaná deska nemá na adrese 0123 žádný port.";
}

void TestRelayBoard::portWithoutRegister()
{
    QFETCH(quint32, port);
    QFETCH(QString, status);
    const RelayBoardWindow window(port);
    QCOMPARE(text(window, "LabelValue"), "Hodnota registru: –");
    QVERIFY2(text(window, "LabelStatus").startsWith(status),
             qPrintable(text(window, "LabelStatus")));
    QVERIFY(!lamp(window, 1)->isOn());
}

void TestRelayBoard::litLampsAreDrawnLit()
{
    setRegister(0x378, 0x01);
    RelayBoardWindow window(0x378);
    window.show();
    const QImage picture = window.grab().toImage();
    const auto centreOf = [&](int unit) {
        const RelayLamp *shown = lamp(window, unit);
        return picture.pixelColor(shown->mapTo(&window, shown->rect().center()));
    };
    QVERIFY2(centreOf(1).red() > 200 && centreOf(1).green() > 200, qPrintable(centreOf(1).name()));
    QVERIFY2(centreOf(2).red() < 128 && centreOf(2).green() < 128, qPrintable(centreOf(2).name()));
}

QTEST_MAIN(TestRelayBoard)
#include "tst_relayboard.moc"
