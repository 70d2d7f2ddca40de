#pragma once

#include "core/solarsettings.h"

// The desk's settings as a test wants them; the defaults are those of a fresh installation.
class FakeSolarSettings : public SolarSettings
{
public:
    QStringList discounts() const override { return m_discounts; }
    QString defaultDiscount() const override { return m_defaultDiscount; }
    int taxRate() const override { return m_taxRate; }
    QString portText() const override { return m_portText; }
    bool recordAllReceipts() const override { return m_recordAll; }
    bool useDialogs() const override { return m_useDialogs; }

    QStringList m_discounts = {QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("15")};
    QString m_defaultDiscount = QStringLiteral("0");
    int m_taxRate = 21;
    QString m_portText = QStringLiteral("0378");
    bool m_recordAll = true;
    bool m_useDialogs = true;
};
