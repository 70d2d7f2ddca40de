#pragma once

#include <QDialog>
#include <QLatin1String>

#include <utility>

class DatabaseSettingsStore;
class QCheckBox;
class QLabel;
class QPushButton;
class TIntegerEdit;

// " Údržba databáze": what the start-up does to the tables before the desk opens, whether every
// change is flushed to disk at once, the tables' protection, and the purge of old receipts: the
// editor of the database settings store. Each showing reads the store's section and shows it;
// each closing puts the window's values into the store and writes it, "Storno" having put back
// the values it was opened with.
class TFormDatabase : public QDialog
{
    Q_OBJECT

public:
    explicit TFormDatabase(DatabaseSettingsStore &store, QWidget *parent = nullptr);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QCheckBox *checkBox(const QString &caption, const QString &name, QWidget *parent);
    QWidget *buildSalesGroup();
    void updateSalesField();
    QList<std::pair<QCheckBox *, QLatin1String>> checkBoxes() const;
    void showStore();
    void takeIntoStore();
    void ButtonCancelClick();

    DatabaseSettingsStore &m_store;
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
};
