#include "core/cp1250.h"
#include "data/config/inifile.h"
#include "filebytes.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestConfig : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void quoteRule_data();
    void quoteRule();
    void readValue_data();
    void readValue();
    void lookupIgnoresCaseAndFirstWins();
    void rewriteKeepsUnchangedLinesByteForByte();
    void unstorableTextFailsAndKeepsFile_data();
    void unstorableTextFailsAndKeepsFile();
    void missingFileIsEmptyAndSaveCreatesFolder();
    void randomInputNeverBreaksTheFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
};

void TestConfig::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_file = m_dir->filePath("Velmora.ini");
}

void TestConfig::quoteRule_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");
    QTest::newRow("plain") << "0378"
                           << "0378";
    QTest::newRow("czech") << "Žluťoučký kůň"
                           << "Žluťoučký kůň";
    QTest::newRow("double quoted") << "\"Praha\""
                                   << "\"\"Praha\"\"";
    QTest::newRow("single quoted") << "'Brno'"
                                   << "\"'Brno'\"";
    QTest::newRow("lone quote") << "\""
                                << "\"\"\"";
    QTest::newRow("unmatched quotes") << "\"a'"
                                      << "\"a'";
    QTest::newRow("quote inside") << "a\"b\""
                                  << "a\"b\"";
    QTest::newRow("surrounding blanks") << "  odsazeno "
                                        << "\"  odsazeno \"";
    QTest::newRow("empty") << ""
                           << "";
}

void TestConfig::quoteRule()
{
    QFETCH(QString, value);
    QFETCH(QString, stored);
    IniFile ini(m_file);
    ini.setValue("Sekce", "Klic", value);
    ConfigError error;
    QVERIFY(ini.save(&error));
    QVERIFY(readBytes(m_file).contains("\r\nKlic=" + cp1250(stored) + "\r\n"));

    IniFile reread(m_file);
    QVERIFY(reread.load(&error));
    QCOMPARE(reread.value("Sekce", "Klic"), value);
}

void TestConfig::readValue_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("value");
    QTest::newRow("blanks") << QByteArray("Klic=  x \t") << "x";
    QTest::newRow("blanks around equals") << QByteArray("  Klic  =  x") << "x";
    QTest::newRow("double quotes") << QByteArray("Klic=\"x\"") << "x";
    QTest::newRow("single quotes") << QByteArray("Klic='x'") << "x";
    QTest::newRow("one pair only") << QByteArray("Klic=\"\"x\"\"") << "\"x\"";
    QTest::newRow("blanks then quotes") << QByteArray("Klic= \" x \" ") << " x ";
    QTest::newRow("unmatched") << QByteArray("Klic=\"x'") << "\"x'";
    QTest::newRow("empty") << QByteArray("Klic=") << "";
    QTest::newRow("cut to 2047") << "Klic=" + QByteArray(3000, 'a') << QString(2047, 'a');
}

void TestConfig::readValue()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, value);
    IniFile ini(m_file);
    ini.parse("[Sekce]\n" + line + "\n");
    QVERIFY(ini.contains("Sekce", "Klic"));
    QCOMPARE(ini.value("Sekce", "Klic", "default"), value);
}

void TestConfig::lookupIgnoresCaseAndFirstWins()
{
    IniFile ini(m_file);
    ini.parse(cp1250("key=before any section\n"
                     "[Velmora]\n; comment\nFlags=0\nflags=1\nnot a key\n"
                     "[Nastavení]\nČíslo=12\n"
                     "[velmora]\nShowCmd=3\n"));
    QCOMPARE(ini.sections(), QStringList({"Velmora", "Nastavení"}));
    QCOMPARE(ini.keys("VELMORA"), QStringList({"Flags", "flags", "ShowCmd"}));
    QCOMPARE(ini.value("VELMORA", "FLAGS"), "0");
    QCOMPARE(ini.value("Velmora", "showcmd"), "3");
    QCOMPARE(ini.intValue("nastavení", "číslo", -1), 12);
    QCOMPARE(ini.intValue("Velmora", "missing", -1), -1);
    QVERIFY(!ini.contains("Velmora", "not a key"));
    QVERIFY(!ini.contains("Velmora", "key"));

    ini.setValue("velmora", "FLAGS", "7");
    QCOMPARE(ini.keys("Velmora"), QStringList({"Flags", "ShowCmd"}));
    QCOMPARE(ini.value("Velmora", "flags"), "7");
    ini.removeSection("NASTAVENÍ");
    QCOMPARE(ini.sections(), QStringList({"Velmora"}));
}

