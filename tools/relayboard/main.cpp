#include "portio/portaddress.h"
#include "relayboard/relayboardwindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

// velmora-relayboard [--port 0378]: watches a port of the simulated relay board.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora-relayboard"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zobrazuje solária zapnutá přes simulovanou reléovou desku."));
    parser.addHelpOption();
    const QCommandLineOption portOption(
        {QStringLiteral("p"), QStringLiteral("port")},
        QStringLiteral("Adresa portu šestnáctkově (výchozí %1).").arg(DefaultPortText),
        QStringLiteral("hex"), DefaultPortText);
    parser.addOption(portOption);
    parser.process(app);

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
