#include "desk/runinput.h"

bool isValidRunInput(const QString &minutes, const QString &seconds, const QString &discount)
{
    const QString digits = minutes + seconds;
    return digits.size() == 4 && digits.toInt() != 0 && !discount.isEmpty();
}

QStringList offeredDiscounts(const QStringList &discounts)
{
    return discounts.isEmpty() ? QStringList{QStringLiteral("0")} : discounts;
}

int runSeconds(const QString &minutes, const QString &seconds)
{
    return minutes.toInt() * 60 + seconds.toInt();
}
