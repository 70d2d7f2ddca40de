#include "data/config/inifile.h"
#include "filebytes.h"
#include "ui/config/placementstore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

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

    void placementWrittenAtTheEndOnlyAfterRead();
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

void TestWindowStores::placementWrittenAtTheEndOnlyAfterRead()
{
    std::make_unique<ConsoleWindow>(m_file).reset();
    QVERIFY(!QFile::exists(m_file));
    auto console = std::make_unique<ConsoleWindow>(m_file);
    QVERIFY(console->placement.read());
    QVERIFY(!QFile::exists(m_file));
    console.reset();
    QCOMPARE(readBytes(m_file),
             crlf("[Velmora]\nFormVersion=0\nFlags=0\nShowCmd=1\nPixelsPerInch=96\n"
                  "MinMaxPos(1024x768)=-1,-1,-1,-1\nMinMaxPos=-1,-1,-1,-1\n"
                  "NormPos(1024x768)=10,20,310,220\nNormPos=10,20,310,220\nVisible=1\n"));
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
