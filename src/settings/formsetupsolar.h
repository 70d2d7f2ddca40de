#pragma once

#include "core/solarsettings.h"
#include "ui/config/settingsstore.h"

#include <QDialog>

class DatabaseSaver;
class EventLog;
class QBoxLayout;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QModelIndex;
class QPushButton;
class RecordGrid;
class TIntegerEdit;
class Table;
class TableModel;

// " Nastavení": the desk's working settings (discounts, VAT rate, port address, receipts, run
// dialogs) and the list of solarium units with their editor. The window lives for the whole run
// and is itself the store of the settings: SolarSettings reads its controls. The stored ones are
// kept in the section [SetupSolar] of the configuration file; the VAT rate starts at 5 on every
// start and is never stored.
//
//     TFormSetupSolar setupSolar(tableSolars, eventLog, databaseSaver, &console);
//     setupSolar.readStoredSettings();                 // at start-up, before first use
//     if (setupSolar.exec() == QDialog::Accepted)      // menu "Nastavení" -> "Solárko..."
//         SetActiveSolars();
class TFormSetupSolar : public QDialog, public SolarSettings
{
    Q_OBJECT

public:
    static constexpr int DefaultTaxRate = 5;
    static constexpr int MaxDiscount = 100;
    static constexpr int MaxTaxRate = 50;

    // tableSolars: the console's open cursor on Solars, shown in the grid and edited in place.
    TFormSetupSolar(Table &tableSolars, EventLog &log, DatabaseSaver &saver,
                    QWidget *parent = nullptr);

    // Loads the stored settings into the controls; the start-up calls it right after creating
    // the window. A failure leaves the defaults and is reported to the caller.
    bool readStoredSettings(ConfigError *error = nullptr);
    // The port text that the window restores ("0378" when none is stored or the file cannot be
    // read), for the start-up's steps before the window exists.
    static QString storedPortText();

    // SolarSettings: the controls' current values; the port text is the one in force, which
    // a typed address becomes only when the window closes.
    QStringList discounts() const override;
    QString defaultDiscount() const override;
    int taxRate() const override;
    QString portText() const override;
    bool recordAllReceipts() const override;
    bool useDialogs() const override;

    // Ascending by numeric value; every entry must be a decimal whole number.
    static QStringList SortStringList(const QStringList &list);

    // "Storno" first reloads the stored values; every way of closing empties the entry field.
    // A changed port address comes into force only when its register can be reset (0 written,
    // 0 read back); otherwise a warning is shown and the window stays open.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildSolarsGroup(QLayout *layout);
    QWidget *buildDiscountGroup();
    QWidget *buildTaxGroup();
    QWidget *buildPortGroup();
    // A group holding one check box, ticked at creation.
    QCheckBox *addCheckBoxGroup(QBoxLayout *layout, const QString &title, const QString &caption,
                                const QString &name);

    void FormActivate();
    void tidyDiscounts();
    void setDiscounts(const QStringList &discounts);
    void selectDiscount(int row);
    int selectedDiscountRow() const; // -1 when none is selected
    void SetButtonsOff();
    bool putPortInForce();
    void EditsChange();

    void ButtonSolarsEditClick();
    bool editCurrentSolar(); // false after a failure of the table
    bool editUnit(int unit);
    void DBGridSolarsDblClick(const QModelIndex &index);
    void ButtonOffAddClick();
    void ButtonOffDeleteClick();
    void ButtonOffDefaultClick();
    void ButtonCancelClick();

    Table &m_tableSolars;
    EventLog &m_log;
    DatabaseSaver &m_saver;

    TableModel *m_modelSolars;
    RecordGrid *m_gridSolars;
    QPushButton *m_buttonSolarsEdit;
    QLineEdit *m_editOffDefault;
    QListWidget *m_listBoxOff;
    TIntegerEdit *m_integerEditOff;
    QPushButton *m_buttonOffAdd;
    QPushButton *m_buttonOffDelete;
    QPushButton *m_buttonOffDefault;
    TIntegerEdit *m_integerEditTax;
    QLineEdit *m_editPort;
    QString m_portInForce; // the address the port layer uses, tested at start or on closing
    QCheckBox *m_checkBoxSaleSalesAll;
    QCheckBox *m_checkBoxUseDialogs;
    QPushButton *m_buttonOk;
    QPushButton *m_buttonCancel;

    SettingsStore m_store; // after the controls: it writes them once more at destruction
};
