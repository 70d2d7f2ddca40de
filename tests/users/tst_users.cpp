#include "core/programvalues.h"
#include "users/access.h"
#include "users/ciphers.h"
#include "users/secrets.h"
#include "users/userregister.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestUsers : public QObject
{
    Q_OBJECT

private slots:
    void secretsKeepTheirSize_data();
    void secretsKeepTheirSize();
    void builtInPasswordsDecipher();
    void checkPassword_data();
    void checkPassword();
    void hasUserRight_data();
    void hasUserRight();
    void recordsOf77BytesGiveTwoUsers();
    void anyNonZeroRightByteIsGranted();
    void fileRoundTripKeepsCzechNamesAndOrder();
    void damagedFileIsDetectedAsAWhole_data();
    void damagedFileIsDetectedAsAWhole();
    void missingFileLeavesRegisterEmpty();
    void saveRefusesTextsTheFileCannotHold();

private:
    static UserRegister sampleRegister();
};

UserRegister TestUsers::sampleRegister()
{
    UserRegister users;
    users.add({"Jana", "heslo1", {true, true, true, true}});
    users.add({"administrator", "own", {true, false, false, false}});
    users.add({"Petr", "p", {true, true, false, false}});
    return users;
}

void TestUsers::secretsKeepTheirSize_data()
{
    QTest::addColumn<QString>("secret");
    QTest::addColumn<bool>("fits");
    QTest::newRow("short") << "abc" << true;
    QTest::newRow("sixteen") << "0123456789abcdef" << true;
    QTest::newRow("czech") << "Žluťoučký kůň" << true;
    QTest::newRow("seventeen") << "0123456789abcdefg" << false;
    QTest::newRow("not windows-1250") << "日本" << false;
}

void TestUsers::secretsKeepTheirSize()
{
    QFETCH(QString, secret);
    QFETCH(bool, fits);
    const QString text = Ciphers::encipherSecret(secret, Ciphers::Purpose::MasterPassword);
    QCOMPARE(!text.isEmpty(), fits);
    if (!fits)
        return;
    QCOMPARE(text.size(), 24);
    QCOMPARE(Ciphers::decipherSecret(text, Ciphers::Purpose::MasterPassword), secret);
    QVERIFY(Ciphers::decipherSecret(text, Ciphers::Purpose::tablePassword) != secret);
}

void TestUsers::builtInPasswordsDecipher()
{
    QVERIFY(!MasterPassword().isEmpty());
    QVERIFY(!tablePassword().isEmpty());
    QVERIFY(MasterPassword() != tablePassword());
}

void TestUsers::checkPassword_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("right"); // -1: no right asked
    QTest::addColumn<bool>("accepted");
    const QString master = MasterPassword();
    QTest::newRow("administrator, master") << "Administrator" << master << -1 << true;
    QTest::newRow("administrator, master, right 3") << "Administrator" << master << 3 << true;
    QTest::newRow("lower-case administrator, master") << "administrator" << master << -1 << false;
    QTest::newRow("registered administrator") << "administrator"
                                              << "own" << -1 << true;
    // Logged in under the built-in name, the entry would hold every right.
    QTest::newRow("built-in name never falls to register") << "Administrator"
                                                           << "own" << -1 << false;
    QTest::newRow("registered administrator in other case") << "ADMINISTRATOR"
                                                            << "own" << -1 << true;
    QTest::newRow("name in other case") << "JANA"
                                        << "heslo1" << -1 << true;
    QTest::newRow("password case matters") << "Jana"
                                           << "HESLO1" << -1 << false;
    QTest::newRow("unknown user") << "Eva"
                                  << "heslo1" << -1 << false;
    QTest::newRow("empty password") << "Jana"
                                    << "" << -1 << false;
    QTest::newRow("right held") << "Jana"
                                << "heslo1" << 3 << true;
    QTest::newRow("right missing") << "Petr"
                                   << "p" << 3 << false;
    QTest::newRow("registered administrator lacks right") << "administrator"
                                                          << "own" << 3 << false;
}

void TestUsers::checkPassword()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(int, right);
    QFETCH(bool, accepted);
    const UserRegister users = sampleRegister();
    const auto asked = right < 0 ? std::nullopt : std::optional(UserRight(right));
    QCOMPARE(CheckPassword(users, name, password, asked), accepted);
}

