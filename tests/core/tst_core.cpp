#include "core/cp1250.h"
#include "core/czechformat.h"
#include "core/ownerfiles.h"
#include "core/paths.h"
#include "core/pricing.h"
#include "core/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestCore : public QObject
{
    Q_OBJECT

private slots:
    void joinPath_data();
    void joinPath();
    void writableFileName_data();
    void writableFileName();
    void roundPrice_data();
    void roundPrice();
    void taxCoefficient_data();
    void taxCoefficient();
    void pricing_data();
    void pricing();
    void formats_data();
    void formats();
    void parseAmount_data();
    void parseAmount();
    void cp1250RoundTrip();
    void cp1250RefusesForeignCharacters();
    void cp1250EveryByteRoundTrips();
    void linesRoundTripWithCrLf();
    void linesReadLfAndMissingLastEnd();
    void atomicWriteReplacesAndLeavesNoTemporaryFile();
    void atomicWriteRefusesReadOnlyFile();
    void atomicWriteAccess_data();
    void atomicWriteAccess();
    void unencodableLineLeavesFileUntouched();
    void ownFolder_data();
    void ownFolder();
    void newFilesAreTheOwners();
    void interruptedRewritesGo();
};

void TestCore::joinPath_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty directory") << QString() << "x.txt" << QString();
    QTest::newRow("no separator") << "/data"
                                  << "x.txt"
                                  << "/data/x.txt";
    QTest::newRow("trailing separator") << "/data/"
                                        << "x.txt"
                                        << "/data/x.txt";
}

void TestCore::joinPath()
{
    QFETCH(QString, directory);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(JoinPath(directory, name), expected);
}

void TestCore::writableFileName_data()
{
    QTest::addColumn<int>("mode"); // of the current folder
    QTest::addColumn<bool>("inDataFolder");
    QTest::newRow("writable folder") << 0700 << false;
    QTest::newRow("folder marked read-only") << 0500 << true;
}

void TestCore::writableFileName()
{
    QFETCH(int, mode);
    QFETCH(bool, inDataFolder);
    QTemporaryDir dir;
    const QString work = dir.filePath("work");
    QVERIFY(QDir().mkdir(work));
    QCOMPARE(::chmod(QFile::encodeName(work).constData(), mode_t(mode)), 0);
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work));
    const QString name = ::writableFileName("Velmora.log");
    QVERIFY(QDir::setCurrent(previous));
    ::chmod(QFile::encodeName(work).constData(), 0700);
    qunsetenv("XDG_DATA_HOME");
    QCOMPARE(name, inDataFolder ? dir.filePath("data/velmora/Velmora.log") : "Velmora.log");
    QCOMPARE(QFileInfo(dir.filePath("data/velmora")).isDir(), inDataFolder);
}

void TestCore::roundPrice_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("expected");
    QTest::newRow("half stays") << 12.5 << 12.5;
    QTest::newRow("down") << 12.4 << 12.0;
    QTest::newRow("up") << 12.6 << 13.0;
    QTest::newRow("three quarters") << 12.75 << 13.0;
    QTest::newRow("negative half stays") << -12.5 << -12.5;
    QTest::newRow("negative") << -12.6 << -13.0;
    QTest::newRow("zero") << 0.0 << 0.0;
}

void TestCore::roundPrice()
{
    QFETCH(double, amount);
    QFETCH(double, expected);
    QCOMPARE(RoundPrice(amount), expected);
}

void TestCore::taxCoefficient_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<double>("expected");
    QTest::newRow("0") << 0 << 0.0;
    QTest::newRow("5") << 5 << 0.0476;
    QTest::newRow("19") << 19 << 0.1596;
    QTest::newRow("22") << 22 << 0.1803;
    QTest::newRow("25 truncates below 0.2") << 25 << 0.1999;
}

void TestCore::taxCoefficient()
{
    QFETCH(int, rate);
    QFETCH(double, expected);
    QCOMPARE(TaxCoefficient(rate), expected);
}

