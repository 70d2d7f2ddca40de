#include "core/ownerfiles.h"
#include "portio/portaccess.h"
#include "startup/startupsequence.h"
#include "ui/common/qttranslation.h"
#include "ui/common/versioninfo.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

QString helpText()
{
    return QStringLiteral(
        "Použití: velmora [/REPAIR] [/RESET] [/RESTORE] [/STOP]\n"
        "Pokladna solária: spíná solária přes paralelní port, odpočítává zaplacené minuty\n"
        "a eviduje každé opalování jako číslovaný doklad.\n"
        "\n"
        "Přepínače (velkými písmeny, jak jsou napsány):\n"
        "  /REPAIR        smaže řídicí a indexové soubory, obnoví indexy a zhustí tabulky\n"
        "  /RESET         smaže všechny doklady (vyžaduje právo \"!!!\")\n"
        "  /RESTORE       obnoví tabulky ze zvolené zálohy (vyžaduje právo \"!!!\")\n"
        "  /STOP          skončí po údržbě tabulek\n"
        "  -h, --help     vypíše tuto nápovědu\n"
        "  -v, --version  vypíše verzi programu\n"
        "\n"
        "Proměnné prostředí:\n"
        "  VELMORA_CONFIG_DIR    adresář konfigurace (jinak $XDG_CONFIG_HOME/velmora)\n"
        "  VELMORA_PORT_BACKEND  přístup k portu pro tento běh: ppdev, direct, simulator\n"
        "  VELMORA_PORT_SIM_DIR  adresář simulované reléové desky\n"
        "\n"
        "Podrobnosti: man velmora\n");
}

void print(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

bool hasArgument(int argc, char *argv[], const char *shortName, const char *longName)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], shortName) == 0 || std::strcmp(argv[i], longName) == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Answered before anything touches the port or needs a display.
    if (hasArgument(argc, argv, "-h", "--help")) {
        print(helpText());
        return 0;
    }
    if (hasArgument(argc, argv, "-v", "--version")) {
        print(versionLine(GetVersionInfo(QStringLiteral("InternalName"))) + QLatin1Char('\n'));
        return 0;
    }
    keepNewFilesToOwner();
    // Port access comes first, so that even a start that fails later leaves every bed off.
    PortAccessSession portAccess;
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));
    installCzechQtTexts();
    StartupSequence startup;
    return startup.run();
}
