#pragma once

#include "desk/settings/printsettings.h"

// The receipt's print settings as a test wants them: no lines, every receipt into the preview.
class FakePrintSettings : public PrintSettings
{
public:
    QStringList addressLines() const override { return m_addressLines; }
    QStringList titleLines() const override { return m_titleLines; }
    QStringList infoLines() const override { return m_infoLines; }
    bool manualPrinting() const override { return m_manualPrinting; }

    QStringList m_addressLines;
    QStringList m_titleLines;
    QStringList m_infoLines;
    bool m_manualPrinting = true;
};