void TestCore::pricing_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<int>("discount");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<double>("minutePrice");
    QTest::addColumn<double>("stopTotal");
    QTest::addColumn<double>("receiptTotal");
    // The stop dialog rounds the minute price first, the receipt's calculated total does not.
    QTest::newRow("15 % for 90 s") << 10.0 << 15 << 90 << 8.5 << 13.0 << 13.0;
    QTest::newRow("15 % for 60 s") << 10.0 << 15 << 60 << 8.5 << 8.5 << 8.5;
    QTest::newRow("half cent rounds away") << 8.9 << 25 << 60 << 6.68 << 7.0 << 7.0;
    QTest::newRow("differs from receipt") << 1.0 << 33 << 1800 << 0.67 << 20.0 << 20.0;
    QTest::newRow("no discount 10 min") << 12.0 << 0 << 600 << 12.0 << 120.0 << 120.0;
}

void TestCore::pricing()
{
    QFETCH(double, price);
    QFETCH(int, discount);
    QFETCH(int, seconds);
    QFETCH(double, minutePrice);
    QFETCH(double, stopTotal);
    QFETCH(double, receiptTotal);
    const double q = discountedMinutePrice(price, discount);
    QCOMPARE(q, minutePrice);
    QCOMPARE(stopPriceTotal(q, seconds), stopTotal);
    QCOMPARE(receiptPriceTotal(seconds, price, discount), receiptTotal);
}

void TestCore::formats_data()
{
    const QString nbsp(QChar(0x00A0));
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short date") << CzechFormat::shortDate(QDate(2026, 12, 9)) << "9.12.2026";
    QTest::newRow("long time") << CzechFormat::longTime(QTime(9, 5, 0)) << "9:05:00";
    QTest::newRow("date time") << CzechFormat::dateTime(
                                      QDateTime(QDate(2026, 1, 2), QTime(23, 59, 7)))
                               << "2.1.2026 23:59:07";
    QTest::newRow("amount") << CzechFormat::amount(1234.5) << "1" + nbsp + "234,50";
    QTest::newRow("amount millions")
        << CzechFormat::amount(-1234567.891) << "-1" + nbsp + "234" + nbsp + "567,89";
    QTest::newRow("amount small") << CzechFormat::amount(1.5) << "1,50";
    QTest::newRow("hours") << CzechFormat::amount(5400 / 3600.0) << "1,50";
    QTest::newRow("money") << CzechFormat::money(1234.5) << "1" + nbsp + "234,50 Kč";
    QTest::newRow("money negative zero") << CzechFormat::money(-0.001) << "0,00 Kč";
    QTest::newRow("money padded") << CzechFormat::moneyPadded(10, 10) << "  10,00 Kč";
    QTest::newRow("money padded wide")
        << CzechFormat::moneyPadded(12345.6, 10) << "12" + nbsp + "345,60 Kč";
    QTest::newRow("fixed2") << CzechFormat::fixed2(350.025) << "350,03";
    QTest::newRow("fixed2 no grouping") << CzechFormat::fixed2(4321.0) << "4321,00";
    QTest::newRow("receipt number") << CzechFormat::receiptNumber(42) << "000000042";
    QTest::newRow("period") << CzechFormat::period(754) << "12:34";
    QTest::newRow("period 125") << CzechFormat::period(125) << "02:05";
    QTest::newRow("typed seconds") << CzechFormat::minutesSeconds(0, 99) << "00:99";
}

void TestCore::formats()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TestCore::parseAmount_data()
{
    const QString nbsp(QChar(0x00A0));
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("display") << "1" + nbsp + "234,50" << true << 1234.5;
    QTest::newRow("money") << "12,00 Kč" << true << 12.0;
    QTest::newRow("point") << "1234.5" << true << 1234.5;
    QTest::newRow("negative") << "-300" << true << -300.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
}

void TestCore::parseAmount()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    double parsed = 0;
    QCOMPARE(CzechFormat::parseAmount(text, &parsed), ok);
    QCOMPARE(parsed, value);
}

