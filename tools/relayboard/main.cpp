#include "portio/portaddress.h"
#include "relayboard/relayboardwindow.h"
#include "ui/common/qttranslation.h"
#include "ui/common/versioninfo.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

// velmora-relayboard [--port 0378]: watches a port of the simulated relay board.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora-relayboard"));
    installCzechQtTexts();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zobrazuje solária zapnutá přes simulovanou reléovou desku."));
    const QCommandLineOption help = helpOption();
    const QCommandLineOption version = versionOption();
    const QCommandLineOption portOption(
        {QStringLiteral("p"), QStringLiteral("port")},
        QStringLiteral("Adresa portu šestnáctkově (výchozí %1).").arg(DefaultPortText),
        QStringLiteral("hex"), DefaultPortText);
    parser.addOptions({help, version, portOption});
    if (!parser.parse(app.arguments())) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(parser.errorText()));
        return 1;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        const QString text =
            parser.isSet(help) ? parser.helpText() : versionLine(QApplication::applicationName());
        std::fprintf(stdout, "%s\n", qUtf8Printable(text));
        return 0;
    }

    const QString portText = parser.value(portOption);
    const auto port = parsePortText(portText);
    if (!port) {
        std::fprintf(stderr, "%s\n",
                     qUtf8Printable(QStringLiteral("Neplatná adresa portu \"%1\": zadejte "
                                                   "šestnáctkové číslo, například 0378.")
                                        .arg(portText)));
        return 1;
    }

    RelayBoardWindow window(*port);
    window.show();
    return app.exec();
}
