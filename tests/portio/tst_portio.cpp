#include "core/engineconfig.h"
#include "fakes/recordingportbackend.h"
#include "portio/parportlookup.h"
#include "portio/portaccess.h"
#include "portio/portaddress.h"
#include "portio/portbackendchoice.h"
#include "portio/portrequest.h"
#include "portio/ppdevbackend.h"
#include "portio/simulatorbackend.h"
#include "portio/simulatorfiles.h"
#include "portio/unitswitch.h"
#include "portio/watchdogwire.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestPortIo : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void portAddress_data();
    void portAddress();
    void portAddressFollowsSetting();

    void requestEncoding_data();
    void requestEncoding();
    void malformedRequestsAccessNothing();
    void layerSpeaksTheWireFormat();

    void backendChoice_data();
    void backendChoice();

    void simulatorReadsBack_data();
    void simulatorReadsBack();
    void simulatorCreatesRegisterWithZero();
    void simulatorRefusesUnusableDirectory();
    void uninitialisedLayerHasNoAccess();
    void shutdownSwitchesOffOnlyWrittenRegisters();

    void switchUnit_data();
    void switchUnit();

    void parportLookup_data();
    void parportLookup();
    void ppdevRefuses_data();
    void ppdevRefuses();

    void watchdogOrders_data();
    void watchdogOrders();

private:
    std::optional<QTemporaryDir> m_dir;
};

void TestPortIo::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    qputenv("VELMORA_PORT_SIM_DIR", m_dir->filePath("sim").toLocal8Bit());
    qputenv("VELMORA_CONFIG_DIR", m_dir->filePath("config").toLocal8Bit());
    qunsetenv("VELMORA_PORT_BACKEND");
}

void TestPortIo::cleanup()
{
    shutdownPortAccess();
    setPortTextSource({});
    m_dir.reset();
}

void TestPortIo::portAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<quint32>("address");
    QTest::newRow("default") << "0378" << true << 888u;
    QTest::newRow("third port") << "03BC" << true << 956u;
    QTest::newRow("lower case") << "278" << true << 0x278u;
    QTest::newRow("empty") << "" << false << 888u;
    QTest::newRow("not hexadecimal") << "XYZ" << false << 888u;
    QTest::newRow("prefix") << "0x378" << false << 888u;
    QTest::newRow("blank inside") << "03 8" << false << 888u;
    QTest::newRow("too long") << "123456789" << false << 888u;
}

void TestPortIo::portAddress()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(quint32, address);
    QCOMPARE(parsePortText(text).has_value(), valid);
    QCOMPARE(portAddressFromText(text), address);
    if (valid)
        QCOMPARE(portTextFromAddress(address), text.toUpper().rightJustified(4, '0'));
}

void TestPortIo::portAddressFollowsSetting()
{
    QCOMPARE(PortAddress(), 888u);
    QString setting = "03BC";
    setPortTextSource([&setting] { return setting; });
    QCOMPARE(PortAddress(), 956u);
    setting = "";
    QCOMPARE(PortAddress(), 888u);
}

void TestPortIo::requestEncoding_data()
{
    QTest::addColumn<quint32>("port");
    QTest::addColumn<quint32>("width");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("byte write") << 0x378u << 0u << 0xA5u
                                << QByteArray::fromHex("78030000"
                                                       "00000000"
                                                       "a5000000");
    QTest::newRow("32-bit value") << 0x3BCu << 2u << 0x11223344u
                                  << QByteArray::fromHex("bc030000"
                                                         "02000000"
                                                         "44332211");
}

void TestPortIo::requestEncoding()
{
    QFETCH(quint32, port);
    QFETCH(quint32, width);
    QFETCH(quint32, value);
    QFETCH(QByteArray, bytes);
    const PortWire::PortRequest request{port, width, value};
    QCOMPARE(PortWire::encodeRequest(request), bytes);
    QCOMPARE(PortWire::decodeRequest(bytes), request);
    QCOMPARE(PortWire::encodeAnswer(value).size(), PortWire::AnswerSize);
    QCOMPARE(PortWire::decodeAnswer(PortWire::encodeAnswer(value)), value);
}

void TestPortIo::malformedRequestsAccessNothing()
{
    RecordingPortBackend backend;
    const QByteArray request = PortWire::encodeRequest({0x378, 0, 1});
    QByteArray output("untouched");
    QVERIFY(!backend.deviceControl(PortWire::ReadCode, request.left(11), &output));
    QVERIFY(!backend.deviceControl(PortWire::WriteCode, request + '\0', &output));
    QVERIFY(!backend.deviceControl(0x80FF000C, request, &output));
    QCOMPARE(output, QByteArray("untouched"));
    QVERIFY(backend.m_reads.isEmpty());
    QVERIFY(backend.m_writes.isEmpty());
}

