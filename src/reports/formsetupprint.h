#pragma once

#include <QDialog>

class PrintSettingsStore;
class QBoxLayout;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
struct ReceiptTextBox;

// " Nastavení tisku dokladů": the salon's address, the header and the information text that
// every receipt carries, and whether a receipt after a run opens in the preview or goes straight
// to the printer: the editor of the print settings store. Each showing reads the store's section
// and shows it; each closing puts the window's values into the store and writes it, "Storno"
// having put back the values it was opened with.
//
//     TFormSetupPrint setupPrint(session.printStore(), &console);
//     setupPrint.exec();                   // menu "Nastavení" -> "Tisk dokladů..."
class TFormSetupPrint : public QDialog
{
    Q_OBJECT

public:
    // As many lines as the receipt's boxes hold, counted as they print: wrapped at the boxes'
    // widths.
    static constexpr int AddressLines = 6;
    static constexpr int TitleLines = 4;
    static constexpr int InfoLines = 6;

    explicit TFormSetupPrint(PrintSettingsStore &store, QWidget *parent = nullptr);

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // A group with a label and a memo that shows its text as the receipt's box prints it.
    QPlainTextEdit *addMemoGroup(QBoxLayout *layout, const QString &title, const QString &label,
                                 const QString &name, const ReceiptTextBox &box, int lines);
    QWidget *buildModeGroup();

    void showEvent(QShowEvent *event) override;
    void showStore();
    void takeIntoStore();
    void ButtonCancelClick();

    PrintSettingsStore &m_store;

    QPlainTextEdit *m_memoAddress;
    QPlainTextEdit *m_memoTitle;
    QPlainTextEdit *m_memoInfo;
    QRadioButton *m_radioButtonManual;
    QRadioButton *m_radioButtonAuto;
    QPushButton *m_buttonOk;
    QPushButton *m_buttonCancel;
};

// The print settings hold no more lines than the receipt's boxes print.
void limitToReceipt(PrintSettingsStore &store);
