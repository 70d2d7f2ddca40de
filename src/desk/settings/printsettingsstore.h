#pragma once

#include "core/printedlines.h"
#include "data/config/settingsstore.h"
#include "desk/settings/printsettings.h"

#include <QList>

// The receipt's print settings, kept in the section [SetupPrint]: the salon's address, the header
// and the information text, and whether a receipt after a run opens in the preview.
class PrintSettingsStore : public SettingsStore, public PrintSettings
{
public:
    static constexpr QLatin1String MemoAddress{"MemoAddress_Lines"};
    static constexpr QLatin1String MemoTitle{"MemoTitle_Lines"};
    static constexpr QLatin1String MemoInfo{"MemoInfo_Lines"};
    static constexpr QLatin1String RadioButtonManual{"RadioButtonManual_Checked"};
    static constexpr QLatin1String RadioButtonAuto{"RadioButtonAuto_Checked"};

    explicit PrintSettingsStore(const QString &fileName = defaultFileName());

    QStringList addressLines() const override { return lines(MemoAddress); }
    QStringList titleLines() const override { return lines(MemoTitle); }
    QStringList infoLines() const override { return lines(MemoInfo); }
    bool manualPrinting() const override { return firstChosen(RadioButtonManual); }

    // The most lines that the memo's box prints: lines beyond them (a file edited by hand) are
    // dropped now and after every read.
    void limitLines(QLatin1String memo, int maxLines, const PrintedLines &printed);

protected:
    void afterRead() override;

private:
    struct Limit
    {
        QLatin1String memo;
        int maxLines;
        PrintedLines printed;
    };
    void applyLimit(const Limit &limit);

    QList<Limit> m_limits;
};