void TestPortIo::layerSpeaksTheWireFormat()
{
    auto owned = std::make_unique<RecordingPortBackend>();
    RecordingPortBackend *backend = owned.get();
    initializePortAccess(std::move(owned));
    QVERIFY(DriverStarted());
    QCOMPARE(ReadPort(0x378, 2), RecordingPortBackend::Answer);
    WritePort(0x3BC, 1, 0xBEEF);
    QCOMPARE(backend->m_reads, (QList<PortWire::PortRequest>{{0x378, 2, 0}}));
    QCOMPARE(backend->m_writes, (QList<PortWire::PortRequest>{{0x3BC, 1, 0xBEEF}}));
}

void TestPortIo::backendChoice_data()
{
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<PortBackendKind>("expected");
    QTest::addColumn<bool>("unknownName");
    using enum PortBackendKind;
    QTest::newRow("nothing chosen") << ""
                                    << "" << Ppdev << false;
    QTest::newRow("configured simulator") << "simulator"
                                          << "" << Simulator << false;
    QTest::newRow("configured direct") << "direct"
                                       << "" << Direct << false;
    QTest::newRow("configured ppdev") << "ppdev"
                                      << "" << Ppdev << false;
    QTest::newRow("environment wins") << "simulator"
                                      << "direct" << Direct << false;
    QTest::newRow("environment only") << ""
                                      << " Simulator " << Simulator << false;
    QTest::newRow("unknown configured") << "parallel"
                                        << "" << Ppdev << true;
    QTest::newRow("unknown environment") << "simulator"
                                         << "sim" << Ppdev << true;
}

void TestPortIo::backendChoice()
{
    QFETCH(QString, configured);
    QFETCH(QString, environment);
    QFETCH(PortBackendKind, expected);
    QFETCH(bool, unknownName);
    if (!configured.isEmpty()) {
        QString error;
        QVERIFY2(EngineConfig::setPortBackend(configured, &error), qPrintable(error));
    }
    if (!environment.isEmpty())
        qputenv("VELMORA_PORT_BACKEND", environment.toUtf8());
    if (unknownName)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("neznámý způsob přístupu"));
    QCOMPARE(chosenPortBackend(), expected);
}

void TestPortIo::simulatorReadsBack_data()
{
    QTest::addColumn<quint32>("port");
    QTest::addColumn<quint32>("width");
    QTest::addColumn<quint32>("expected");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("0378") << 0x378u << 0u << 0xA5u << "port-0378";
    QTest::newRow("0278") << 0x278u << 0u << 0xA5u << "port-0278";
    QTest::newRow("03BC") << 0x3BCu << 0u << 0xA5u << "port-03BC";
    QTest::newRow("foreign address") << 0x123u << 0u << 255u << "";
    QTest::newRow("16-bit access") << 0x378u << 1u << 0u << "";
}

void TestPortIo::simulatorReadsBack()
{
    QFETCH(quint32, port);
    QFETCH(quint32, width);
    QFETCH(quint32, expected);
    QFETCH(QString, fileName);
    initializePortAccess(std::make_unique<SimulatorBackend>());
    WritePort(port, width, 0x1A5); // only the low byte reaches an 8-bit register
    QCOMPARE(ReadPort(port, width), expected);
    const QDir simulator(simulatorDirectory());
    if (fileName.isEmpty()) {
        QVERIFY(simulator.entryList(QDir::Files).isEmpty());
        return;
    }
    // Another process sees the register through its file.
    QCOMPARE(simulator.entryList(QDir::Files), QStringList{fileName});
    QCOMPARE(fileContent(simulator.filePath(fileName)), QByteArray("\xA5"));
    QCOMPARE(readSimulatedRegister(port), std::optional<quint8>(0xA5));
}

void TestPortIo::simulatorCreatesRegisterWithZero()
{
    QCOMPARE(readSimulatedRegister(0x378), std::nullopt);
    initializePortAccess(std::make_unique<SimulatorBackend>());
    QVERIFY(DriverStarted());
    QCOMPARE(fileContent(simulatorFilePath(0x378)), QByteArray(1, '\0'));

    // A register written by someone else is read, not reset.
    writeFile(simulatorFilePath(0x278), "\x07");
    setPortTextSource([] { return QString("0278"); });
    QVERIFY(DriverStarted());
    QCOMPARE(ReadPort(PortAddress(), 0), 7u);
}

void TestPortIo::simulatorRefusesUnusableDirectory()
{
    const QString blocker = m_dir->filePath("plain-file");
    writeFile(blocker, "x");
    qputenv("VELMORA_PORT_SIM_DIR", (blocker + "/sim").toLocal8Bit());
    initializePortAccess(std::make_unique<SimulatorBackend>());
    QVERIFY(!DriverStarted());
    QCOMPARE(ReadPort(0x378, 0), 255u);
}

void TestPortIo::uninitialisedLayerHasNoAccess()
{
    QVERIFY(!DriverStarted());
    QCOMPARE(ReadPort(0x378, 0), 255u);
    WritePort(0x378, 0, 1);
    QCOMPARE(readSimulatedRegister(0x378), std::nullopt);
}

