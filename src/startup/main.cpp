#include "portio/portaccess.h"
#include "startup/startupsequence.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Port access comes first, so that even a start that fails later leaves every bed off.
    PortAccessSession portAccess;
    QApplication app(argc, argv);
    StartupSequence startup;
    return startup.run();
}
