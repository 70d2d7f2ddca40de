#pragma once

class TFormSetupSolar;

// The program-wide sources and reports that the lower layers call back through: the engine's
// last error for the database message, a failed window-store write as a warning, and the port
// address the units are switched at. Wired here and nowhere else; put back on destruction.
class ProcessHooks
{
public:
    ProcessHooks();
    ~ProcessHooks();
    ProcessHooks(const ProcessHooks &) = delete;
    ProcessHooks &operator=(const ProcessHooks &) = delete;

    // Until the settings window exists the port address is the one stored in the ini file.
    void useStoredPort();
    // From now on the settings window's port address, while the window exists.
    void followSettings(TFormSetupSolar *settings);
};
