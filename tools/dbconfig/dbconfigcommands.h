#pragma once

#include <QString>
#include <QStringList>

// The three things the set-up tool does, shared by its command line and its dialog. Each
// returns a Czech message for the user and whether it succeeded.
struct CommandResult
{
    bool ok = false;
    QString message;
};

namespace DbConfig {

inline const QStringList PortBackends = {QStringLiteral("ppdev"), QStringLiteral("direct"),
                                         QStringLiteral("simulator")};

// Registers the alias "Velmora" for the directory (and the engine's net directory; empty: the
// same directory). The directory must exist.
CommandResult setAlias(const QString &directory, const QString &netDirectory);

// Creates a fresh installation in the directory (made when missing); refuses a directory that
// holds any of the table files already.
CommandResult createInstallation(const QString &directory);

// Records the port back end (one of PortBackends) in engine.conf.
CommandResult setPortBackend(const QString &backend);

} // namespace DbConfig