void TestUsers::hasUserRight_data()
{
    QTest::addColumn<QString>("currentUser");
    QTest::addColumn<int>("right");
    QTest::addColumn<bool>("held");
    QTest::newRow("built-in holds all") << "Administrator" << 3 << true;
    QTest::newRow("registered administrator has its own rights") << "administrator" << 1 << false;
    QTest::newRow("name typed in other case") << "PETR" << 1 << true;
    QTest::newRow("right not granted") << "Petr" << 2 << false;
    QTest::newRow("user no longer registered") << "Eva" << 0 << false;
}

void TestUsers::hasUserRight()
{
    QFETCH(QString, currentUser);
    QFETCH(int, right);
    QFETCH(bool, held);
    Program().CurrentUser = currentUser;
    QCOMPARE(HasUserRight(sampleRegister(), UserRight(right)), held);
}

void TestUsers::recordsOf77BytesGiveTwoUsers()
{
    QByteArray plain = UserRegister::encodeRecords(sampleRegister().users().mid(0, 2));
    plain.append('\x7f');
    QCOMPARE(plain.size(), 77);
    const QList<User> users = UserRegister::decodeRecords(plain);
    QCOMPARE(users.size(), 2);
    QCOMPARE(users.at(0).name, sampleRegister().users().at(0).name);
}

void TestUsers::anyNonZeroRightByteIsGranted()
{
    QByteArray plain =
        UserRegister::encodeRecords({User{"Eva", "x", {false, false, false, false}}});
    plain[34] = 7;
    plain[37] = char(0x80);
    const User user = UserRegister::decodeRecords(plain).at(0);
    QCOMPARE(user.rights, (std::array<bool, 4>{true, false, false, true}));
    QCOMPARE(plain.at(0), char(3));
    QCOMPARE(plain.at(17), char(1));
}

void TestUsers::fileRoundTripKeepsCzechNamesAndOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmora.usr");
    UserRegister users;
    users.add({"Šárka", "Žluťáček16znaků!", {true, false, true, false}});
    users.add({"Adam", "a", {false, true, false, true}});
    const mode_t umaskBefore = ::umask(0);
    const FileResult saved = users.save(path);
    ::umask(umaskBefore);
    QVERIFY(saved.ok());
    QCOMPARE(QFile::permissions(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadUser | QFileDevice::WriteUser);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray onDisk = file.readAll();
    QVERIFY(!onDisk.contains("Adam")); // never plain text on disk

    UserRegister loaded;
    QCOMPARE(loaded.load(path), UserRegister::LoadResult::Loaded);
    QCOMPARE(loaded.names(), QStringList({"Adam", "Šárka"}));
    QCOMPARE(loaded.users().at(1).password, QString("Žluťáček16znaků!"));
    QCOMPARE(loaded.users().at(1).rights, users.users().at(1).rights);
}

void TestUsers::damagedFileIsDetectedAsAWhole_data()
{
    QTest::addColumn<int>("flippedByte"); // -1: cut the file short
    QTest::newRow("nonce") << 3;
    QTest::newRow("records") << 40;
    QTest::newRow("tag") << -2;
    QTest::newRow("truncated") << -1;
}

void TestUsers::damagedFileIsDetectedAsAWhole()
{
    QFETCH(int, flippedByte);
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmora.usr");
    QVERIFY(sampleRegister().save(path).ok());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray content = file.readAll();
    if (flippedByte == -1)
        content.chop(20);
    else {
        const qsizetype at = flippedByte >= 0 ? flippedByte : content.size() + flippedByte;
        content[at] = char(content.at(at) ^ 0x01);
    }
    file.resize(0);
    file.write(content);
    file.close();

    UserRegister users = sampleRegister();
    QCOMPARE(users.load(path), UserRegister::LoadResult::Damaged);
    QVERIFY(users.isEmpty());
}

void TestUsers::missingFileLeavesRegisterEmpty()
{
    QTemporaryDir dir;
    UserRegister users = sampleRegister();
    QCOMPARE(users.load(dir.filePath("Velmora.usr")), UserRegister::LoadResult::Missing);
    QVERIFY(users.isEmpty());
}

void TestUsers::saveRefusesTextsTheFileCannotHold()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmora.usr");
    QVERIFY(sampleRegister().save(path).ok());
    UserRegister users;
    users.add({"Jméno s ☀", "x", {}});
    QVERIFY(!users.save(path).ok());
    UserRegister kept;
    QCOMPARE(kept.load(path), UserRegister::LoadResult::Loaded);
    QCOMPARE(kept.count(), 3);
}

QTEST_GUILESS_MAIN(TestUsers)
#include "tst_users.moc"
