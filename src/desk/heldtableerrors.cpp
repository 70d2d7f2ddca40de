#include "desk/heldtableerrors.h"

HeldTableErrors::HeldTableErrors(const QList<Table *> &tables)
{
    for (Table *table : tables) {
        m_own.append({table, table->postErrorHandler(), table->editErrorHandler()});
        const OwnHandlers &own = m_own.last();
        // Fail keeps the change pending: the transaction's failure path cancels every table.
        table->setPostErrorHandler(
            [this, post = own.post](Table &failed, const EngineError &error, ErrorAction &) {
                m_held.append({post, &failed, error});
            });
        table->setEditErrorHandler(
            [this, edit = own.edit](Table &failed, const EngineError &error, ErrorAction &) {
                m_held.append({edit, &failed, error});
            });
    }
}

HeldTableErrors::~HeldTableErrors()
{
    restoreHandlers();
}

void HeldTableErrors::restoreHandlers()
{
    for (const OwnHandlers &own : std::as_const(m_own)) {
        own.table->setPostErrorHandler(own.post);
        own.table->setEditErrorHandler(own.edit);
    }
    m_own.clear();
}

void HeldTableErrors::release()
{
    restoreHandlers();
    // The handlers may open windows in which another transaction runs and holds its own errors.
    const QList<HeldError> held = std::exchange(m_held, {});
    for (const HeldError &each : held) {
        ErrorAction ignored = ErrorAction::Abort;
        if (each.handler)
            each.handler(*each.table, each.error, ignored);
    }
}