void TestCore::cp1250RoundTrip()
{
    const QString czech =
        QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy – „ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ“ € 1 234,50");
    QByteArray bytes;
    QVERIFY(Cp1250::encode(czech, &bytes));
    QCOMPARE(bytes.size(), czech.size());
    QCOMPARE(bytes.at(czech.indexOf(QStringLiteral("€"))), char(0x80));
    QCOMPARE(Cp1250::decode(bytes), czech);
}

void TestCore::cp1250RefusesForeignCharacters()
{
    QByteArray bytes;
    QVERIFY(!Cp1250::encode(QStringLiteral("Solárko ☀"), &bytes));
    QVERIFY(!Cp1250::canEncode(QStringLiteral("日本")));
    QVERIFY(Cp1250::canEncode(QStringLiteral("Uživatel")));
}

void TestCore::cp1250EveryByteRoundTrips()
{
    // One stray byte in a journal or log must not make the next rewrite of that file fail.
    QByteArray bytes;
    for (int byte = 1; byte < 256; ++byte)
        bytes.append(char(byte));
    const QString text = Cp1250::decode(bytes);
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QCOMPARE(text.at(0x81 - 1), QChar(0x0081));
    QByteArray again;
    QVERIFY(Cp1250::encode(text, &again));
    QCOMPARE(again, bytes);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.log"));
    QVERIFY(writeFileAtomically(path, "9.12.2026 9:05:00 Start \x81\x83\x88\x90\x98\r\n").ok());
    QStringList lines;
    QVERIFY(Cp1250Lines::read(path, &lines).ok());
    lines.append(QStringLiteral("další řádek"));
    QVERIFY(Cp1250Lines::write(path, lines).ok());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("9.12.2026 9:05:00 Start \x81\x83\x88\x90\x98\r\n"));
}

void TestCore::linesRoundTripWithCrLf()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SalesSolars.txt"));
    const QStringList lines = {
        QStringLiteral("9.12.2026  9:05:00  3   10,00 Kč  15 %   600 s  Šárka"), QString(),
        QStringLiteral("konec")};
    QVERIFY(Cp1250Lines::write(path, lines).ok());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    QVERIFY(raw.endsWith("konec\r\n"));
    QVERIFY(raw.contains("\r\n\r\n"));
    QVERIFY(raw.contains(char(0x8A))); // Š in Windows-1250
    QStringList read;
    QVERIFY(Cp1250Lines::read(path, &read).ok());
    QCOMPARE(read, lines);
}

void TestCore::linesReadLfAndMissingLastEnd()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("one\ntwo\r\nthree");
    file.close();
    QStringList read;
    QVERIFY(Cp1250Lines::read(path, &read).ok());
    QCOMPARE(read, QStringList({"one", "two", "three"}));
    QVERIFY(!Cp1250Lines::read(dir.filePath(QStringLiteral("missing.txt")), &read).ok());
}

void TestCore::atomicWriteReplacesAndLeavesNoTemporaryFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.log"));
    QVERIFY(writeFileAtomically(path, "first").ok());
    QVERIFY(writeFileAtomically(path, "second").ok());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("second"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"Velmora.log"}));
}

void TestCore::atomicWriteRefusesReadOnlyFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.log"));
    QVERIFY(writeFileAtomically(path, "kept").ok());
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    const FileResult result = writeFileAtomically(path, "lost");
    QVERIFY(!result.ok());
    QCOMPARE(result.errorCode, EACCES);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("kept"));
}

void TestCore::atomicWriteAccess_data()
{
    QTest::addColumn<bool>("ownerOnly");
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("before"); // mode of the file replaced, 0 for none
    QTest::addColumn<int>("after");
    QTest::newRow("new file, open umask") << false << 0 << 0 << 0600;
    QTest::newRow("replaced keeps the mode") << false << 022 << 0640 << 0640;
    QTest::newRow("secret, open umask") << true << 0 << 0 << 0600;
    QTest::newRow("secret replaces 0644") << true << 022 << 0644 << 0600;
}

