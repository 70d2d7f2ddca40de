#include "desk/settings/solarsettingsstore.h"

#include "portio/portaddress.h"

#include <algorithm>

namespace {

// A discount as it is kept: the decimal text of a whole percentage, without leading zeros.
bool discountText(const QString &entry, QString *text)
{
    bool ok = false;
    const int value = entry.trimmed().toInt(&ok, 10);
    if (!ok || value < 0 || value > SolarSettingsStore::MaxDiscount)
        return false;
    *text = QString::number(value);
    return true;
}

} // namespace

SolarSettingsStore::SolarSettingsStore(const QString &fileName)
    : SettingsStore(QStringLiteral("SetupSolar"), fileName)
{
    addText(EditOffDefault, QStringLiteral("0"), 3);
    addLines(ListBoxOff, {QStringLiteral("0")}, LinesShown::AsList);
    addText(EditPort, DefaultPortText, PortDigits);
    addChecked(CheckBoxSaleSalesAll, true);
    addChecked(CheckBoxUseDialogs, true);
}

void SolarSettingsStore::afterRead()
{
    const Discounts tidied = tidy(discounts(), defaultDiscount());
    setLines(ListBoxOff, tidied.list);
    setText(EditOffDefault, tidied.defaultDiscount);
}

SolarSettingsStore::Discounts SolarSettingsStore::tidy(const QStringList &list,
                                                       const QString &defaultDiscount)
{
    QStringList tidy;
    for (const QString &entry : list) {
        QString text;
        if (discountText(entry, &text) && !tidy.contains(text))
            tidy.append(text);
    }
    Discounts result{SortStringList(tidy), defaultDiscount};
    // An emptied list comes back as "0" at the next start while its stored default is still
    // empty: that "0" is the default.
    if (result.defaultDiscount.isEmpty() && !tidy.isEmpty()) {
        result.defaultDiscount = result.list.constFirst();
        return result;
    }
    QString defaultText;
    if (discountText(result.defaultDiscount, &defaultText))
        result.defaultDiscount = defaultText;
    return result;
}

QStringList SolarSettingsStore::SortStringList(const QStringList &list)
{
    QStringList sorted = list;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    return sorted;
}
