#pragma once

// Engine-internal: the control files that guard the tables between programs.
//
// "PARADOX.LCK" in the data directory holds one lock byte per table (its offset derived from the
// upper-cased table file name): an open table holds a shared lock on it, an exclusive open a
// write lock, so an exclusive open fails while another program has the table open and vice
// versa. A connected database holds a shared lock on "PDOXUSRS.LCK" (data directory) and on
// "PDOXUSRS.NET" (net directory). The locks are open-file-description locks: they vanish with
// the process, so files left behind by a crash are harmless and may be deleted.
// Within one process the opens of a table are counted, and the process holds the strongest lock
// any of them needs.

#include "data/engineerror.h"

#include <QHash>
#include <QString>

class EngineLocks
{
public:
    static const QString TableLockFile;  // "PARADOX.LCK"
    static const QString UsersLockFile;  // "PDOXUSRS.LCK"
    static const QString NetControlFile; // "PDOXUSRS.NET"

    EngineLocks() = default;
    EngineLocks(const EngineLocks &) = delete;
    EngineLocks &operator=(const EngineLocks &) = delete;
    ~EngineLocks();

    bool open(const QString &dataDirectory, const QString &netDirectory, EngineError *error);
    void close();

    // Takes a shared or exclusive hold of the table; false (TableInUse) when another program's
    // hold conflicts. Each successful acquire is paired with one release of the same kind.
    bool acquire(const QString &tableFileName, bool exclusive, EngineError *error);
    void release(const QString &tableFileName, bool exclusive);

private:
    struct Holds
    {
        int shared = 0;
        int exclusive = 0;
    };

    bool applyLock(const QString &key, const Holds &holds);

    int m_tableFd = -1;
    int m_usersFd = -1;
    int m_netFd = -1;
    QHash<QString, Holds> m_holds; // by upper-cased table file name
};
