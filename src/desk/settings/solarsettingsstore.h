#pragma once

#include "core/solarsettings.h"
#include "data/config/settingsstore.h"

// The desk's working settings, kept in the section [SetupSolar]: the offered discounts and the
// default one, the port address, whether every receipt is recorded and whether runs start through
// dialog windows. The VAT rate is never stored: it starts at 5 on every start.
class SolarSettingsStore : public SettingsStore, public SolarSettings
{
public:
    static constexpr QLatin1String EditOffDefault{"EditOffDefault_Text"};
    static constexpr QLatin1String ListBoxOff{"ListBoxOff_Items"};
    static constexpr QLatin1String EditPort{"EditPort_Text"};
    static constexpr QLatin1String CheckBoxSaleSalesAll{"CheckBoxSaleSalesAll_Checked"};
    static constexpr QLatin1String CheckBoxUseDialogs{"CheckBoxUseDialogs_Checked"};

    static constexpr int DefaultTaxRate = 5;
    static constexpr int MaxDiscount = 100;
    static constexpr int PortDigits = 4;

    explicit SolarSettingsStore(const QString &fileName = defaultFileName());

    QStringList discounts() const override { return lines(ListBoxOff); }
    QString defaultDiscount() const override { return text(EditOffDefault); }
    int taxRate() const override { return m_taxRate; }
    QString portText() const override { return text(EditPort); }
    bool recordAllReceipts() const override { return checked(CheckBoxSaleSalesAll); }
    bool useDialogs() const override { return checked(CheckBoxUseDialogs); }

    void setTaxRate(int rate) { m_taxRate = rate; }

    // The program writes only whole percentages without leading zeros; an entry edited by hand
    // into anything else, or a repeated one, is a choice that no sale can use and is left out.
    // The rest ascending. An emptied default takes the first discount; a default outside the
    // list stays: the start then preselects nothing rather than charge a discount nobody chose.
    struct Discounts
    {
        QStringList list;
        QString defaultDiscount;
    };
    static Discounts tidy(const QStringList &list, const QString &defaultDiscount);
    // Ascending by numeric value; every entry must be a decimal whole number.
    static QStringList SortStringList(const QStringList &list);

protected:
    void afterRead() override;

private:
    int m_taxRate = DefaultTaxRate;
};