void TestPortIo::shutdownSwitchesOffOnlyWrittenRegisters()
{
    writeFile(simulatorFilePath(0x278), "\x07"); // another program's register
    initializePortAccess(std::make_unique<SimulatorBackend>());
    WritePort(0x378, 0, 0x05);
    QCOMPARE(ReadPort(0x278, 0), 7u);
    shutdownPortAccess();
    QCOMPARE(readSimulatedRegister(0x378), std::optional<quint8>(0));
    QCOMPARE(readSimulatedRegister(0x278), std::optional<quint8>(7));
}

void TestPortIo::switchUnit_data()
{
    QTest::addColumn<quint32>("before");
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("on");
    QTest::addColumn<quint32>("after");
    QTest::newRow("unit 3 on beside others") << 0x81u << 3 << true << 0x85u;
    QTest::newRow("unit 3 off beside others") << 0x85u << 3 << false << 0x81u;
    QTest::newRow("unit 1 on, empty register") << 0x00u << 1 << true << 0x01u;
    QTest::newRow("unit 8 on") << 0x7Fu << 8 << true << 0xFFu;
    QTest::newRow("unit 8 off") << 0xFFu << 8 << false << 0x7Fu;
    QTest::newRow("on when already on") << 0x04u << 3 << true << 0x04u;
    QTest::newRow("off when already off stays off") << 0x81u << 3 << false << 0x81u;
}

void TestPortIo::switchUnit()
{
    QFETCH(quint32, before);
    QFETCH(int, unit);
    QFETCH(bool, on);
    QFETCH(quint32, after);
    setPortTextSource([] { return QString("03BC"); });
    initializePortAccess(std::make_unique<SimulatorBackend>());
    WritePort(0x3BC, 0, before);
    QCOMPARE(on ? switchUnitOn(unit) : switchUnitOff(unit), after);
    QCOMPARE(readSimulatedRegister(0x3BC), std::optional<quint8>(after));
}

void TestPortIo::parportLookup_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<int>("expected"); // -1: none
    QTest::newRow("first port") << 888u << 0;
    QTest::newRow("second port") << 632u << 3;
    QTest::newRow("no such port") << 956u << -1;
    QTest::newRow("extended base is not the base") << 1912u << -1;
}

void TestPortIo::parportLookup()
{
    QFETCH(quint32, address);
    QFETCH(int, expected);
    const QString listing = m_dir->filePath("proc/sys/dev/parport/");
    writeFile(listing + "parport0/base-addr", "888\t1912\n");
    writeFile(listing + "parport3/base-addr", "632\t1656\n");
    writeFile(listing + "parport4/base-addr", "garbage\n");
    writeFile(listing + "default/base-addr", "956\n"); // not a port, despite its address
    const auto found = findParportNumber(address, m_dir->filePath("proc"));
    QCOMPARE(found.value_or(-1), expected);
}

void TestPortIo::ppdevRefuses_data()
{
    QTest::addColumn<QString>("baseAddr");
    QTest::addColumn<bool>("deviceExists");
    QTest::newRow("no parport at the address") << "632\t1656\n" << true;
    QTest::newRow("device missing") << "888\t1912\n" << false;
    QTest::newRow("device cannot be claimed") << "888\t1912\n" << true;
}

void TestPortIo::ppdevRefuses()
{
    QFETCH(QString, baseAddr);
    QFETCH(bool, deviceExists);
    writeFile(m_dir->filePath("proc/sys/dev/parport/parport0/base-addr"), baseAddr.toUtf8());
    if (deviceExists)
        writeFile(m_dir->filePath("dev/parport0"), ""); // a plain file refuses the claim
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Port: "));
    initializePortAccess(
        std::make_unique<PpdevBackend>(m_dir->filePath("proc"), m_dir->filePath("dev")));
    QVERIFY(!DriverStarted());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Port: "));
    QCOMPARE(ReadPort(888, 0), 255u);
}

void TestPortIo::watchdogOrders_data()
{
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QList<quint32>>("switchedOff");
    using WatchdogWire::portWord;
    QTest::newRow("desk died") << QByteArrayList({portWord(0x378), portWord(0x278)})
                               << QList<quint32>({0x378, 0x278});
    QTest::newRow("words split across reads, one twice")
        << QByteArrayList({"po", "rt 03", "78\n" + portWord(0x378)}) << QList<quint32>({0x378});
    QTest::newRow("normal end") << QByteArrayList({portWord(0x378) + WatchdogWire::endWord()})
                                << QList<quint32>();
    QTest::newRow("end cut off by the death")
        << QByteArrayList({portWord(0x378) + "en"}) << QList<quint32>({0x378});
    QTest::newRow("other lines passed over")
        << QByteArrayList({"hello\nport xyz\nend now\n" + portWord(0x3BC)})
        << QList<quint32>({0x3BC});
}

void TestPortIo::watchdogOrders()
{
    QFETCH(QByteArrayList, pieces);
    QFETCH(QList<quint32>, switchedOff);
    WatchdogWire::Orders orders;
    for (const QByteArray &piece : std::as_const(pieces))
        orders.feed(piece);
    QCOMPARE(orders.registersToSwitchOff(), switchedOff);
}

QTEST_GUILESS_MAIN(TestPortIo)
#include "tst_portio.moc"
