#pragma once

#include <QList>

#include <functional>

class EventLog;
class Table;

// Flushes changed tables to disk right after a change, when the maintenance setting
// "Okamžité ukládaní změn databáze" asks for it, and logs the outcome.
class DatabaseSaver
{
public:
    explicit DatabaseSaver(EventLog &log) : m_log(log) {}

    // Where the setting is read (the maintenance window); ticked until one is given.
    void setEnabledSource(std::function<bool()> source) { m_enabled = std::move(source); }

    // The tables in order while none has failed; logs "Databáze uložena" or "Databáze
    // neuložena". Nothing happens, and nothing is logged, when the setting is off.
    bool SaveDatabase(const QList<Table *> &tables);

private:
    EventLog &m_log;
    std::function<bool()> m_enabled = [] { return true; };
};
