#include "ui/common/storabletextvalidator.h"

#include "core/cp1250.h"

QValidator::State StorableTextValidator::validate(QString &input, int &) const
{
    return Cp1250::canEncode(input) ? Acceptable : Invalid;
}
