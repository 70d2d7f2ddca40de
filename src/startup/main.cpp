#include "portio/portaccess.h"
#include "startup/startupsequence.h"
#include "ui/common/qttranslation.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Port access comes first, so that even a start that fails later leaves every bed off.
    PortAccessSession portAccess;
    QApplication app(argc, argv);
    installCzechQtTexts();
    StartupSequence startup;
    return startup.run();
}