void TestCore::atomicWriteAccess()
{
    QFETCH(bool, ownerOnly);
    QFETCH(int, umask);
    QFETCH(int, before);
    QFETCH(int, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.usr"));
    if (before != 0) {
        QVERIFY(writeFileAtomically(path, "old").ok());
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(before)), 0);
    }
    const mode_t previous = ::umask(mode_t(umask));
    const FileResult result =
        writeFileAtomically(path, "new", ownerOnly ? FileAccess::OwnerOnly : FileAccess::KeepMode);
    ::umask(previous);
    QVERIFY(result.ok());
    struct stat written = {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &written), 0);
    QCOMPARE(int(written.st_mode & 07777), after);
}

void TestCore::unencodableLineLeavesFileUntouched()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.txt"));
    QVERIFY(Cp1250Lines::write(path, {QStringLiteral("old")}).ok());
    const FileResult result = Cp1250Lines::write(path, {QStringLiteral("new ☀")});
    QVERIFY(!result.ok());
    QVERIFY(result.message.contains(QStringLiteral("Windows-1250")));
    QStringList read;
    QVERIFY(Cp1250Lines::read(path, &read).ok());
    QCOMPARE(read, QStringList({"old"}));
}

void TestCore::ownFolder_data()
{
    QTest::addColumn<QString>("made"); // how the folder is there before: "" for not at all
    QTest::addColumn<QString>("problem");
    QTest::newRow("missing: made") << ""
                                   << "";
    QTest::newRow("ours") << "0700"
                          << "";
    QTest::newRow("others may write") << "0777"
                                      << "mohou zapisovat i jiní";
    QTest::newRow("a link") << "link"
                            << "není adresář";
    if (::getuid() == 0) // only root can give a folder to another account here
        QTest::newRow("another account's") << "nobody"
                                           << "patří jinému uživateli";
}

void TestCore::ownFolder()
{
    QFETCH(QString, made);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("velmora-1000"));
    const QByteArray name = QFile::encodeName(folder);
    if (made == QLatin1String("link")) {
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("elsewhere"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("elsewhere")), folder));
    } else if (!made.isEmpty()) {
        QCOMPARE(::mkdir(name.constData(), 0700), 0);
        if (made == QLatin1String("nobody"))
            QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
        else
            QCOMPARE(::chmod(name.constData(), mode_t(made.toInt(nullptr, 8))), 0);
    }
    QString found;
    QCOMPARE(claimOwnFolder(folder, &found), problem.isEmpty());
    QVERIFY2(found.contains(problem), qPrintable(found));
    if (problem.isEmpty()) {
        struct stat status = {};
        QCOMPARE(::stat(name.constData(), &status), 0);
        QCOMPARE(int(status.st_mode & 07777), 0700);
    }
}

void TestCore::newFilesAreTheOwners()
{
    const mode_t previous = ::umask(022);
    keepNewFilesToOwner();
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("zálohy/Po"));
    QVERIFY(QDir().mkpath(folder));
    QFile file(JoinPath(folder, QStringLiteral("Money.DB")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    ::umask(previous);
    struct stat status = {};
    QCOMPARE(::stat(QFile::encodeName(folder).constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 07777), 0700);
    QCOMPARE(::stat(QFile::encodeName(file.fileName()).constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 07777), 0600);
}

void TestCore::interruptedRewritesGo()
{
    QTemporaryDir dir;
    const QStringList names = {QStringLiteral("Velmora.log"), QStringLiteral(".Velmora.log.a1B2c3"),
                               QStringLiteral(".Velmora.log.a1B2c3d"),
                               QStringLiteral(".Velmora.ini.a1B2c3"), QStringLiteral(".other")};
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    removeInterruptedRewrites(dir.filePath(QStringLiteral("Velmora.log")));
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QCOMPARE(left, QStringList({QStringLiteral(".Velmora.ini.a1B2c3"),
                                QStringLiteral(".Velmora.log.a1B2c3d"), QStringLiteral(".other"),
                                QStringLiteral("Velmora.log")}));
}

QTEST_GUILESS_MAIN(TestCore)

#include "tst_core.moc"
