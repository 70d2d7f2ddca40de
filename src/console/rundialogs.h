#pragma once

#include "console/stopdialog.h"

#include <QString>

#include <optional>

class QWidget;
class SolarSettings;

// What the start dialog gives back: the run's minutes, seconds and discount as typed.
struct StartInput
{
    QString minutes;
    QString seconds;
    QString discount;
};

// How the console asks about a run. The desk uses the dialogs; tests and benchmarks answer
// without windows.
class RunDialogs
{
public:
    virtual ~RunDialogs() = default;
    // Nothing when the dialog was closed without "Start".
    virtual std::optional<StartInput> askStart(int unit, const SolarSettings &settings,
                                               QWidget *parent) = 0;
    virtual TFormStop::Result askStop(const StopFigures &figures, QWidget *parent) = 0;
};

// The start dialog and, with its sound, the stop dialog, each shown modally.
class WindowRunDialogs : public RunDialogs
{
public:
    std::optional<StartInput> askStart(int unit, const SolarSettings &settings,
                                       QWidget *parent) override;
    TFormStop::Result askStop(const StopFigures &figures, QWidget *parent) override;
};