void TestConfig::rewriteKeepsUnchangedLinesByteForByte()
{
    // LF line ends, a comment, spacing and a byte without a character in another section.
    writeBytes(m_file, "; written by hand\n[Other]\nName = Nov\x81k\n\n\n[SetupSolar]\n"
                       "EditPort_Text=0378\nCheckBoxSave_Checked=True\n");
    IniFile ini(m_file);
    ConfigError error;
    QVERIFY(ini.load(&error));
    ini.setValue("SetupSolar", "CheckBoxSave_Checked", "True");
    ini.setValue("SetupSolar", "EditPort_Text", "1F0");
    ini.setValue("Nová", "Klíč", "Hodnota");
    QVERIFY2(ini.save(&error), qPrintable(error.detail));
    QCOMPARE(readBytes(m_file), crlf("; written by hand\n[Other]\nName = Nov\x81k\n\n[SetupSolar]\n"
                                     "EditPort_Text=1F0\nCheckBoxSave_Checked=True\n\n") +
                                    cp1250("[Nová]\r\nKlíč=Hodnota\r\n"));
}

void TestConfig::unstorableTextFailsAndKeepsFile_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("cyrillic value") << "SetupSolar"
                                    << "EditPort_Text"
                                    << "Жук";
    QTest::newRow("line break in value") << "SetupSolar"
                                         << "EditPort_Text"
                                         << "a\nb=c";
    QTest::newRow("equals in key") << "SetupSolar"
                                   << "a=b"
                                   << "x";
    QTest::newRow("bracket in section") << "Setup]Solar"
                                        << "Key"
                                        << "x";
}

void TestConfig::unstorableTextFailsAndKeepsFile()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before = crlf("[SetupSolar]\nEditPort_Text=0378\n");
    writeBytes(m_file, before);
    IniFile ini(m_file);
    ConfigError error;
    QVERIFY(ini.load(&error));
    ini.setValue(section, key, value);
    QVERIFY(!ini.save(&error));
    QCOMPARE(error.message, "Unable to write to " + m_file);
    QVERIFY(!error.detail.isEmpty());
    QCOMPARE(readBytes(m_file), before);
}

void TestConfig::missingFileIsEmptyAndSaveCreatesFolder()
{
    const QString path = m_dir->filePath("velmora/sub/Velmora.ini");
    IniFile ini(path);
    ConfigError error;
    QVERIFY(ini.load(&error));
    QVERIFY(ini.sections().isEmpty());
    QCOMPARE(ini.value("Velmora", "Flags", "none"), "none");
    ini.setValue("Velmora", "Flags", "0");
    QVERIFY(ini.save(&error));
    QCOMPARE(readBytes(path), crlf("[Velmora]\nFlags=0\n"));
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Hidden | QDir::Files).isEmpty());
}

void TestConfig::randomInputNeverBreaksTheFile()
{
    QRandomGenerator random(1250);
    auto randomBytes = [&](const QByteArray &alphabet, int maxLength) {
        QByteArray bytes(random.bounded(maxLength + 1), Qt::Uninitialized);
        for (char &c : bytes)
            c = alphabet.at(random.bounded(int(alphabet.size())));
        return bytes;
    };
    QByteArray anyByte;
    for (int b = 0; b < 256; ++b)
        anyByte.append(char(b));
    const QByteArray fileBytes = anyByte + QByteArray("[]=;\"' \t\r\n").repeated(20);
    const QByteArray nameBytes = cp1250("abcXYZčŘ09_.()[]=;\"' \t");
    QByteArray valueBytes = anyByte;
    for (const char unstorable : QByteArray("\r\n"))
        valueBytes.remove(valueBytes.indexOf(unstorable), 1);

    for (int round = 0; round < 3000; ++round) {
        IniFile ini(m_file);
        ini.parse(randomBytes(fileBytes, 300));
        QByteArray first;
        QString reason;
        QVERIFY(ini.serialize(&first, &reason)); // what was read can always be written back
        IniFile again(m_file);
        again.parse(first);
        QByteArray second;
        QVERIFY(again.serialize(&second, &reason));
        QCOMPARE(second, first);

        const QString section = Cp1250::decode(randomBytes(nameBytes, 8));
        const QString key = Cp1250::decode(randomBytes(nameBytes, 8));
        const QString value = Cp1250::decode(randomBytes(valueBytes, 40));
        ini.value(section, key);
        ini.intValue(section, key, 0);
        ini.setValue(section, key, value);
        if (!ini.serialize(&first, &reason)) {
            QVERIFY(!reason.isEmpty()); // a name that a file cannot hold
            continue;
        }
        again.parse(first);
        QCOMPARE(again.value(section, key), value);
    }
}

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
