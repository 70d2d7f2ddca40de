// velmora-dbconfig: the table engine's set-up tool. Without options it opens its dialog; the
// same things can be done from the command line:
//   velmora-dbconfig --set-alias DIR [--net-dir DIR]
//   velmora-dbconfig --create DIR
//   velmora-dbconfig --set-port-backend ppdev|direct|simulator
//   velmora-dbconfig --help | --version

#include "core/ownerfiles.h"
#include "dbconfigcommands.h"
#include "dbconfigdialog.h"
#include "ui/common/qttranslation.h"
#include "ui/common/versioninfo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

int runCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Konfigurace databáze programu Velmora."));
    const QCommandLineOption help = helpOption();
    const QCommandLineOption version = versionOption();
    const QCommandLineOption setAlias(QStringLiteral("set-alias"),
                                      QStringLiteral("Zaregistruje alias Velmora pro adresář."),
                                      QStringLiteral("adresář"));
    const QCommandLineOption netDir(
        QStringLiteral("net-dir"),
        QStringLiteral("Síťový adresář databáze (jinak adresář aliasu)."),
        QStringLiteral("adresář"));
    const QCommandLineOption create(QStringLiteral("create"),
                                    QStringLiteral("Vytvoří v adresáři novou instalaci tabulek."),
                                    QStringLiteral("adresář"));
    const QCommandLineOption backend(
        QStringLiteral("set-port-backend"),
        QStringLiteral("Přístup k portu: ppdev, direct nebo simulator."),
        QStringLiteral("přístup"));
    parser.addOptions({help, version, setAlias, netDir, create, backend});
    if (!parser.parse(arguments)) {
        print(stderr, QStringLiteral("Chybné parametry: %1").arg(parser.errorText()));
        return 1;
    }
    if (parser.isSet(version)) {
        print(stdout, versionLine(QStringLiteral("velmora-dbconfig")));
        return 0;
    }
    if (parser.isSet(help) || !parser.positionalArguments().isEmpty()) {
        print(parser.isSet(help) ? stdout : stderr, parser.helpText());
        return parser.isSet(help) ? 0 : 1;
    }
    if (parser.isSet(netDir) && !parser.isSet(setAlias)) {
        print(stderr, QStringLiteral("Parametr --net-dir patří k parametru --set-alias."));
        return 1;
    }
    // In this order, so that one call may create an installation and register it.
    QList<CommandResult> results;
    if (parser.isSet(create))
        results.append(DbConfig::createInstallation(parser.value(create)));
    if (parser.isSet(setAlias) && (results.isEmpty() || results.last().ok))
        results.append(DbConfig::setAlias(parser.value(setAlias), parser.value(netDir)));
    if (parser.isSet(backend) && (results.isEmpty() || results.last().ok))
        results.append(DbConfig::setPortBackend(parser.value(backend)));
    for (const CommandResult &result : std::as_const(results)) {
        print(result.ok ? stdout : stderr, result.message);
        if (!result.ok)
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    keepNewFilesToOwner(); // the tables it makes hold the salon's receipts
    if (argc > 1) {        // the command line needs no display
        QCoreApplication app(argc, argv);
        installCzechQtTexts();
        return runCommandLine(app.arguments());
    }
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora-dbconfig"));
    installCzechQtTexts();
    DbConfigDialog dialog;
    dialog.show();
    return app.exec();
}
