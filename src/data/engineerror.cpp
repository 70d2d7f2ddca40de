#include "data/engineerror.h"

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
