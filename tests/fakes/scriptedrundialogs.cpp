#include "fakes/scriptedrundialogs.h"

std::optional<StartInput> ScriptedRunDialogs::askStart(int unit)
{
    m_startedUnits.append(unit);
    return m_start;
}

StopAnswer ScriptedRunDialogs::askStop(const StopFigures &figures)
{
    m_stops.append(figures);
    if (m_whileStopOpen)
        m_whileStopOpen(figures);
    return m_stopAnswers.isEmpty() ? StopAnswer::Close : m_stopAnswers.takeFirst();
}

bool ScriptedRunDialogs::confirmSwitchedOff(int unit)
{
    m_offConfirmations.append(unit);
    return m_confirmOff;
}
