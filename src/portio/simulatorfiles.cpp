#include "portio/simulatorfiles.h"

#include "core/ownerfiles.h"
#include "core/paths.h"
#include "portio/portaddress.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

QString simulatorDirectory()
{
    const QString own = qEnvironmentVariable("VELMORA_PORT_SIM_DIR");
    if (!own.isEmpty())
        return own;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return JoinPath(runtime, QStringLiteral("velmora"));
    return JoinPath(QDir::tempPath(), QStringLiteral("velmora-%1").arg(getuid()));
}

bool prepareSimulatorDirectory(QString *problem)
{
    const QString folder = simulatorDirectory();
    // Only the shared temporary folder can hold a folder of the same name made by another
    // account, which would drive the register in our place.
    if (qEnvironmentVariableIsEmpty("VELMORA_PORT_SIM_DIR") &&
        qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return claimOwnFolder(folder, problem);
    if (QDir().mkpath(folder))
        return true;
    *problem = QStringLiteral("Adresář %1 nelze vytvořit").arg(folder);
    return false;
}

QString simulatorFilePath(quint32 port)
{
    return JoinPath(simulatorDirectory(), QStringLiteral("port-") + portTextFromAddress(port));
}

bool isSimulatedPort(quint32 port)
{
    return port == 0x378 || port == 0x278 || port == 0x3BC;
}

std::optional<quint8> readSimulatedRegister(quint32 port)
{
    QFile file(simulatorFilePath(port));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    char value = 0;
    // A file just created and not yet written holds no byte: its register is 0.
    file.getChar(&value);
    return quint8(value);
}
