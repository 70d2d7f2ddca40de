#include "portio/portbackendchoice.h"

#include "core/engineconfig.h"
#include "portio/directbackend.h"
#include "portio/ppdevbackend.h"
#include "portio/simulatorbackend.h"

PortBackendKind portBackendFromName(const QString &name)
{
    const QString key = name.trimmed().toLower();
    if (key == QLatin1String("direct"))
        return PortBackendKind::Direct;
    if (key == QLatin1String("simulator"))
        return PortBackendKind::Simulator;
    if (!key.isEmpty() && key != QLatin1String("ppdev"))
        qWarning("Port: neznámý způsob přístupu k portu \"%s\", použije se ppdev",
                 qPrintable(name));
    return PortBackendKind::Ppdev;
}

QByteArray portBackendName(PortBackendKind kind)
{
    switch (kind) {
    case PortBackendKind::Direct:
        return QByteArrayLiteral("direct");
    case PortBackendKind::Simulator:
        return QByteArrayLiteral("simulator");
    case PortBackendKind::Ppdev:
        break;
    }
    return QByteArrayLiteral("ppdev");
}

PortBackendKind chosenPortBackend()
{
    const QString fromEnvironment = qEnvironmentVariable("VELMORA_PORT_BACKEND");
    return portBackendFromName(fromEnvironment.isEmpty() ? EngineConfig::portBackend()
                                                         : fromEnvironment);
}

std::unique_ptr<PortBackend> createPortBackend(PortBackendKind kind)
{
    switch (kind) {
    case PortBackendKind::Direct:
        return std::make_unique<DirectBackend>();
    case PortBackendKind::Simulator:
        return std::make_unique<SimulatorBackend>();
    case PortBackendKind::Ppdev:
        break;
    }
    return std::make_unique<PpdevBackend>();
}
