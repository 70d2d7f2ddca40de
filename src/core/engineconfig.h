#pragma once

#include <QString>

// The table engine's configuration file "engine.conf" in the configuration folder: the
// database aliases, the engine's net-file directory and the chosen port back end.
namespace EngineConfig {

inline const QString AliasName = QStringLiteral("Velmora");

QString filePath();

bool aliasExists(const QString &alias);
QString aliasDirectory(const QString &alias); // empty when the alias is not registered
QString netDirectory();                       // the alias directory when none is set
QString portBackend();                        // empty when not chosen

// Write the file; false with *error set when it cannot be written.
bool registerAlias(const QString &alias, const QString &directory, const QString &netDirectory,
                   QString *error);
bool setPortBackend(const QString &backend, QString *error);

} // namespace EngineConfig
