#pragma once

#include <QDialog>

class BackupSettingsStore;
class DeskBackups;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TIntegerEdit;

// " Zálohování": where the hourly and the daily backups go, how old hourly ones may grow, and a
// backup made at once into a chosen folder, each kind with the time it last succeeded: the
// editor of the backup settings store. Each showing reads the store's section and shows it; each
// closing puts the window's values into the store and writes it, "Storno" having put back the
// values it was opened with.
class TFormBackup : public QDialog
{
    Q_OBJECT

public:
    TFormBackup(BackupSettingsStore &store, DeskBackups &backups, QWidget *parent = nullptr);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *buildTimeGroup();
    QWidget *buildDayGroup();
    // The folder picker at `start`; empty when the user cancels.
    QString pickFolder(const QString &start);
    // "Vyhledat..." puts the picked folder into the field.
    void browseInto(QPushButton *button, QLineEdit *edit);
    void showStore();
    void takeIntoStore();
    void applyCheckBoxRules();
    void updateOkButton();
    void showLastSuccesses();

    void ButtonNowClick();
    void ButtonCancelClick();

    BackupSettingsStore &m_store;
    DeskBackups &m_backups;
    QCheckBox *m_checkBoxBackupTime;
    QLineEdit *m_editBackupPathTime;
    QPushButton *m_buttonTime;
    QCheckBox *m_checkBoxBackupDelete;
    TIntegerEdit *m_integerEditBackupDelete;
    QCheckBox *m_checkBoxBackupDay;
    QLineEdit *m_editBackupPathDay;
    QPushButton *m_buttonDay;
    QLabel *m_labelLastTime;
    QLabel *m_labelLastDay;
    QLabel *m_labelLastNow;
    QPushButton *m_buttonOk;
    QPushButton *m_buttonCancel;
};
