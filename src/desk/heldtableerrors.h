#pragma once

#include "data/engineerror.h"
#include "data/table.h"

#include <QList>

// Holds back the post and edit errors of tables while a transaction writes. The desk's error
// handlers show modal warnings, and timers run in a modal loop: another unit's sale could then
// start while the transaction is still open, and fail. The held errors go to the tables' own
// handlers on release(), once the transaction has ended.
class HeldTableErrors
{
public:
    explicit HeldTableErrors(const QList<Table *> &tables);
    ~HeldTableErrors();
    HeldTableErrors(const HeldTableErrors &) = delete;
    HeldTableErrors &operator=(const HeldTableErrors &) = delete;

    // Puts the tables' own handlers back and hands them the held errors, oldest first; what
    // they decide no longer matters, the failed change has been dropped.
    void release();

private:
    struct OwnHandlers
    {
        Table *table;
        TableErrorHandler post;
        TableErrorHandler edit;
    };
    struct HeldError
    {
        TableErrorHandler handler;
        Table *table;
        EngineError error;
    };

    void restoreHandlers();

    QList<OwnHandlers> m_own;
    QList<HeldError> m_held;
};
