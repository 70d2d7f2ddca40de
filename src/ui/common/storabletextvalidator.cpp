#include "ui/common/storabletextvalidator.h"

#include "core/cp1250.h"

#include <algorithm>

QValidator::State StorableTextValidator::validate(QString &input, int &) const
{
    // Control characters have codes, but no place in a name or a description.
    const bool hasControl = std::any_of(input.cbegin(), input.cend(), [](QChar ch) {
        return ch.category() == QChar::Other_Control;
    });
    return !hasControl && Cp1250::canEncode(input) ? Acceptable : Invalid;
}
