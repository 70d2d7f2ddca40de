#pragma once

#include "ui/config/settingsstore.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class TIntegerEdit;

// " Údržba databáze": what the start-up does to the tables before the desk opens, whether every
// change is flushed to disk at once, the tables' protection, and the purge of old receipts. The
// window lives for the whole run and is itself the store of these settings, kept in the section
// [Database] of the configuration file; they act at the next start (immediate saving at once).
class TFormDatabase : public QDialog
{
    Q_OBJECT

public:
    explicit TFormDatabase(QWidget *parent = nullptr);

    bool readStoredSettings(ConfigError *error = nullptr);

    bool deleteControlFiles() const; // "Vymazání řídících souborů"
    bool createIndexes() const;      // "Vytvoření nových indexů databáze"
    bool regenerateIndexes() const;  // "Obnova indexů databáze"
    bool packTables() const;         // "Komprimace databáze"
    bool waitAtStart() const;        // "Prodleva při startu programu"
    bool saveImmediately() const;    // "Okamžité ukládaní změn databáze"
    bool secured() const;            // "Ochrana databáze šifrováním"
    bool purgeOldReceipts() const;   // "Vymazat záznamy s doklady o prodeji,"
    int purgeReceiptsAfterDays() const;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QCheckBox *checkBox(const QString &caption, const QString &name, bool checked, QWidget *parent);
    QWidget *buildSalesGroup();
    void updateSalesField();
    void ButtonCancelClick();

    QCheckBox *m_checkBoxDeleteFiles;
    QCheckBox *m_checkBoxCreateIndex;
    QCheckBox *m_checkBoxRegenerationIndex;
    QCheckBox *m_checkBoxPackTable;
    QCheckBox *m_checkBoxWait;
    QCheckBox *m_checkBoxSave;
    QCheckBox *m_checkBoxSecured;
    QCheckBox *m_checkBoxSales;
    TIntegerEdit *m_integerEditSales;
    QLabel *m_labelSize;
    QPushButton *m_buttonCancel;

    SettingsStore m_store; // after the controls: it writes them once more at destruction
};
