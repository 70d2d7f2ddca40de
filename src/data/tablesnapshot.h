#pragma once

#include <QString>

#include <functional>

class Database;

// One consistent copy of the database's table files in a folder, made from the open connection
// in small steps so that the program goes on working meanwhile. A sale committed during the copy
// is in all the copies or in none: the copies follow every change the connection makes until
// they are all complete, and they are completed together between two changes. Each copy is
// written under a temporary name ("Money.DB.part"), synced, and only then takes the table
// file's name, so that an interrupted copy never leaves a "*.DB" that is incomplete.
class TableSnapshot
{
public:
    static constexpr int DefaultPagesPerStep = 256; // a millisecond or two each

    explicit TableSnapshot(Database &database, int pagesPerStep = DefaultPagesPerStep)
        : m_database(database), m_pagesPerStep(pagesPerStep)
    {}

    // Called between two steps: the caller's event loop runs there.
    void setBetweenSteps(std::function<void()> betweenSteps)
    {
        m_betweenSteps = std::move(betweenSteps);
    }

    // The table files under their own names into an existing folder, replacing what is there.
    // False, with the reason in error(), leaves the folder's earlier table files or none of the
    // new ones, and no temporary file.
    bool copyTo(const QString &folder);
    QString error() const { return m_error; }

    static QString temporaryName(const QString &tableFile);

private:
    struct Copy;
    // The reason, with the engine's text of an SQLite result code other than SQLITE_OK.
    bool fail(const QString &message, int resultCode = 0);
    void betweenSteps();

    Database &m_database;
    int m_pagesPerStep;
    std::function<void()> m_betweenSteps;
    QString m_error;
};
