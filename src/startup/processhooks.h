#pragma once

#include <QString>

class SolarSettings;

// The program-wide sources and reports that the lower layers call back through: the engine's
// last error for the database message, a failed settings write as a warning, and the port
// address the units are switched at. Wired here and nowhere else; put back on destruction.
class ProcessHooks
{
public:
    ProcessHooks();
    ~ProcessHooks();
    ProcessHooks(const ProcessHooks &) = delete;
    ProcessHooks &operator=(const ProcessHooks &) = delete;

    // The port address in force in the settings, while they exist.
    void followPort(const SolarSettings &settings);
    // From now on this address: the settings go, the switch-off at the very end still needs one.
    void keepPort(const QString &portText);
};
