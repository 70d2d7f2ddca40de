#include "data/engineerror.h"

#include <sqlite3.h>

namespace {

EngineError &storedLastError()
{
    static EngineError error;
    return error;
}

} // namespace

EngineError::EngineError(EngineErrorCode errorCode, const QString &text)
    : code(quint16(errorCode)), message(text.left(MaxMessageLength))
{}

bool EngineError::heldByAnotherProgram() const
{
    if (errorCode() == EngineErrorCode::TableInUse)
        return true;
    if (code < quint16(EngineErrorCode::SqliteBase))
        return false;
    return ((code - quint16(EngineErrorCode::SqliteBase)) & 0xFF) == SQLITE_BUSY;
}

namespace Engine {

EngineError lastError()
{
    return storedLastError();
}

void clearLastError()
{
    storedLastError() = EngineError();
}

const EngineError &setLastError(const EngineError &error)
{
    storedLastError() = error;
    return storedLastError();
}

} // namespace Engine
