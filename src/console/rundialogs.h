#pragma once

#include "desk/runinput.h"

#include <functional>

class QWidget;
class SolarSettings;

// The start dialog and, with its sound, the stop dialog, each shown modally over the console; the
// question whether a bed the port could not switch off is off now.
class WindowRunDialogs : public RunQuestions
{
public:
    using SettingsSource = std::function<const SolarSettings &()>;

    WindowRunDialogs(QWidget *parent, SettingsSource settings);

    std::optional<StartInput> askStart(int unit) override;
    StopAnswer askStop(const StopFigures &figures) override;
    bool confirmSwitchedOff(int unit) override;

private:
    QWidget *m_parent;
    SettingsSource m_settings;
};
