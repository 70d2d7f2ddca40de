#pragma once

#include "desk/backupsettings.h"
#include "ui/config/settingsstore.h"

#include <QDialog>

class DeskBackups;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TIntegerEdit;

// " Zálohování": where the hourly and the daily backups go, how old hourly ones may grow, and a
// backup made at once into a chosen folder, each kind with the time it last succeeded. The window
// lives for the whole run and is itself the store of these settings, kept in the section [Backup]
// of the configuration file.
class TFormBackup : public QDialog, public BackupSettings
{
    Q_OBJECT

public:
    explicit TFormBackup(DeskBackups &backups, QWidget *parent = nullptr);

    bool readStoredSettings(ConfigError *error = nullptr);

    // BackupSettings: the controls' current values.
    bool hourlyBackups() const override;
    QString hourlyDirectory() const override;
    bool purgeOldBackups() const override;
    int purgeAfterDays() const override;
    bool dailyBackups() const override;
    QString dailyDirectory() const override;

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
    void applyCheckBoxRules();
    void updateOkButton();
    void showLastSuccesses();

    void ButtonNowClick();
    void ButtonCancelClick();

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

    SettingsStore m_store; // after the controls: it writes them once more at destruction
};
