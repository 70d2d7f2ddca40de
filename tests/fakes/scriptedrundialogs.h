#pragma once

#include "desk/runinput.h"

#include <QList>

#include <functional>
#include <optional>

// Answers the start and stop questions without windows and remembers what the stops showed.
class ScriptedRunDialogs : public RunQuestions
{
public:
    std::optional<StartInput> askStart(int unit) override;
    StopAnswer askStop(const StopFigures &figures) override;
    bool confirmSwitchedOff(int unit) override;

    std::optional<StartInput> m_start =
        StartInput{QStringLiteral("01"), QStringLiteral("30"), QStringLiteral("0")};
    QList<StopAnswer> m_stopAnswers;                          // in order; Close once they run out
    std::function<void(const StopFigures &)> m_whileStopOpen; // runs while "the dialog is open"
    QList<int> m_startedUnits;
    QList<StopFigures> m_stops;
    QList<int> m_offConfirmations; // the units asked about
    bool m_confirmOff = false;
};
