#pragma once

#include "reports/printsettings.h"
#include "ui/config/settingsstore.h"

#include <QDialog>

class QBoxLayout;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
struct ReceiptTextBox;

// " Nastavení tisku dokladů": the salon's address, the header and the information text that
// every receipt carries, and whether a receipt after a run opens in the preview or goes straight
// to the printer. The window lives for the whole run and is itself the store of these settings:
// PrintSettings reads its controls. They are kept in the section [SetupPrint] of the
// configuration file, read each time the window is shown and written each time it closes.
//
//     TFormSetupPrint setupPrint(&console);
//     setupPrint.readStoredSettings();     // at start-up, before first use
//     setupPrint.exec();                   // menu "Nastavení" -> "Tisk dokladů..."
class TFormSetupPrint : public QDialog, public PrintSettings
{
    Q_OBJECT

public:
    // As many lines as the receipt's boxes hold, counted as they print: wrapped at the boxes'
    // widths.
    static constexpr int AddressLines = 6;
    static constexpr int TitleLines = 4;
    static constexpr int InfoLines = 6;

    explicit TFormSetupPrint(QWidget *parent = nullptr);

    // Loads the stored settings into the controls; the start-up calls it right after creating
    // the window. A failure leaves the defaults and is reported to the caller.
    bool readStoredSettings(ConfigError *error = nullptr);

    // PrintSettings: the controls' current values.
    QStringList addressLines() const override;
    QStringList titleLines() const override;
    QStringList infoLines() const override;
    bool manualPrinting() const override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // A group with a label and a memo that shows its text as the receipt's box prints it.
    QPlainTextEdit *addMemoGroup(QBoxLayout *layout, const QString &title, const QString &label,
                                 const QString &name, const ReceiptTextBox &box, int lines);
    QWidget *buildModeGroup();

    void ButtonCancelClick();

    QPlainTextEdit *m_memoAddress;
    QPlainTextEdit *m_memoTitle;
    QPlainTextEdit *m_memoInfo;
    QRadioButton *m_radioButtonManual;
    QRadioButton *m_radioButtonAuto;
    QPushButton *m_buttonOk;
    QPushButton *m_buttonCancel;

    SettingsStore m_store; // after the controls: it writes them once more at destruction
};
