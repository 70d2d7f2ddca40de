#include "core/engineconfig.h"
#include "data/database.h"
#include "data/table.h"
#include "dbconfigdialog.h"
#include "desk/salonschema.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(DBCONFIG_TOOL), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

} // namespace

class TestDbConfig : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void createThenRefuse();
    void setAliasAndBackend();
    void refusals_data();
    void refusals();
    void dialog();

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

void TestDbConfig::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    qputenv("VELMORA_CONFIG_DIR", m_config->path().toUtf8()); // the tool inherits it
}

void TestDbConfig::createThenRefuse()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("nova/data")); // made when missing
    Run run = runTool({"--create", target});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains(QStringLiteral("byly vytvořeny")));
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connectDirectory(target));
    Table sales(&database, QStringLiteral("SaleSolars.DB"));
    QVERIFY(sales.open());
    QCOMPARE(sales.indexDefinitions().size(), 17);
    database.disconnect();

    const QByteArray before = [&] {
        QFile file(QDir(target).filePath(QStringLiteral("Solars.DB")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    run = runTool({"--create", target});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("již obsahuje tabulku")), qPrintable(run.err));
    QFile after(QDir(target).filePath(QStringLiteral("Solars.DB")));
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

void TestDbConfig::setAliasAndBackend()
{
    QTemporaryDir data;
    QTemporaryDir net;
    Run run = runTool({"--set-alias", data.path(), "--net-dir", net.path()});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(EngineConfig::aliasDirectory(EngineConfig::AliasName), QDir::cleanPath(data.path()));
    QCOMPARE(EngineConfig::netDirectory(), QDir::cleanPath(net.path()));

    run = runTool({"--set-port-backend", "simulator"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(EngineConfig::portBackend(), QStringLiteral("simulator"));
    QCOMPARE(EngineConfig::aliasDirectory(EngineConfig::AliasName), QDir::cleanPath(data.path()));

    // Create and register in one call; the database then connects through the alias.
    QTemporaryDir fresh;
    run = runTool({"--create", fresh.path(), "--set-alias", fresh.path()});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(EngineConfig::netDirectory(), QDir::cleanPath(fresh.path()));
    Database database{deskDatabaseSchema()};
    QVERIFY(database.connect());
    QCOMPARE(database.directory(), QDir::cleanPath(fresh.path()));
}

void TestDbConfig::refusals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing alias directory")
        << QStringList{"--set-alias", "/nonexistent/velmora"} << "neexistuje";
    QTest::newRow("unknown back end") << QStringList{"--set-port-backend", "serial"} << "Neznámý";
    QTest::newRow("net dir alone") << QStringList{"--net-dir", "/tmp"} << "--set-alias";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << "Chybné parametry";
}

void TestDbConfig::refusals()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Run run = runTool(arguments);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!EngineConfig::aliasExists(EngineConfig::AliasName));
    QVERIFY(EngineConfig::portBackend().isEmpty());
}

void TestDbConfig::dialog()
{
    QTemporaryDir dir;
    DbConfigDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral(" Konfigurace databáze"));
    dialog.createDirectoryEdit()->setText(dir.path());
    dialog.createTables();
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Money.DB"))));
    QCOMPARE(dialog.aliasDirectoryEdit()->text(), dir.path());
    dialog.saveAlias();
    QCOMPARE(EngineConfig::aliasDirectory(EngineConfig::AliasName), QDir::cleanPath(dir.path()));
    dialog.createTables();
    QVERIFY(dialog.statusLabel()->text().contains(QStringLiteral("již obsahuje")));
    dialog.backendCombo()->setCurrentIndex(
        dialog.backendCombo()->findData(QStringLiteral("direct")));
    dialog.saveBackend();
    QCOMPARE(EngineConfig::portBackend(), QStringLiteral("direct"));
}

QTEST_MAIN(TestDbConfig)
#include "tst_dbconfig.moc"
