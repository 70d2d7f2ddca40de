#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The length of a run is typed as two digits of minutes and two of seconds (seconds up to 99).
// A run may start only with both fields complete, not both zero, and a discount chosen.
bool isValidRunInput(const QString &minutes, const QString &seconds, const QString &discount);

// The discounts a run is offered: the settings' list, or "0" alone while that list is empty, so
// that a run can always start.
QStringList offeredDiscounts(const QStringList &discounts);

// The longest run that can be typed, "99" minutes and "99" seconds: shown as 100:39.
constexpr int LongestRunSeconds = 99 * 60 + 99;

// Seconds of a run typed as minutes and seconds.
int runSeconds(const QString &minutes, const QString &seconds);

// A run as typed: minutes, seconds and discount.
struct StartInput
{
    QString minutes;
    QString seconds;
    QString discount;
};

// The figures of a stopped run, gathered before the stop is asked about.
struct StopFigures
{
    int unit = 0;
    double discountedMinutePrice = 0;
    int usedSeconds = 0;
    double total = 0;
    bool stoppedEarly = false;
};

// What happens with a stopped run: it goes on, or it is recorded, with a printed receipt or not.
enum class StopAnswer { Continue, Close, Print };

// How the runs ask the person at the desk. The console asks through its dialogs; tests and
// benchmarks answer without windows.
class RunQuestions
{
public:
    virtual ~RunQuestions() = default;
    // The run to start on a unit; nothing when the start was called off.
    virtual std::optional<StartInput> askStart(int unit) = 0;
    virtual StopAnswer askStop(const StopFigures &figures) = 0;
    // Whether the operator has switched off at its own switch a bed that the port could not.
    virtual bool confirmSwitchedOff(int unit) = 0;
};
