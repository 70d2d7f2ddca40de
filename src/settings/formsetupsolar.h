#pragma once

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
class SolarSettingsStore;
class TIntegerEdit;
class Table;
class TableModel;

// " Nastavení": the desk's working settings (discounts, VAT rate, port address, receipts, run
// dialogs) and the list of solarium units with their editor: the editor of the solarium settings
// store. Each showing reads the store's section and shows it; each closing puts the window's
// values into the store and writes it, "Storno" having put back the values it was opened with.
//
//     TFormSetupSolar setupSolar(session.solarStore(), tableSolars, eventLog, saver, &console);
//     if (setupSolar.exec() == QDialog::Accepted)      // menu "Nastavení" -> "Solárko..."
//         SetActiveSolars();
class TFormSetupSolar : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MaxTaxRate = 50;

    // tableSolars: the console's open cursor on Solars, shown in the grid and edited in place.
    TFormSetupSolar(SolarSettingsStore &store, Table &tableSolars, EventLog &log,
                    DatabaseSaver &saver, QWidget *parent = nullptr);

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
    void showStore();
    void takeIntoStore();
    QStringList discounts() const;
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

    SolarSettingsStore &m_store;
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
    QCheckBox *m_checkBoxSaleSalesAll;
    QCheckBox *m_checkBoxUseDialogs;
    QPushButton *m_buttonOk;
    QPushButton *m_buttonCancel;
};
